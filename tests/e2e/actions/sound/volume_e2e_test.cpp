// The volume keys and the boss key, heard as the machine's sound: Tavolet runs with the
// stand-in enumerator registered in place of the system's, so the levels and mutes of the
// system's render and capture endpoints live in a table this test sets and reads, beside
// endpoints that come and go while Tavolet runs, and the audio sessions of programs that play.
#include <windows.h>
#include <mmdeviceapi.h>
#include <wrl/client.h>
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "framework/com_apartment.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/endpoint_standin.h"
#include "tests/support/run_processes.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr char kEnumeratorServer[] =
    "Software\\Classes\\CLSID\\{BCDE0395-E52F-467C-8E3D-C4579291692E}\\InprocServer32";
constexpr UINT kSpeakers = 4;  // the speaker line of Wine's output mixer, 0..0xFFFF
constexpr UINT kAnyLineType = 0x100B;
constexpr int32_t kStep = 0x1000;

std::string ServerPath() {
  char path[MAX_PATH] = "";
  DWORD size = sizeof path;
  RegGetValueA(HKEY_LOCAL_MACHINE, kEnumeratorServer, nullptr, RRF_RT_REG_SZ, nullptr, path, &size);
  return path;
}

bool SetServerPath(const std::string& path) {
  return RegSetKeyValueA(HKEY_LOCAL_MACHINE, kEnumeratorServer, nullptr, REG_SZ, path.c_str(),
                         static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS;
}

// The system's default endpoint id of one direction ("" when there is none).
std::wstring DefaultEndpoint(EDataFlow flow) {
  ComApartment com;
  Microsoft::WRL::ComPtr<IMMDeviceEnumerator> enumerator;
  Microsoft::WRL::ComPtr<IMMDevice> device;
  LPWSTR id = nullptr;
  std::wstring found;
  if (SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(&enumerator))) &&
      SUCCEEDED(enumerator->GetDefaultAudioEndpoint(flow, eConsole, &device)) &&
      SUCCEEDED(device->GetId(&id))) {
    found = id;
  }
  CoTaskMemFree(id);
  return found;
}

KeyRecord VolumeKey(int type, UINT key, int32_t device, UINT lineType) {
  KeyRecord r = Record(key, "");
  r.actionType = type;
  r.param1 = kStep;
  r.mixerDevice = device;
  r.mixerLineType = lineType;
  return r;
}

// A key for the program in front; param1 0 steps by a sixteenth.
KeyRecord FrontKey(int type, UINT key) {
  KeyRecord r = Record(key, "");
  r.actionType = type;
  return r;
}

