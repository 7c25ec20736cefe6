#include "tests/e2e/e2e_support.h"

#include <commctrl.h>

#include "app/settings_file.h"
#include "framework/session_objects.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "tests/support/run_processes.h"
#include "tests/support/screen_capture.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

KeyRecord Record(UINT key, const std::string& target) {
  KeyRecord r;
  r.virtualKey = key;
  r.modifiers = kAllModifiers;
  r.actionType = 1;
  r.target = target;
  return r;
}

std::string KeyFile(const std::vector<KeyRecord>& records) {
  std::vector<const KeyRecord*> pointers;
  for (const KeyRecord& r : records) pointers.push_back(&r);
  return EncodeKeyFile(pointers);
}

StandInDesktop& TestDesktop() {
  static StandInDesktop desktop;
  return desktop;
}

bool StandInDesktop::Start(const std::string& arguments) {
  Stop();
  failure_.clear();
  std::string commandLine = "\"" + ProgramFolder() + "desktop_standin.exe\" " + arguments;
  PROCESS_INFORMATION info{};
  if (!StartProcess(commandLine, info)) {
    failure_ = "not started, error " + std::to_string(GetLastError());
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  RecordStartedProcess(process_);
  // The chain of windows comes first and the items after it: wait for the items.
  HWND other = nullptr;
  const bool ready = WaitFor(
      [&] {
        HWND list = DesktopListView();
        DWORD owner = 0;
        if (list) GetWindowThreadProcessId(list, &owner);
        other = owner != processId_ ? list : nullptr;
        return owner == processId_ && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0;
      },
      10000);
  DWORD code = STILL_ACTIVE;
  if (!ready) {
    GetExitCodeProcess(process_, &code);
    failure_ = code != STILL_ACTIVE ? "ended with exit code " + std::to_string(code)
               : other              ? "another desktop list view was found first"
                                    : "no list view with items within 10 s";
  }
  return ready;
}

void StandInDesktop::Stop() {
  if (!process_) return;
  for (HWND w : WindowsOfProcess(processId_, "")) PostMessageA(w, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
  processId_ = 0;
}

void StandInDesktop::Kill() {
  if (process_) TerminateProcess(process_, 1);
  Stop();
}

void FreshStartForEveryTest::OnTestStart(const ::testing::TestInfo&) {
  EndLeftoverProcesses();
  if (!TestDesktop().Start()) {
    std::printf("[ desktop  ] the stand-in desktop did not start: %s\n",
                TestDesktop().Failure().c_str());
  }
}

void FreshStartForEveryTest::OnTestEnd(const ::testing::TestInfo&) { TestDesktop().Stop(); }

std::vector<std::string> ListRows(HWND list, DWORD processId, int column) {
  std::vector<std::string> rows;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  RemoteBuffer buffer(processId, 4096);
  for (int row = 0; row < count; ++row) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.At(1024);
    item.cchTextMax = 256;
    buffer.Write(0, &item, sizeof item);
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(buffer.At(0)));
    char text[257] = "";
    buffer.Read(1024, text, 256);
    rows.push_back(text);
  }
  return rows;
}

bool SelectListRow(HWND list, DWORD processId, const std::string& text) {
  const auto rows = ListRows(list, processId);
  for (size_t row = 0; row < rows.size(); ++row) {
    if (rows[row] != text) continue;
    RemoteBuffer buffer(processId, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    buffer.Write(0, &item, sizeof item);
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(buffer.At(0)));
    return true;
  }
  return false;
}

std::string LabelSettings(int state, COLORREF outline, COLORREF background) {
  SettingsValues values;
  values.labelState = state;
  values.textColor = kGreen;
  values.outlineColor = outline;
  values.backgroundColor = background;
  values.selectionColor = RGB(0, 0, 128);
  return ToTextMode(EncodeSettings(values));
}

HWND MakeForegroundWindow() {
  HWND window = CreateWindowExA(0, "STATIC", "Tavolet E2E target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                200, 150, 300, 200, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(window);
  WaitFor([&] { return GetForegroundWindow() == window; }, 3000);
  return window;
}

bool ScreenSaverActive() {
  BOOL value = TRUE;
  SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &value, 0);
  return value != FALSE;
}

