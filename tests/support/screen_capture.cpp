#include "tests/support/screen_capture.h"

#include <fstream>
#include <vector>

#include "tests/support/png_writer.h"

bool CaptureScreenRgb(const RECT& r, std::vector<uint8_t>& rgb) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = bitmap != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
  }
  if (ok) {
    rgb.resize(static_cast<size_t>(width) * height * 3);
    const auto* bgra = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
      rgb[i * 3] = bgra[i * 4 + 2];
      rgb[i * 3 + 1] = bgra[i * 4 + 1];
      rgb[i * 3 + 2] = bgra[i * 4];
    }
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

int CountPixels(const RECT& area, COLORREF color) {
  std::vector<uint8_t> rgb;
  if (!CaptureScreenRgb(area, rgb)) return -1;
  int count = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
    if (RGB(rgb[i], rgb[i + 1], rgb[i + 2]) == color) ++count;
  }
  return count;
}

bool SaveScreenshot(const std::string& path, const RECT* area) {
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (area) r = *area;
  const int width = r.right - r.left, height = r.bottom - r.top;
  std::vector<uint8_t> rgb;
  if (!CaptureScreenRgb(r, rgb)) return false;
  std::ofstream out(path, std::ios::binary);
  out << EncodePng(width, height, rgb);
  return static_cast<bool>(out);
}

bool SaveWindowScreenshot(const std::string& path, HWND window) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  return SaveScreenshot(path, &r);
}