class VolumeE2E : public E2ETest {
 protected:
  void SetUp() override {
    const std::wstring render = DefaultEndpoint(eRender), capture = DefaultEndpoint(eCapture);
    ASSERT_FALSE(render.empty() || capture.empty()) << "Wine's render and capture endpoints";
    table_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                sizeof(StandInEndpointTable), kEndpointTableName);
    ASSERT_NE(table_, nullptr);
    endpoints_ = static_cast<StandInEndpointTable*>(
        MapViewOfFile(table_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(StandInEndpointTable)));
    ASSERT_NE(endpoints_, nullptr);
    *endpoints_ = StandInEndpointTable{};
    wcsncpy(Render().id, render.c_str(), kStandInIdLength - 1);
    wcsncpy(Capture().id, capture.c_str(), kStandInIdLength - 1);
    endpoints_->count = 2;
    // A stand-in left registered by a test that died is replaced by the system's own.
    systemServer_ = ServerPath();
    if (systemServer_.empty() || systemServer_.find("endpoint_standin") != std::string::npos) {
      char folder[MAX_PATH] = "";
      GetSystemDirectoryA(folder, MAX_PATH);
      systemServer_ = std::string(folder) + "\\mmdevapi.dll";
    }
    ASSERT_TRUE(SetServerPath(ProgramFolder() + "endpoint_standin.dll"));
  }
  void TearDown() override {
    if (endpoints_) endpoints_->hung = 0;
    if (player_.hProcess) {
      TerminateProcess(player_.hProcess, 0);
      CloseHandle(player_.hProcess);
    }
    E2ETest::TearDown();
    if (!systemServer_.empty()) {
      EXPECT_TRUE(SetServerPath(systemServer_));
    }
    if (window_) DestroyWindow(window_);
    if (endpoints_) UnmapViewOfFile(endpoints_);
    if (table_) CloseHandle(table_);
  }

  StandInEndpoint& Render() { return endpoints_->endpoints[0]; }
  StandInEndpoint& Capture() { return endpoints_->endpoints[1]; }
  void Set(StandInEndpoint& endpoint, float level, bool muted) {
    endpoint.level = level;
    endpoint.muted = muted;
  }
  // A render endpoint of the stand-in's own, plugged in now (slots 2 and on).
  StandInEndpoint& Plug(LONG slot, const wchar_t* id, float level) {
    StandInEndpoint& endpoint = endpoints_->endpoints[slot];
    wcsncpy(endpoint.id, id, kStandInIdLength - 1);
    Set(endpoint, level, false);
    endpoint.origin = kOwnRenderEndpoint;
    endpoint.present = 1;
    if (endpoints_->count <= slot) endpoints_->count = slot + 1;
    return endpoint;
  }
  // A session of a program on the system's render endpoint.
  StandInSession& Play(DWORD process) { return *AddStandInSession(endpoints_, 0, process, 0.5f); }
  // The sessions of the sound player in front and of its child; empty when they did not come.
  std::vector<StandInSession*> StartPlayer() {
    std::string line = "\"" + ProgramFolder() + "sound_player.exe\" 0";
    PROCESS_INFORMATION info{};
    if (!StartProcess(line, info)) return {};
    RecordStartedProcess(info.hProcess);
    CloseHandle(info.hThread);
    player_ = info;
    std::vector<StandInSession*> sessions;
    WaitFor(
        [&] {
          sessions.clear();
          for (LONG i = 0; i < endpoints_->sessionsTaken && i < kStandInSessionCount; ++i) {
            StandInSession& session = endpoints_->sessions[i];
            if (session.ready && session.processId != GetCurrentProcessId()) {
              sessions.push_back(&session);
            }
          }
          DWORD front = 0;
          GetWindowThreadProcessId(GetForegroundWindow(), &front);
          return sessions.size() == 2 && front == info.dwProcessId;
        },
        10000);
    return sessions.size() == 2 ? sessions : std::vector<StandInSession*>();
  }
  bool Answers() const {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(tavolet_.MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000,
                               &ignored) != 0;
  }
  // Presses key `id` (entries count from 1) `times` times; true once the endpoint has taken
  // `writes` writes in all.
  bool PressUntil(int id, int times, const StandInEndpoint& endpoint, LONG writes) {
    for (int i = 0; i < times; ++i) PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, id, 0);
    return WaitFor([&] { return endpoint.writes >= writes; }, 5000);
  }

  HANDLE table_ = nullptr;
  StandInEndpointTable* endpoints_ = nullptr;
  std::string systemServer_;
  HWND window_ = nullptr;
  PROCESS_INFORMATION player_{};
};

TEST_F(VolumeE2E, StepsAreSixteenthsOfTheRecordAndStopExactlyAtTheEnds) {
  StartWith({VolumeKey(7, VK_F5, 0, kSpeakers), VolumeKey(8, VK_F6, 0, kSpeakers)});
  Set(Render(), 0.5f, false);
  Set(Capture(), 0.5f, false);
  ASSERT_TRUE(PressUntil(1, 1, Render(), 1)) << "VolumeUp reached the render endpoint";
  EXPECT_NEAR(Render().level, 0.5625f, 0.001f);
  ASSERT_TRUE(PressUntil(1, 8, Render(), 9));
  EXPECT_EQ(Render().level, 1.0f);
  ASSERT_TRUE(PressUntil(2, 17, Render(), 26));
  EXPECT_EQ(Render().level, 0.0f);
  EXPECT_FALSE(Render().muted);
  EXPECT_EQ(Capture().writes, 0) << "device 0 is the render endpoint only";
  EXPECT_EQ(Capture().level, 0.5f);
}

TEST_F(VolumeE2E, MuteTogglesTheEndpointOfItsDeviceOnly) {
  StartWith({VolumeKey(9, VK_F5, 0, kSpeakers), VolumeKey(9, VK_F6, 1, kAnyLineType)});
  Set(Render(), 0.4f, false);
  Set(Capture(), 0.6f, false);
  ASSERT_TRUE(PressUntil(1, 1, Render(), 1));
  EXPECT_TRUE(Render().muted);
  ASSERT_TRUE(PressUntil(2, 1, Capture(), 1));
  EXPECT_TRUE(Capture().muted);
  EXPECT_EQ(Render().writes, 1) << "a mute record of device 1 leaves device 0 alone";
  ASSERT_TRUE(PressUntil(1, 1, Render(), 2));
  EXPECT_FALSE(Render().muted);
  EXPECT_TRUE(Capture().muted);
  EXPECT_EQ(Render().level, 0.4f);
}

