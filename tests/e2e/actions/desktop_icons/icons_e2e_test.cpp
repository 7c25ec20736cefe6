// The desktop icons remembered and put back by the running Tavolet, on the stand-in desktop
// with freely placed icons: moved from outside, read back in pixels, at two display modes.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corvane/icon_wire.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/screen_capture.h"
#include "tests/support/win_test_support.h"

// At global scope, where std::vector's comparison finds it.
static bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }

namespace {
constexpr int kRememberId = 1, kRestoreId = 2;
// The stand-in's icons: 5 has a label outside the code page, 6 one of 255 characters.
constexpr int kUnicodeIcon = 5, kLongIcon = 6;

std::vector<POINT> IconPositions() {
  std::vector<POINT> positions;
  HWND list = DesktopListView();
  DWORD standIn = 0;
  GetWindowThreadProcessId(list, &standIn);
  RemoteBuffer buffer(standIn, sizeof(POINT));
  const int count = list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
  for (int i = 0; i < count; ++i) {
    POINT position{-1, -1};
    SendMessageW(list, LVM_GETITEMPOSITION, i, reinterpret_cast<LPARAM>(buffer.At(0)));
    buffer.Read(0, &position, sizeof position);
    positions.push_back(position);
  }
  return positions;
}

POINT IconAt(int index) {
  const std::vector<POINT> positions = IconPositions();
  return index < static_cast<int>(positions.size()) ? positions[index] : POINT{-1, -1};
}

void MoveIcon(int index, int x, int y) {
  SendMessageW(DesktopListView(), LVM_SETITEMPOSITION, index, MAKELPARAM(x, y));
}

SIZE DesktopSize() {
  RECT client{};
  GetClientRect(DesktopListView(), &client);
  return {client.right, client.bottom};
}

std::string SizeLine(SIZE size) {
  return "[" + std::to_string(size.cx) + "x" + std::to_string(size.cy) + "]";
}

// The section of the one monitor Wine's virtual desktop has, at this environment's 96 DPI.
std::string MonitorsLine(SIZE size) {
  return "[monitors 0,0 " + std::to_string(size.cx) + "x" + std::to_string(size.cy) + " 96dpi]";
}

// A change of the display's mode, as a game or a projector makes; the stand-in takes the new
// work area and arranges its icons anew.
bool ChangeDisplayMode(int width, int height) {
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  if (ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) != DISP_CHANGE_SUCCESSFUL) {
    return false;
  }
  return WaitFor([&] { return DesktopSize().cx == width && DesktopSize().cy == height; }, 5000);
}

