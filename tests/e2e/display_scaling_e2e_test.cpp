// Tavolet at the display scaling of the run (the suite runs at 96 and at 144 DPI): the
// notification-area icon, the key list's columns and every dialog, seen from outside, with
// screenshots of each.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "framework/dpi_scale.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr COLORREF kTransparent = 0xFF000000;  // not a colour: shows whatever lies below

// An icon of Tavolet.exe as the system loads it at `size`, top row first.
std::vector<COLORREF> IconImage(int id, int size) {
  HMODULE exe =
      LoadLibraryExA((ProgramFolder() + "Tavolet.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HICON icon = static_cast<HICON>(
      LoadImageA(exe, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  std::vector<COLORREF> image;
  ICONINFO info{};
  if (icon && GetIconInfo(icon, &info)) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof format.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> colour(size * size), mask(size * size);
    GetDIBits(dc, info.hbmColor, 0, size, colour.data(), &format, DIB_RGB_COLORS);
    GetDIBits(dc, info.hbmMask, 0, size, mask.data(), &format, DIB_RGB_COLORS);
    for (int i = 0; i < size * size; ++i) {
      const DWORD c = colour[i];
      image.push_back((mask[i] & 0xFFFFFF) ? kTransparent
                                           : RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
    }
    DeleteDC(dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  if (icon) DestroyIcon(icon);
  if (exe) FreeLibrary(exe);
  return image;
}

// Where the taskbar shows this image, pixel for pixel, in its first `rows` rows (transparent
// pixels only must not look like the image's own black); false when nowhere.
bool FindOnTaskbar(const std::vector<COLORREF>& image, int size, int rows, RECT* found) {
  HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  RECT area{};
  std::vector<uint8_t> rgb;
  if (!taskbar || !GetWindowRect(taskbar, &area) || !CaptureScreenRgb(area, rgb)) return false;
  const int width = area.right - area.left, height = area.bottom - area.top;
  auto at = [&](int x, int y) {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return RGB(p[0], p[1], p[2]);
  };
  for (int top = 0; top + rows <= height; ++top) {
    for (int left = 0; left + size <= width; ++left) {
      bool same = true;
      for (int y = 0; same && y < rows; ++y) {
        for (int x = 0; same && x < size; ++x) {
          const COLORREF want = image[y * size + x], seen = at(left + x, top + y);
          same = want == kTransparent ? seen != RGB(0, 0, 0) : seen == want;
        }
      }
      if (same) {
        *found = {area.left + left, area.top + top, area.left + left + size, area.top + top + size};
        return true;
      }
    }
  }
  return false;
}

// The DPI of the run, as this per-monitor aware test sees the screen.
unsigned ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return static_cast<unsigned>(dpi);
}

RECT Screen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// A little more than the rectangle, as far as the screen goes.
void SaveAround(const std::string& name, RECT r) {
  const RECT screen = Screen();
  InflateRect(&r, 8, 4);
  IntersectRect(&r, &r, &screen);
  SaveScreenshot(ScreenshotPath(name), &r);
}

// Whole on the screen, and saved as a screenshot.
void ExpectWholeAndSave(HWND dialog, const std::string& name) {
  const RECT screen = Screen();
  RECT r{};
  GetWindowRect(dialog, &r);
  RECT inside{};
  IntersectRect(&inside, &r, &screen);
  EXPECT_TRUE(EqualRect(&inside, &r)) << name << " reaches beyond the screen";
  // Changed controls paint later: the whole dialog now, then the picture.
  RedrawWindow(dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(200);
  SaveWindowScreenshot(ScreenshotPath(name), dialog);
}

class DisplayScalingE2E : public E2ETest {};

// The icon is handed over at the small-icon size of the run, so the notification area shows
// each state's own image, not one stretched from another size.
TEST_F(DisplayScalingE2E, NotificationIconIsTheImageForTheSmallIconSizeInBothStates) {
  StartReady();
  const int size = GetSystemMetrics(SM_CXSMICON);
  // Wine's notification area loses the mask of the last rows of an icon whose width is not a
  // multiple of 16 (it copies the mask without its row padding): compare the rows above.
  const int rows = size * 2 / 3;
  const struct {
    int id;
    const char* name;
  } states[] = {{128, "tray_icon"}, {135, "tray_icon_suppressing"}};
  for (const auto& state : states) {
    SCOPED_TRACE(state.name);
    const std::vector<COLORREF> image = IconImage(state.id, size);
    ASSERT_EQ(image.size(), static_cast<size_t>(size * size));
    RECT found{};
    EXPECT_TRUE(WaitFor([&] { return FindOnTaskbar(image, size, rows, &found); }, 5000))
        << size << " x " << size;
    SaveAround(state.name, found);
    PostMessageA(tavolet_.MainWindow(), kTrayNotify, 0, WM_LBUTTONDOWN);
  }
}

TEST_F(DisplayScalingE2E, KeyListShowsAllFourColumnsAtTheirScaledWidths) {
  std::vector<KeyRecord> many;  // more rows than fit, so the list shows its scroll bar
  for (UINT key = 'A'; key <= 'T'; ++key) many.push_back(Record(key, "program"));
  StartWith(many);
  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  HWND list = GetDlgItem(keyList, 1016);
  const unsigned dpi = ScreenDpi();
  int total = 0, column = 0;
  for (int width : {130, 120, 200, 40}) {
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, column++, 0), ScaleForDpi(width, dpi));
    total += ScaleForDpi(width, dpi);
  }
  RECT client{};
  GetClientRect(list, &client);
  EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) << "with its scroll bar";
  EXPECT_LE(total, client.right) << "every column is visible at " << dpi << " DPI";
  ExpectWholeAndSave(keyList, "key_list_columns");
}

// Moved to a monitor of another scaling, the list keeps its columns' share of the width and its
// controls where the system puts them.
TEST_F(DisplayScalingE2E, KeyListColumnsFollowADpiChange) {
  StartWith({Record(VK_F5, "program")});
  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  HWND list = GetDlgItem(keyList, 1016), close = GetDlgItem(keyList, IDOK);
  const unsigned dpi = ScreenDpi(), newDpi = dpi * 2;
  RECT before{}, after{};
  GetWindowRect(close, &before);
  RemoteBuffer suggested(tavolet_.Id(), sizeof(RECT));
  RECT place{};
  GetWindowRect(keyList, &place);
  suggested.Write(0, &place, sizeof place);
  SendMessageA(keyList, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
               reinterpret_cast<LPARAM>(suggested.At(0)));
  int column = 0;
  for (int width : {130, 120, 200, 40}) {
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, column++, 0),
              ScaleForDpi(ScaleForDpi(width, dpi), newDpi, dpi));
  }
  GetWindowRect(close, &after);
  EXPECT_TRUE(EqualRect(&before, &after)) << "the dialog kept its size: so did its layout";
  ASSERT_TRUE(Press(keyList, IDOK));
}