TEST_F(VolumeE2E, BossKeySilencesEveryEndpointAndGivesEachItsOwnStateBack) {
  KeyRecord boss = Record(VK_F5, "");
  boss.actionType = 6;
  StartWith({boss});
  Set(Render(), 0.3f, false);
  Set(Capture(), 0.7f, true);  // muted before the boss came
  window_ = MakeForegroundWindow();
  ASSERT_TRUE(PressUntil(1, 1, Render(), 1));
  ASSERT_TRUE(WaitFor([&] { return Capture().writes >= 1; }, 5000));
  EXPECT_TRUE(Render().muted);
  EXPECT_TRUE(Capture().muted);
  Set(Render(), 0.9f, true);  // meanwhile another program moves the levels
  Set(Capture(), 0.1f, true);
  ASSERT_TRUE(PressUntil(1, 1, Render(), 3));
  ASSERT_TRUE(WaitFor([&] { return Capture().writes >= 3; }, 5000));
  EXPECT_EQ(Render().level, 0.3f);
  EXPECT_FALSE(Render().muted);
  EXPECT_EQ(Capture().level, 0.7f);
  EXPECT_TRUE(Capture().muted);
}

TEST_F(VolumeE2E, TheBossKeyFollowsTheDevicesThatComeAndGo) {
  KeyRecord boss = Record(VK_F5, "");
  boss.actionType = 6;
  StartWith({boss, VolumeKey(7, VK_F6, 0, kSpeakers)});
  Set(Render(), 0.3f, false);
  ASSERT_TRUE(PressUntil(2, 1, Render(), 1)) << "Tavolet has used the devices";
  StandInEndpoint& later = Plug(2, L"{standin}.headphones", 0.4f);
  StandInEndpoint& leaving = Plug(3, L"{standin}.speakers", 0.6f);
  window_ = MakeForegroundWindow();
  ASSERT_TRUE(PressUntil(1, 1, later, 1)) << "plugged in after the first use";
  ASSERT_TRUE(WaitFor([&] { return leaving.writes >= 1 && Render().muted; }, 5000));
  EXPECT_TRUE(later.muted);
  StandInEndpoint& whileMuted = Plug(4, L"{standin}.usb", 0.5f);
  leaving.present = 0;
  ASSERT_TRUE(PressUntil(1, 1, later, 3));
  ASSERT_TRUE(WaitFor([&] { return !Render().muted; }, 5000));
  EXPECT_EQ(later.level, 0.4f);
  EXPECT_FALSE(later.muted) << "given its own state back";
  EXPECT_EQ(whileMuted.writes, 0) << "came while muted: left as it is";
  EXPECT_EQ(leaving.writes, 1) << "gone: skipped";
  EXPECT_EQ(TrayTip(), "Tavolet") << "skipping one that went is no failure";
}

TEST_F(VolumeE2E, AKeyOnDeviceZeroMovesTheDefaultOfThePress) {
  StartWith({VolumeKey(7, VK_F5, 0, kSpeakers)});
  Set(Render(), 0.5f, false);
  ASSERT_TRUE(PressUntil(1, 1, Render(), 1));
  StandInEndpoint& headphones = Plug(2, L"{standin}.headphones", 0.25f);
  endpoints_->defaultRender = 3;
  ASSERT_TRUE(PressUntil(1, 1, headphones, 1));
  EXPECT_NEAR(headphones.level, 0.3125f, 0.001f);
  EXPECT_EQ(Render().writes, 1) << "the old default stays";
}

TEST_F(VolumeE2E, AKeyOnADeviceThatIsGoneSaysSoForAMoment) {
  StartWith({VolumeKey(9, VK_F5, 5, kAnyLineType)});
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
  EXPECT_TRUE(WaitFor([] { return TrayTip() == "Tavolet (音声デバイスがありません)"; }, 5000))
      << TrayTip();
  EXPECT_TRUE(WaitFor([] { return TrayTip() == "Tavolet"; }, 10000)) << TrayTip();
  EXPECT_EQ(Render().writes + Capture().writes, 0);
}

TEST_F(VolumeE2E, AHungAudioServiceCostsTheKeyNotTavolet) {
  StartWith({VolumeKey(7, VK_F5, 0, kSpeakers)});
  Set(Render(), 0.5f, false);
  endpoints_->hung = 1;
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
  EXPECT_TRUE(WaitFor([] { return TrayTip() == "Tavolet (音声サービスが応答しません)"; }, 6000))
      << TrayTip();
  EXPECT_TRUE(Answers());
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
  const DWORD start = GetTickCount();
  EXPECT_TRUE(Answers());
  EXPECT_LT(GetTickCount() - start, 1000u) << "the next key is refused at once";
  endpoints_->hung = 0;
  // The service answers again; the keys pressed meanwhile were given up and change nothing.
  for (int i = 0; i < 10 && Render().writes == 0; ++i) {
    PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
    WaitFor([&] { return Render().writes > 0; }, 1000);
  }
  EXPECT_EQ(Render().writes, 1);
  EXPECT_NEAR(Render().level, 0.5625f, 0.001f);
}