class IconsE2E : public E2ETest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestDesktop().Start("/free")) << TestDesktop().Failure();
    full_ = DesktopSize();
  }
  void TearDown() override {
    ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);  // the mode of the prefix
    E2ETest::TearDown();
  }
  void StartWithIconKeys() {
    KeyRecord remember = Record(VK_F5, ""), restore = Record(VK_F6, "");
    remember.actionType = 15;
    restore.actionType = 16;
    StartWith({remember, restore});
  }
  void PressHotKey(int id) { PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, id, 0); }
  std::string IconsCfg() const { return ReadBytes(folder_.File("icons.cfg")); }
  // Remembers, and waits until icons.cfg has taken what was remembered.
  ::testing::AssertionResult Remember() {
    const std::string before = IconsCfg();
    PressHotKey(kRememberId);
    if (WaitFor([&] { return IconsCfg() != before; }, 10000)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "icons.cfg did not change";
  }
  ::testing::AssertionResult RestoredTo(const std::vector<POINT>& expected) {
    if (WaitFor([&] { return IconPositions() == expected; }, 10000)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the icons are not where they were remembered";
  }

  SIZE full_{};
};

TEST_F(IconsE2E, RememberedIconsComeBackToTheirPixels) {
  StartWithIconKeys();
  const std::vector<POINT> remembered = IconPositions();
  ASSERT_EQ(remembered.size(), 7u);
  ASSERT_TRUE(Remember());
  EXPECT_NE(IconsCfg().find(MonitorsLine(full_)), std::string::npos);
  EXPECT_NE(IconsCfg().find("\xE3\x81\x94\xE3\x81\xBF\xE7\xAE\xB1"), std::string::npos) << "ごみ箱";
  EXPECT_NE(IconsCfg().find("\xF0\x9F\x98\x80"), std::string::npos) << "the emoji";
  MoveIcon(0, 420, 300);
  MoveIcon(kUnicodeIcon, 520, 300);
  MoveIcon(kLongIcon, 620, 300);
  ASSERT_EQ(IconAt(kLongIcon).x, 620);
  SaveScreenshot(ScreenshotPath("desktop_icons_moved"));
  PressHotKey(kRestoreId);
  EXPECT_TRUE(RestoredTo(remembered));
  SaveScreenshot(ScreenshotPath("desktop_icons_restored"));
}

TEST_F(IconsE2E, TheKeyListNamesBothKinds) {
  StartWithIconKeys();
  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  const std::vector<std::string> kinds = ListRows(GetDlgItem(keyList, 1016), tavolet_.Id(), 1);
  EXPECT_EQ(kinds, (std::vector<std::string>{"アイコン位置の記憶", "アイコン位置の復帰"}));
  EXPECT_TRUE(Press(keyList, IDCANCEL));
}

TEST_F(IconsE2E, EachDisplayModeHasItsOwnLayout) {
  StartWithIconKeys();
  MoveIcon(2, 420, 260);
  ASSERT_TRUE(Remember());
  ASSERT_TRUE(ChangeDisplayMode(640, 480));
  MoveIcon(2, 300, 200);
  const std::vector<POINT> small = IconPositions();
  ASSERT_TRUE(Remember());
  EXPECT_NE(IconsCfg().find(MonitorsLine(full_)), std::string::npos);
  EXPECT_NE(IconsCfg().find(MonitorsLine({640, 480})), std::string::npos);
  MoveIcon(2, 100, 300);
  PressHotKey(kRestoreId);
  EXPECT_TRUE(RestoredTo(small));
}

TEST_F(IconsE2E, TheLayoutComesBackByItselfWhenTheModeDoes) {
  StartWithIconKeys();
  MoveIcon(1, 400, 250);
  MoveIcon(3, 500, 350);
  const std::vector<POINT> remembered = IconPositions();
  ASSERT_TRUE(Remember());
  ASSERT_TRUE(ChangeDisplayMode(640, 480));
  ASSERT_NE(IconPositions(), remembered) << "the stand-in arranged its icons anew";
  WaitFor([] { return false; }, 4500);  // Tavolet sees the small mode settle
  ASSERT_TRUE(ChangeDisplayMode(full_.cx, full_.cy));
  EXPECT_TRUE(RestoredTo(remembered));
}

// The shell is busy just when the mode has settled: the restore comes once it answers again.
TEST_F(IconsE2E, ARestoreTheBusyShellDidNotCarryOutComesLater) {
  StartWithIconKeys();
  MoveIcon(1, 400, 250);
  const std::vector<POINT> remembered = IconPositions();
  ASSERT_TRUE(Remember());
  ASSERT_TRUE(ChangeDisplayMode(640, 480));
  WaitFor([] { return false; }, 4500);
  ASSERT_TRUE(ChangeDisplayMode(full_.cx, full_.cy));
  TellStandIn(L"TavoletStandInStall", 8000);
  EXPECT_TRUE(WaitFor([&] { return IconPositions() == remembered; }, 30000));
}

TEST_F(IconsE2E, ARememberOnAnEmptyDesktopLeavesTheLayoutAsItWas) {
  StartWithIconKeys();
  ASSERT_TRUE(Remember());
  const std::string remembered = IconsCfg();
  TellStandIn(L"TavoletStandInRemoveIcons");
  ASSERT_TRUE(WaitFor([] { return IconPositions().empty(); }, 5000));
  PressHotKey(kRememberId);
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(IconsCfg(), remembered);
}

TEST_F(IconsE2E, AnIconTheLayoutDoesNotHoldKeepsItsPlace) {
  StartWithIconKeys();
  const std::vector<POINT> remembered = IconPositions();
  ASSERT_TRUE(Remember());
  TellStandIn(L"TavoletStandInAddIcon");
  ASSERT_TRUE(WaitFor([] { return IconPositions().size() == 8; }, 5000));
  MoveIcon(7, 450, 350);
  MoveIcon(0, 550, 350);
  PressHotKey(kRestoreId);
  std::vector<POINT> expected = remembered;
  expected.push_back({450, 350});
  EXPECT_TRUE(RestoredTo(expected));
}

// A restore followed by a remember: icons.cfg changing shows the restore has been handled.
TEST_F(IconsE2E, WithAutoArrangeOnNothingIsMoved) {
  ASSERT_TRUE(TestDesktop().Start()) << TestDesktop().Failure();
  ASSERT_TRUE(WriteBytes(folder_.File("icons.cfg"),
                         SizeLine(DesktopSize()) + "\r\n500\t300\tDocuments\r\n"));
  StartWithIconKeys();
  const std::vector<POINT> arranged = IconPositions();
  PressHotKey(kRestoreId);
  ASSERT_TRUE(Remember());
  EXPECT_EQ(IconPositions(), arranged);
  const std::string file = IconsCfg();
  EXPECT_EQ(file.find("500\t300\tDocuments", file.find(MonitorsLine(full_))), std::string::npos);
}

TEST_F(IconsE2E, WhatCannotBeReadIsKeptAndTheLayoutGoesWithIt) {
  const std::string bad = "not a layout\r\n[0x0]\r\n1\t2\tx\r\n";
  ASSERT_TRUE(WriteBytes(folder_.File("icons.cfg"), bad));
  StartWithIconKeys();
  const std::vector<POINT> remembered = IconPositions();
  ASSERT_TRUE(Remember());
  MoveIcon(0, 480, 320);
  PressHotKey(kRestoreId);
  EXPECT_TRUE(RestoredTo(remembered));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(IconsCfg().substr(0, bad.size() + MonitorsLine(full_).size()),
            bad + MonitorsLine(full_));
  EXPECT_FALSE(FileExists(folder_.File("icons.cfg.unsaved")));
}

// Any program can send to the desktop: what does not hold together is refused in the shell.
// The key the running Tavolet published for its icon moves.
uint64_t PublishedKey() {
  PublishedShellValues values{};
  if (!ReadPublishedShellValues(values)) return 0;
  return (uint64_t{values.key[1]} << 32) | values.key[0];
}

// Moves as the shell's copy takes them: the key, then the moves.
template <typename Moves>
std::string Keyed(uint64_t key, const Moves& moves, size_t size = sizeof(Moves)) {
  std::string bytes(reinterpret_cast<const char*>(&key), sizeof key);
  return bytes.append(reinterpret_cast<const char*>(&moves), size);
}

// Any program can send to the desktop: what does not hold together, and what does not carry the
// running Tavolet's key, is refused in the shell.
TEST_F(IconsE2E, TheShellRefusesRequestsThatDoNotHoldTogether) {
  StartWithIconKeys();
  auto send = [](uint32_t tag, const std::string& bytes) {
    COPYDATASTRUCT data{tag, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(DesktopListView(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                        SMTO_NORMAL, 5000, &answer);
    return static_cast<intptr_t>(answer);
  };
  const uint64_t key = PublishedKey();
  ASSERT_NE(key, 0u);
  const IconMovesHeader tooMany{7, 0x20000000};
  EXPECT_EQ(send(kIconMovesTag, Keyed(key, tooMany)), kIconMovesRefused);
  EXPECT_EQ(send(kIconMovesTag, Keyed(key, tooMany, 4)), kIconMovesRefused);
  struct {
    IconMovesHeader header{8, 1};
    IconMove move{0, 400, 400};
  } staleCount;
  EXPECT_EQ(send(kIconMovesTag, Keyed(key, staleCount)), kIconMovesRefused);
  struct {
    IconMovesHeader header{7, 1};
    IconMove move{7, 400, 400};
  } outside;
  EXPECT_EQ(send(kIconMovesTag, Keyed(key, outside)), 1) << "answered, nothing moved";
  struct {
    IconMovesHeader header{7, 1};
    IconMove move{0, 400, 400};
  } wellFormed;
  EXPECT_EQ(send(kIconMovesTag, Keyed(key + 1, wellFormed)), kIconMovesRefused) << "another key";
  EXPECT_NE(IconAt(0).x, 400) << "moved by a program that is not Tavolet";
  HWND notAReceiver = MakeForegroundWindow();
  const IconQuery query{reinterpret_cast<ULONG_PTR>(notAReceiver), 1, 0};
  EXPECT_EQ(send(kIconQueryTag, std::string(reinterpret_cast<const char*>(&query), sizeof query)),
            0);
  DestroyWindow(notAReceiver);
  EXPECT_EQ(IconPositions().size(), 7u) << "the stand-in lives";
}

// A window of another program's under the receiver's class name, slow to take what it is sent.
int slowReceiverCalls = 0;
LRESULT CALLBACK SlowReceiver(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m != WM_COPYDATA) return DefWindowProcW(w, m, wp, lp);
  ++slowReceiverCalls;
  Sleep(3000);
  return 1;
}

// The shell's copy sends its list only to the Tavolet that published its values, and never
// waits on another program's window.
TEST_F(IconsE2E, TheShellSendsItsListToNoOtherProgram) {
  StartWithIconKeys();
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &SlowReceiver;
  windowClass.lpszClassName = L"CorvaneIconReceiver";
  RegisterClassW(&windowClass);
  HWND receiver = CreateWindowExW(0, L"CorvaneIconReceiver", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, nullptr, nullptr);
  ASSERT_NE(receiver, nullptr);
  const IconQuery query{reinterpret_cast<ULONG_PTR>(receiver), 1, 0};
  COPYDATASTRUCT data{kIconQueryTag, sizeof query, const_cast<IconQuery*>(&query)};
  DWORD_PTR answer = 0;
  const DWORD start = GetTickCount();
  SendMessageTimeoutW(DesktopListView(), WM_COPYDATA, reinterpret_cast<WPARAM>(receiver),
                      reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 10000, &answer);
  EXPECT_EQ(slowReceiverCalls, 0) << "the list went to another program";
  EXPECT_LT(GetTickCount() - start, 1000u) << "the desktop's thread waited on it";
  DestroyWindow(receiver);
}

// A shell that stops answering holds each icon key up for a bounded time only.
TEST_F(IconsE2E, AHungShellHoldsTheIconKeysUpForAFewSecondsOnly) {
  KeyRecord remember = Record(VK_F5, ""), restore = Record(VK_F6, ""),
            parameter = Record(VK_F7, "");
  remember.actionType = 15;
  restore.actionType = 16;
  parameter.actionType = 13;
  parameter.param2 = SPI_SETSCREENSAVEACTIVE;
  parameter.param1 = 0;
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
  StartWith({remember, restore, parameter});
  TellStandIn(L"TavoletStandInStall", 25000);
  Sleep(300);
  const DWORD start = GetTickCount();
  PressHotKey(kRememberId);
  PressHotKey(kRestoreId);
  PressHotKey(3);
  EXPECT_TRUE(WaitFor([] { return !ScreenSaverActive(); }, 20000)) << "the next hot key works";
  EXPECT_LT(GetTickCount() - start, 16000u) << "two bounded waits, not the shell's 25 s";
  EXPECT_FALSE(FileExists(folder_.File("icons.cfg"))) << "nothing was read, nothing written";
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
  EXPECT_TRUE(WaitFor([] { return DesktopListProcedure() != -1; }, 20000)) << "the shell is back";
}

}  // namespace