bool Taken(UINT modifiers, UINT key) {
  HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const bool registered = RegisterHotKey(probe, 1, modifiers, key);
  const DWORD error = GetLastError();
  if (registered) UnregisterHotKey(probe, 1);
  DestroyWindow(probe);
  return !registered && error == ERROR_HOTKEY_ALREADY_REGISTERED;
}

int DesktopPixels(COLORREF color) {
  HWND list = DesktopListView();
  if (!list) return 0;
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Sleep(300);
  RECT strip{};
  GetWindowRect(list, &strip);
  strip.right = strip.left + 420;
  strip.bottom = strip.top + 90;
  return CountPixels(strip, color);
}

void E2ETest::TearDown() {
  // A copy the test ended on purpose is left alone; one that died is reported.
  if (tavolet_.MainWindow() && !tavolet_.EndedUnexpectedly() &&
      tavolet_.WaitForExit(0) == STILL_ACTIVE) {
    EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  }
}

void E2ETest::StartWith(const std::vector<KeyRecord>& entries) {
  ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile(entries)));
  StartReady();
}

void E2ETest::StartReady() {
  ASSERT_TRUE(tavolet_.Start(folder_.Path()));
  ASSERT_TRUE(tavolet_.WaitUntilReady()) << "no icon in the notification area";
}