TEST_F(VolumeE2E, FrontProgramKeysMoveItsSessionAndItsChildsOnly) {
  StartWith({FrontKey(17, VK_F5), FrontKey(18, VK_F6), FrontKey(19, VK_F7)});
  Set(Render(), 0.5f, false);
  StandInSession& other = Play(GetCurrentProcessId());  // the program that started the player
  const std::vector<StandInSession*> player = StartPlayer();
  ASSERT_EQ(player.size(), 2u) << "the player and its child play, the player in front";
  auto writes = [&](LONG count) {
    return WaitFor([&] { return player[0]->writes >= count && player[1]->writes >= count; }, 5000);
  };
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
  ASSERT_TRUE(writes(1));
  EXPECT_NEAR(player[0]->level, 0.5625f, 0.001f);
  EXPECT_NEAR(player[1]->level, 0.5625f, 0.001f) << "the child's sound is the program's";
  for (int i = 0; i < 2; ++i) PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 2, 0);
  ASSERT_TRUE(writes(3));
  EXPECT_NEAR(player[1]->level, 0.4375f, 0.001f);
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 3, 0);
  ASSERT_TRUE(writes(4));
  EXPECT_TRUE(player[0]->muted && player[1]->muted);
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 3, 0);
  ASSERT_TRUE(writes(5));
  EXPECT_FALSE(player[0]->muted || player[1]->muted) << "toggled back";
  EXPECT_EQ(other.writes, 0);
  EXPECT_EQ(Render().writes, 0) << "the endpoint's own level stays";
  EXPECT_EQ(TrayTip(), "Tavolet");
}

TEST_F(VolumeE2E, NothingMovesWithTavoletOrTheDesktopInFront) {
  StartWith({FrontKey(17, VK_F5), VolumeKey(7, VK_F6, 0, kSpeakers)});
  StandInSession& tavolets = Play(tavolet_.Id());
  StandInSession& desktops = Play(TestDesktop().Id());
  // The device key after it shows that the front-program key has been handled.
  auto pressBoth = [&](LONG endpointWrites) {
    PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
    return PressUntil(2, 1, Render(), endpointWrites);
  };
  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == keyList; }, 3000));
  ASSERT_TRUE(pressBoth(1));
  ASSERT_TRUE(Press(keyList, IDOK));
  HWND desktop = FindWindowA("Progman", nullptr);
  SetForegroundWindow(desktop);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == desktop; }, 3000));
  ASSERT_TRUE(pressBoth(2));
  EXPECT_EQ(tavolets.writes, 0) << "Tavolet's own window in front";
  EXPECT_EQ(desktops.writes, 0) << "the desktop in front";
  EXPECT_EQ(TrayTip(), "Tavolet") << "no program in front: nothing to say";
}

TEST_F(VolumeE2E, AProgramWithoutSoundInFrontSaysSo) {
  StartWith({FrontKey(19, VK_F5)});
  window_ = MakeForegroundWindow();
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
  EXPECT_TRUE(WaitFor([] { return TrayTip() == "Tavolet (前面アプリの音声がありません)"; }, 5000))
      << TrayTip();
}

TEST_F(VolumeE2E, TheEditorAndTheKeyListOfferTheFrontProgramKinds) {
  StartWith({});
  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  HWND editor = OpenEditor(keyList, kAdd);
  ASSERT_NE(editor, nullptr);
  SetHotKey(editor, VK_F8, kCtrlAltShift);
  ChooseType(editor, 17);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(editor, 1020))) << "the step";
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(editor, 1011))) << "no device";
  SetDlgItemTextA(editor, 1020, "2048");
  // The dialog alone: Wine draws a list dropped from outside behind the dialog.
  RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(300);
  SaveWindowScreenshot(ScreenshotPath("edit_dialog_front_program_kinds"), editor);
  ASSERT_TRUE(Press(editor, IDOK));
  KeyRecord down = FrontKey(18, VK_F8);
  down.param1 = 2048;
  EXPECT_TRUE(KeysBecome({down})) << "the record form of every kind";
  EXPECT_EQ(ListRows(GetDlgItem(keyList, 1016), tavolet_.Id(), 1),
            std::vector<std::string>{"前面アプリの音量を下げる"});
  EXPECT_EQ(ListRows(GetDlgItem(keyList, 1016), tavolet_.Id(), 2),
            std::vector<std::string>{"-2048"})
      << "the step tells it from its twin, whose name the column cuts alike";
  SaveWindowScreenshot(ScreenshotPath("key_list_front_program"), keyList);
  EXPECT_TRUE(Press(keyList, IDOK));
}

}  // namespace
