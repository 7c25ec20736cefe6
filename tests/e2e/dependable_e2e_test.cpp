// A shell that answers late or not at all, and another program's subclass, never break the
// desktop; a query during start-up loses nothing; hot keys arrive whatever loop runs.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/support/cbt_observer.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

bool StandInAnswers(DWORD timeoutMs) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(DesktopListView(), WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) !=
         0;
}

// A notification area owner of this test's, found before the shell's: the call that adds
// Tavolet's icon waits on it, and it does what the test asks meanwhile.
class SlowTray {
 public:
  explicit SlowTray(std::function<void()> whileAdding) {
    action = std::move(whileAdding);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 0,
                              1, 1, nullptr, nullptr, nullptr, nullptr);
  }
  ~SlowTray() {
    DestroyWindow(window_);
    UnregisterClassA("Shell_TrayWnd", nullptr);
  }
  SlowTray(const SlowTray&) = delete;
  SlowTray& operator=(const SlowTray&) = delete;
  static bool called;

 private:
  static LRESULT CALLBACK Procedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_COPYDATA) return DefWindowProcA(w, m, wp, lp);
    if (!called && action) action();
    called = true;
    return FALSE;  // not taken: the icon comes with the shell's next notice
  }
  static std::function<void()> action;
  HWND window_ = nullptr;
};
bool SlowTray::called = false;
std::function<void()> SlowTray::action;

class DependableE2E : public E2ETest {
 protected:
  void StartPainting() {
    ASSERT_TRUE(WriteBytes(folder_.File("Tavolet.cfg"), LabelSettings(1)));
    StartReady();
  }
};

// The removal at exit gets no answer; the stand-in goes on later; the next start takes the
// list view up again instead of subclassing it on top of Corvane's own procedure.
TEST_F(DependableE2E, ARemovalTheShellAnswersLateLeavesItWholeForTheNextStart) {
  StartPainting();
  ASSERT_GT(DesktopPixels(kRed), 200);
  TellStandIn(L"TavoletStandInStall", 13000);
  const DWORD start = GetTickCount();
  EXPECT_EQ(tavolet_.ExitFromMenu(25000), 0u);
  EXPECT_GE(GetTickCount() - start, 9000u) << "it waited for the shell's answer";
  ASSERT_TRUE(StandInAnswers(15000)) << "the stand-in lives";
  TavoletProcess next;
  ASSERT_TRUE(next.Start(folder_.Path()));
  ASSERT_TRUE(next.WaitUntilReady());
  EXPECT_GT(DesktopPixels(kRed), 200) << "painted again";
  EXPECT_EQ(next.ExitFromMenu(), 0u);
  EXPECT_EQ(DesktopListProcedure(), 1) << "its own procedure runs";
  EXPECT_GT(SendMessageA(DesktopListView(), LVM_GETITEMCOUNT, 0, 0), 0);
}

// A program that subclassed the list view after Corvane keeps working, and when it lets go
// later the list view still reaches its own procedure.
TEST_F(DependableE2E, AnotherProgramsLaterSubclassSurvivesTheRemoval) {
  StartPainting();
  TellStandIn(L"TavoletStandInSubclass", 1);
  ASSERT_TRUE(WaitFor([] { return DesktopListProcedure() == 2; }, 5000));
  EXPECT_GT(DesktopPixels(kRed), 200) << "Corvane paints under it";
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(DesktopListProcedure(), 2) << "the later subclass stays on top";
  EXPECT_EQ(DesktopPixels(kRed), 0) << "the list view paints itself";
  TellStandIn(L"TavoletStandInSubclass", 0);
  ASSERT_TRUE(WaitFor([] { return DesktopListProcedure() != 2; }, 5000));
  EXPECT_GT(SendMessageA(DesktopListView(), LVM_GETITEMCOUNT, 0, 0), 0) << "its own answers";
  EXPECT_GT(DesktopPixels(kWhite), 100) << "and paints its labels";
}

