// TrayIcon's record rules and its conversation with the shell's notification area.
#include <gtest/gtest.h>

#include <cstring>

#include "app/tray_icon.h"
#include "tests/support/win_test_support.h"

namespace {

class TrayIconWine : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ =
        CreateWindowExA(0, "STATIC", "tray", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    icon_ = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    other_ = LoadIconA(nullptr, MAKEINTRESOURCEA(32516));
    ASSERT_TRUE(window_ && icon_ && other_);
  }
  void TearDown() override { DestroyWindow(window_); }
  HWND window_ = nullptr;
  HICON icon_ = nullptr, other_ = nullptr;
};

TEST_F(TrayIconWine, RecordIsTheFirstFormAndFlagsFollowWhatWasGiven) {
  TrayIcon tray;
  EXPECT_EQ(tray.Record().cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
  EXPECT_FALSE(tray.IsShown());
  EXPECT_TRUE(tray.Setup(window_, 0, WM_USER + 100, icon_, "Tavolet"));
  EXPECT_EQ(tray.Record().uFlags, 7u);
  EXPECT_STREQ(tray.Record().szTip, "Tavolet");
  EXPECT_EQ(tray.Record().uCallbackMessage, 0x464u);
  tray.Setup(window_, 3, 0, icon_, "x");
  EXPECT_EQ(tray.Record().uFlags, static_cast<UINT>(NIF_ICON | NIF_TIP));
  EXPECT_EQ(tray.Record().uID, 3u);
  tray.Setup(window_, 0, WM_USER, nullptr, "x");
  EXPECT_EQ(tray.Record().uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_TIP));
  tray.Setup(window_, 0, WM_USER, icon_, nullptr);
  EXPECT_EQ(tray.Record().uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON));
  EXPECT_STREQ(tray.Record().szTip, "");
  EXPECT_FALSE(tray.IsShown()) << "Setup never shows the icon";
}

TEST_F(TrayIconWine, TipKeepsAtMostSixtyThreeBytesAndWholeCharacters) {
  TrayIcon tray;
  tray.Setup(window_, 0, WM_USER, icon_, std::string(100, 'a').c_str());
  EXPECT_EQ(std::strlen(tray.Record().szTip), 63u);
  std::string tip(62, 'a');
  tip += "\x82\xA0";  // a double-byte character across the 63-byte limit
  tray.Setup(window_, 0, WM_USER, icon_, tip.c_str());
  EXPECT_EQ(std::string(tray.Record().szTip), std::string(62, 'a'));
}

TEST_F(TrayIconWine, ShowRefreshHideAgainstTheShell) {
  {
    TrayIcon tray;
    tray.Setup(window_, 7, WM_USER, icon_, "probe");
    EXPECT_FALSE(TrayIconPresent(window_, 7));
    ASSERT_TRUE(tray.Show());
    EXPECT_TRUE(tray.IsShown());
    EXPECT_TRUE(TrayIconPresent(window_, 7));
    EXPECT_TRUE(tray.Show()) << "a second Show refreshes";
    EXPECT_EQ(tray.SetIcon(other_, true), icon_);
    EXPECT_EQ(tray.Record().hIcon, other_);
    EXPECT_EQ(tray.SetIcon(nullptr, true), other_) << "a null icon changes nothing";
    EXPECT_EQ(tray.Record().hIcon, other_);
    EXPECT_TRUE(tray.Hide());
    EXPECT_FALSE(tray.IsShown());
    EXPECT_FALSE(TrayIconPresent(window_, 7));
    EXPECT_TRUE(tray.Refresh()) << "refreshing a hidden icon adds it";
    EXPECT_TRUE(TrayIconPresent(window_, 7));
    // Reset puts the icon up again after the shell lost it.
    NOTIFYICONDATAA lost = tray.Record();
    Shell_NotifyIconA(NIM_DELETE, &lost);
    EXPECT_FALSE(TrayIconPresent(window_, 7));
    EXPECT_TRUE(tray.Reset());
    EXPECT_TRUE(TrayIconPresent(window_, 7));
  }
  EXPECT_FALSE(TrayIconPresent(window_, 7)) << "destruction takes the icon down";
}

TEST_F(TrayIconWine, SetupWhileShownTakesTheIconDownFirst) {
  TrayIcon tray;
  tray.Setup(window_, 8, WM_USER, icon_, "a");
  ASSERT_TRUE(tray.Show());
  tray.Setup(window_, 9, WM_USER, icon_, "b");
  EXPECT_FALSE(tray.IsShown());
  EXPECT_FALSE(TrayIconPresent(window_, 8));
  EXPECT_FALSE(TrayIconPresent(window_, 9));
}

}  // namespace
