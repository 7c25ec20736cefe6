// The volume keys and the boss key, heard as the machine's sound: Tavolet runs with the
// stand-in enumerator registered in place of the system's, so the levels and mutes of the
// system's render and capture endpoints live in a table this test sets and reads, beside
// endpoints that come and go while Tavolet runs.
#include <windows.h>
#include <mmdeviceapi.h>
#include <wrl/client.h>
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "framework/com_apartment.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/endpoint_standin.h"

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

}  // namespace