TEST_F(DependableE2E, ColoursChangedWhileTheShellHangsDoNotHoldTavolet) {
  StartPainting();
  PostMessageA(tavolet_.MainWindow(), WM_COMMAND, 32775, 0);  // プロパティ
  HWND properties = WaitForDialog("プロパティ");
  ASSERT_NE(properties, nullptr);
  TellStandIn(L"TavoletStandInStall", 8000);
  Sleep(300);
  const DWORD start = GetTickCount();
  EXPECT_TRUE(Press(properties, IDOK));
  DWORD_PTR answer = 0;
  EXPECT_TRUE(
      SendMessageTimeoutA(tavolet_.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer));
  EXPECT_LT(GetTickCount() - start, 4000u) << "not the shell's 8 s";
  EXPECT_TRUE(StandInAnswers(15000));
}

// The handshake at start-up times out: Tavolet runs on and attaches once the shell gets to it.
TEST_F(DependableE2E, AShellThatAnswersLateAtStartIsAttachedOnceItDoes) {
  ASSERT_TRUE(WriteBytes(folder_.File("Tavolet.cfg"), LabelSettings(1)));
  TellStandIn(L"TavoletStandInStall", 14000);
  ASSERT_TRUE(tavolet_.Start(folder_.Path()));
  ASSERT_TRUE(tavolet_.WaitForIcon());
  ASSERT_TRUE(StandInAnswers(20000));
  EXPECT_EQ(tavolet_.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE)) << "no failed start";
  EXPECT_TRUE(WaitFor([] { return DesktopListSubclassed(); }, 5000));
  EXPECT_TRUE(WaitFor([] { return DesktopPixels(kRed) > 200; }, 5000));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(DesktopListProcedure(), 1);
}

// The call that adds the icon during start-up answers what is sent meanwhile (the shell is
// busy): a query then must not write the table that is not read yet.
TEST_F(DependableE2E, AnEndOfSessionQueryDuringStartUpKeepsKeyCfg) {
  const std::vector<KeyRecord> keys = {Record(VK_F5, "first"), Record(VK_F6, "second")};
  ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile(keys)));
  std::string duringStart;
  {
    SlowTray tray([&] {
      const auto windows = WindowsOfProcess(tavolet_.Id(), "#32770");
      DWORD_PTR answer = 0;
      if (!windows.empty()) {
        SendMessageTimeoutA(windows.front(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer);
      }
      duringStart = KeyCfg();
    });
    ASSERT_TRUE(tavolet_.Start(folder_.Path()));
    ASSERT_TRUE(WaitFor([] { return SlowTray::called; }, 10000));
  }
  EXPECT_EQ(duringStart, KeyFile(keys)) << "nothing was loaded yet, nothing written";
  EXPECT_TRUE(KeysBecome({keys[1], keys[0]})) << "once loaded, the query's save writes them";
  HWND main = tavolet_.WaitForMainWindow();
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(main, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, 15000, &answer);
  ASSERT_TRUE(tavolet_.WaitUntilReady());
}

// A menu's own loop delivers the hot key to the main dialog; it is carried out all the same.
TEST_F(DependableE2E, AHotKeyWhileTheTrayMenuIsOpenIsCarriedOut) {
  KeyRecord parameter = Record(VK_F7, "");
  parameter.actionType = 13;
  parameter.param2 = SPI_SETSCREENSAVEACTIVE;
  StartWith({parameter});
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
  PostMessageA(tavolet_.MainWindow(), kTrayNotify, 0, WM_RBUTTONDOWN);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND m : WindowsOfProcess(tavolet_.Id(), "#32768")) {
          if (IsWindowVisible(m)) menu = m;
        }
        return menu != nullptr;
      },
      5000));
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
  EXPECT_TRUE(WaitFor([] { return !ScreenSaverActive(); }, 5000));
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
}

