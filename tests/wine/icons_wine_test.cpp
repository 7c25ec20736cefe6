// The two icons as the system loads them at every small-icon size, drawn over a colour that
// no icon uses. The images go, enlarged four times, to screenshots/icons.png.
#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <vector>

#include "resources/resource.h"
#include "tests/support/png_writer.h"
#include "tests/support/win_test_support.h"

namespace {

constexpr COLORREF kGround = RGB(0, 128, 128);
constexpr int kSizes[] = {16, 20, 24, 32, 40, 48};

// The icon's pixels over kGround, top row first, as COLORREFs.
std::vector<COLORREF> Pixels(UINT id, int size) {
  HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                             IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  if (!icon) return {};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH ground = CreateSolidBrush(kGround);
  RECT all{0, 0, size, size};
  FillRect(dc, &all, ground);
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  std::vector<COLORREF> pixels;
  for (int i = 0; i < size * size; ++i) {
    const auto* bgra = static_cast<const uint8_t*>(bits) + i * 4;
    pixels.push_back(RGB(bgra[2], bgra[1], bgra[0]));
  }
  SelectObject(dc, old);
  DeleteObject(ground);
  DeleteObject(bitmap);
  DeleteDC(dc);
  DestroyIcon(icon);
  return pixels;
}

std::map<COLORREF, int> Colours(const std::vector<COLORREF>& pixels) {
  std::map<COLORREF, int> counts;
  for (COLORREF c : pixels) ++counts[c];
  return counts;
}

// Both icons at every size, side by side, four times enlarged.
void SaveSheet() {
  constexpr int kScale = 4, kGap = 8;
  int width = kGap;
  for (int size : kSizes) width += size * kScale + kGap;
  const int height = kGap + 2 * (48 * kScale + kGap);
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, 0xC0);
  int top = kGap;
  for (UINT id : {IDR_MAINFRAME, IDI_BLOCKED}) {
    int left = kGap;
    for (int size : kSizes) {
      const std::vector<COLORREF> pixels = Pixels(id, size);
      for (int y = 0; pixels.size() == static_cast<size_t>(size * size) && y < size * kScale; ++y) {
        for (int x = 0; x < size * kScale; ++x) {
          const COLORREF c = pixels[(y / kScale) * size + x / kScale];
          uint8_t* out = &rgb[((top + y) * static_cast<size_t>(width) + left + x) * 3];
          out[0] = GetRValue(c), out[1] = GetGValue(c), out[2] = GetBValue(c);
        }
      }
      left += size * kScale + kGap;
    }
    top += 48 * kScale + kGap;
  }
  std::ofstream(ScreenshotPath("icons"), std::ios::binary) << EncodePng(width, height, rgb);
}

TEST(Icons, ProgramIconIsABlackGlyphOnATransparentGround) {
  for (int size : kSizes) {
    SCOPED_TRACE(size);
    const std::vector<COLORREF> pixels = Pixels(IDR_MAINFRAME, size);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size));
    EXPECT_EQ(pixels[0], kGround) << "a transparent corner";
    const auto colours = Colours(pixels);
    EXPECT_GT(colours.count(RGB(0, 0, 0)), 0u);
    EXPECT_EQ(colours.size(), 2u) << "black and the ground only";
  }
  SaveSheet();
}

// At 200 % scaling the small size is 32: that image shows the figure too.
TEST(Icons, SuppressionIconIsAYellowFigureOnRedAtEverySmallSize) {
  for (int size : kSizes) {
    SCOPED_TRACE(size);
    const auto colours = Colours(Pixels(IDI_BLOCKED, size));
    EXPECT_EQ(colours.size(), 2u);
    EXPECT_GT(colours.count(RGB(255, 0, 0)), 0u);
    EXPECT_GT(colours.count(RGB(255, 255, 0)), 0u);
  }
}

}  // namespace
