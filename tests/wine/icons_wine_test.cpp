// The two icons as the system loads them at every small-icon size, drawn over a colour no icon
// uses; the images go, four times enlarged, to screenshots/icons.png.
#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <vector>

#include "resources/resource.h"
#include "tests/support/png_writer.h"
#include "tests/support/win_test_support.h"

namespace {

constexpr COLORREF kGround = RGB(0, 128, 128);

// The icon's pixels over kGround, top row first, as RGB bytes.
std::vector<uint8_t> Pixels(UINT id, int size) {
  HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                             IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH ground = CreateSolidBrush(kGround);
  RECT all{0, 0, size, size};
  FillRect(dc, &all, ground);
  std::vector<uint8_t> rgb;
  if (icon && DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL)) {
    GdiFlush();
    for (int i = 0; i < size * size; ++i) {
      const auto* bgra = static_cast<const uint8_t*>(bits) + i * 4;
      rgb.insert(rgb.end(), {bgra[2], bgra[1], bgra[0]});
    }
  }
  SelectObject(dc, old);
  DeleteObject(ground);
  DeleteObject(bitmap);
  DeleteDC(dc);
  if (icon) DestroyIcon(icon);
  return rgb;
}

// At every small-icon size of 100 to 300 % (at 200 % it is 32): the program's icon a black
// glyph on a transparent ground, the suppression icon a yellow figure on red.
TEST(Icons, EverySmallSizeShowsTheIconsLook) {
  const int sizes[] = {16, 20, 24, 32, 40, 48};
  const struct {
    UINT id;
    std::set<COLORREF> colours;
  } icons[] = {{IDR_MAINFRAME, {RGB(0, 0, 0), kGround}},
               {IDI_BLOCKED, {RGB(255, 0, 0), RGB(255, 255, 0)}}};
  constexpr int kScale = 4, kGap = 8,
                kWidth = kGap + (16 + 20 + 24 + 32 + 40 + 48 + 6 * 2) * kScale;
  constexpr int kHeight = kGap + 2 * (48 * kScale + kGap);
  std::vector<uint8_t> sheet(kWidth * kHeight * 3, 0xC0);
  int top = kGap;
  for (const auto& icon : icons) {
    int left = kGap;
    for (int size : sizes) {
      SCOPED_TRACE(::testing::Message() << "icon " << icon.id << " at " << size);
      const std::vector<uint8_t> rgb = Pixels(icon.id, size);
      ASSERT_EQ(rgb.size(), static_cast<size_t>(size * size * 3));
      std::set<COLORREF> seen;
      for (size_t i = 0; i < rgb.size(); i += 3) seen.insert(RGB(rgb[i], rgb[i + 1], rgb[i + 2]));
      EXPECT_EQ(seen, icon.colours);
      for (int y = 0; y < size * kScale; ++y) {
        for (int x = 0; x < size * kScale; ++x) {
          const uint8_t* from = &rgb[((y / kScale) * size + x / kScale) * 3];
          std::copy(from, from + 3, &sheet[((top + y) * kWidth + left + x) * 3]);
        }
      }
      left += (size + 2) * kScale;
    }
    top += 48 * kScale + kGap;
  }
  std::ofstream(ScreenshotPath("icons"), std::ios::binary) << EncodePng(kWidth, kHeight, sheet);
}

}  // namespace