TEST_F(DisplayScalingE2E, EveryDialogIsWholeOnTheScreen) {
  StartReady();
  PostMessageA(tavolet_.MainWindow(), WM_SYSCOMMAND, 0x10, 0);
  HWND about = WaitForDialog("Tavoletのﾊﾞｰｼﾞｮﾝ情報");
  ASSERT_NE(about, nullptr);
  ExpectWholeAndSave(about, "about");
  ASSERT_TRUE(Press(about, IDOK));

  PostMessageA(tavolet_.MainWindow(), WM_COMMAND, 32775, 0);
  HWND properties = WaitForDialog("プロパティ");
  ASSERT_NE(properties, nullptr);
  HWND paths = GetDlgItem(properties, 1016);
  EXPECT_EQ(SendMessageA(paths, LVM_GETCOLUMNWIDTH, 0, 0), ScaleForDpi(200, ScreenDpi()));
  ExpectWholeAndSave(properties, "properties");
  ASSERT_TRUE(Press(properties, IDCANCEL));

  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  HWND editor = OpenEditor(keyList, kAdd);
  ASSERT_NE(editor, nullptr);
  // Every group of labels: path and argument, message, mixer kind, system parameter.
  for (int type : {0, 3, 6, 12}) {
    ChooseType(editor, type);
    ExpectWholeAndSave(editor, "edit_dialog_labels_" + std::to_string(type));
  }
  ASSERT_TRUE(Press(editor, IDCANCEL));
  ASSERT_TRUE(Press(keyList, IDOK));
}

}  // namespace