::testing::AssertionResult E2ETest::KeysBecome(const std::vector<KeyRecord>& expected) const {
  std::vector<KeyRecord> keys;
  if (WaitFor(
          [&] {
            keys = Keys();
            return keys == expected;
          },
          5000)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "key.cfg holds " << keys.size() << " records, not the "
                                       << expected.size() << " expected (or other ones)";
}

HWND E2ETest::WaitForDialog(const char* caption, DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitFor(
      [&] {
        found = nullptr;
        for (HWND w : WindowsOfProcess(tavolet_.Id(), "#32770")) {
          char text[64] = "";
          GetWindowTextA(w, text, sizeof text);
          if (IsWindowVisible(w) && std::strcmp(text, caption) == 0) found = w;
        }
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

int E2ETest::CountDialogs(const char* caption) const {
  int count = 0;
  for (HWND w : WindowsOfProcess(tavolet_.Id(), "#32770")) {
    char text[64] = "";
    GetWindowTextA(w, text, sizeof text);
    if (IsWindowVisible(w) && std::strcmp(text, caption) == 0) ++count;
  }
  return count;
}

HWND E2ETest::OpenKeyList() const {
  PostMessageA(tavolet_.MainWindow(), WM_COMMAND, kEditKeys, 0);
  return WaitForDialog("編集");
}

HWND E2ETest::OpenEditor(HWND keyList, UINT command) const {
  PostMessageA(keyList, WM_COMMAND, command, 0);
  return WaitForDialog("ホットキー追加");
}

void E2ETest::SetHotKey(HWND editor, BYTE key, BYTE flags) {
  SendDlgItemMessageA(editor, 1003, HKM_SETHOTKEY, MAKEWORD(key, flags), 0);
}

void E2ETest::ChooseType(HWND editor, int position) {
  SendDlgItemMessageA(editor, 1004, CB_SETCURSEL, position, 0);
  SendMessageA(editor, WM_COMMAND, MAKEWPARAM(1004, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(editor, 1004)));
}

std::string E2ETest::ControlText(HWND dialog, int id) {
  char text[512] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

bool E2ETest::Press(HWND dialog, int id, DWORD timeoutMs) {
  // Sent, so it is handled in order with the other (sent) control changes.
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_NORMAL, timeoutMs,
                      &answer);
  return WaitFor([&] { return !IsWindow(dialog); }, timeoutMs);
}

KeyRecord E2ETest::AddThroughTheKeyList(BYTE key, const std::string& target) const {
  HWND keyList = OpenKeyList();
  EXPECT_NE(keyList, nullptr);
  HWND editor = keyList ? OpenEditor(keyList, kAdd) : nullptr;
  EXPECT_NE(editor, nullptr);
  if (editor) {
    SetHotKey(editor, key, kCtrlAltShift);
    ChooseType(editor, 0);
    SetDlgItemTextA(editor, 1014, target.c_str());
    EXPECT_TRUE(Press(editor, IDOK));
  }
  if (keyList) {
    EXPECT_TRUE(Press(keyList, IDOK));
  }
  return Record(key, target);
}

void E2ETest::SelectRow(HWND list, const std::string& text) const {
  if (!SelectListRow(list, tavolet_.Id(), text)) ADD_FAILURE() << "no row " << text;
}

namespace {

// The tool record as a 64-bit tooltip control keeps it; a 32-bit reader of a 64-bit shell's
// tooltip must write this layout, not its own.
struct ToolInfo64 {
  UINT cbSize;
  UINT uFlags;
  UINT64 hwnd;
  UINT64 uId;
  RECT rect;
  UINT64 hinst;
  UINT64 lpszText;
  UINT64 lParam;
  UINT64 lpReserved;
};
#ifdef _WIN64
static_assert(sizeof(ToolInfo64) == sizeof(TTTOOLINFOW) &&
                  offsetof(ToolInfo64, lpszText) == offsetof(TTTOOLINFOW, lpszText),
              "the 64-bit tool record");
#endif

void PointTextAt(TTTOOLINFOW& tool, char* remote) {
  tool.lpszText = reinterpret_cast<wchar_t*>(remote);
}
void PointTextAt(ToolInfo64& tool, char* remote) {
  tool.lpszText = reinterpret_cast<UINT_PTR>(remote);
}

bool IsSixtyFourBitProcess(DWORD processId) {
  SYSTEM_INFO system{};
  GetNativeSystemInfo(&system);
  if (system.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_AMD64) return false;
  BOOL wow64 = TRUE;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return sizeof(void*) == 8;
  IsWow64Process(process, &wow64);
  CloseHandle(process);
  return !wow64;
}

// The text of the first tool of a tooltip control in another process, in that process's own
// layout of the tool record (Tool: TTTOOLINFOW or ToolInfo64).
template <typename Tool>
std::wstring FirstToolText(HWND window, DWORD owner) {
  constexpr size_t kTextOffset = 1024;
  constexpr size_t kTextChars = 512;
  RemoteBuffer buffer(owner, 4096);
  Tool tool{};
  tool.cbSize = sizeof tool;
  const LPARAM remoteTool = reinterpret_cast<LPARAM>(buffer.At(0));
  if (!buffer.Write(0, &tool, sizeof tool) ||
      !SendMessageW(window, TTM_ENUMTOOLSW, 0, remoteTool) || !buffer.Read(0, &tool, sizeof tool)) {
    return L"";
  }
  PointTextAt(tool, buffer.At(kTextOffset));
  const wchar_t none = 0;
  buffer.Write(kTextOffset, &none, sizeof none);
  buffer.Write(0, &tool, sizeof tool);
  SendMessageW(window, TTM_GETTEXTW, kTextChars, remoteTool);
  wchar_t wide[kTextChars + 1] = L"";
  buffer.Read(kTextOffset, wide, kTextChars * sizeof(wchar_t));
  return wide;
}

// One of the notification area's tooltips (Wine's explorer has one per icon): its tool's text
// when that is Tavolet's.
BOOL CALLBACK FindTavoletTip(HWND window, LPARAM context) {
  char className[32] = "";
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpiA(className, TOOLTIPS_CLASSA) != 0) return TRUE;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  const std::wstring wide = sizeof(void*) == 4 && IsSixtyFourBitProcess(owner)
                                ? FirstToolText<ToolInfo64>(window, owner)
                                : FirstToolText<TTTOOLINFOW>(window, owner);
  char text[1100] = "";
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
  if (std::strncmp(text, "Tavolet", 7) != 0) return TRUE;
  *reinterpret_cast<std::string*>(context) = text;
  return FALSE;
}

}  // namespace

std::string TrayTip() {
  std::string tip;
  EnumWindows(&FindTavoletTip, reinterpret_cast<LPARAM>(&tip));
  return tip;
}

bool ReadPublishedShellValues(PublishedShellValues& values) {
  MemoryReader reader{};
  const auto* published = static_cast<const volatile PublishedShellValues*>(
      ReadUserMapping(L"Corvane", sizeof(PublishedShellValues), reader));
  if (published) values = const_cast<const PublishedShellValues&>(*published);
  CloseUserMapping(reader);
  return published != nullptr;
}