// Another program that loads both libraries and writes every datum they export changes nothing
// that the shell calls or that Tavolet's copy acts on.
TEST_F(DependableE2E, WritingTheLibrariesExportedDataChangesNothingElsewhere) {
  StartPainting();
  PostMessageA(tavolet_.MainWindow(), kTrayNotify, 0, WM_LBUTTONDOWN);  // suppression on
  const std::string output = folder_.File("probe.txt");
  // The probe loads both libraries itself, writes every datum they export, then asks the
  // system hook in its own process about the screen saver: "1" refused.
  auto probe = [&] {
    const std::string line = "\"" + ProgramFolder() + "hook_library_probe.exe\" \"" + output + "\"";
    return RunToEnd(line) ? ReadBytes(output) : std::string("not run");
  };
  // Suppression outlives a Tavolet while some process keeps the library: an earlier test may
  // have left it on, and then the click above turned it off.
  std::string answer;
  bool on = WaitFor(
      [&] {
        answer = probe();
        return answer == "1";
      },
      5000);
  if (!on) {
    PostMessageA(tavolet_.MainWindow(), kTrayNotify, 0, WM_LBUTTONDOWN);
    on = WaitFor(
        [&] {
          answer = probe();
          return answer == "1";
        },
        5000);
  }
  EXPECT_TRUE(on) << "the screen saver is still refused after the probe's writes: " << answer;
  EXPECT_EQ(probe(), "1") << "and again, after a process wrote everything once more";
  EXPECT_GT(DesktopPixels(kRed), 200) << "the desktop is painted in Tavolet's colours";
  PostMessageA(tavolet_.MainWindow(), kTrayNotify, 0, WM_LBUTTONDOWN);
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(DesktopListProcedure(), 1) << "the list view's own procedure, not the planted one";
}

// A thread of a squatter's that counts the window notices it is sent.
class NoticeCounter {
 public:
  NoticeCounter() {
    thread_ = std::thread([this] {
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // its queue, before its id is given out
      id_ = GetCurrentThreadId();
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_USER + 2) InterlockedIncrement(&notices_);
      }
    });
    while (!id_) Sleep(1);
  }
  ~NoticeCounter() {
    PostThreadMessageA(id_, WM_QUIT, 0, 0);
    thread_.join();
  }
  DWORD id() const { return id_; }
  // Once the posts of what was done before have arrived.
  long Notices() const {
    Sleep(300);
    return notices_;
  }

 private:
  std::thread thread_;
  volatile DWORD id_ = 0;
  volatile long notices_ = 0;
};

// Every name of Tavolet's taken first by another process, with an access list that lets anyone
// in (and another owner), and what an attacker would write into it: suppression on, its own
// thread to be told of every window, garbage for the shell. Tavolet starts and decides, and the
// squatter is told nothing.
TEST_F(DependableE2E, NamesTakenFirstNeitherStopNorSteerTavolet) {
  NoticeCounter squatter;
  NameTakenFirst lintrel(L"Lintrel", L"D:(A;;GA;;;WD)");
  NameTakenFirst corvane(L"Corvane", L"O:S-1-5-21-1-2-3-1001D:(A;;GA;;;WD)");
  HANDLE handshake = CreateEventW(nullptr, TRUE, FALSE, L"SetWndLng");
  ASSERT_TRUE(lintrel.view() && corvane.view() && handshake);
  auto attack = [&] {
    lintrel.view()[0] = 1;  // suppression on
    lintrel.view()[1] = static_cast<LONG>(squatter.id());
    for (DWORD i = 0; i < NameTakenFirst::kSize / sizeof(LONG); ++i) corvane.view()[i] = -1;
  };
  attack();
  StartPainting();
  attack();
  HWND window = MakeForegroundWindow();
  CbtObserver observer;
  EXPECT_EQ(observer.AnswerTo(window, 0xF140), 0) << "off, as Tavolet has it";
  PostMessageA(tavolet_.MainWindow(), kTrayNotify, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitFor([&] { return observer.AnswerTo(window, 0xF140) == 1; }, 5000));
  PostMessageA(tavolet_.MainWindow(), kTrayNotify, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitFor([&] { return observer.AnswerTo(window, 0xF140) == 0; }, 5000));
  DestroyWindow(window);
  // Wine's own processes keep the libraries, and what they found in an earlier test (before the
  // name was taken here): only the windows of a program started now are counted.
  const long before = squatter.Notices();
  ASSERT_TRUE(RunToEnd("\"" + ProgramFolder() + "window_maker.exe\" 3"));
  EXPECT_EQ(squatter.Notices(), before) << "window notices reached the squatter";
  EXPECT_GT(DesktopPixels(kRed), 200) << "painted in Tavolet's colours";
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  CloseHandle(handshake);
}

}  // namespace
