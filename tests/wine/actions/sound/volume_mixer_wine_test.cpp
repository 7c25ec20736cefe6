// VolumeMixer against Wine's own mixer (the ALSA null device gives two devices; values are per
// process, so they are read back here) and against a fake mixer that shows what Wine's cannot:
// several devices, one without a speaker line, one that cannot be opened. Then the audio
// endpoints: Wine's own, and endpoints of the test's that take over from the fake mixer.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "actions/sound/mixer_rules.h"
#include "actions/sound/volume_mixer.h"
#include "framework/com_apartment.h"

namespace {

uint32_t ReadControl(int32_t device, const MIXERCONTROLA& control) {
  HMIXER mixer = nullptr;
  if (mixerOpen(&mixer, static_cast<UINT>(device), 0, 0, 0) != MMSYSERR_NOERROR) return 0xDEAD;
  MIXERCONTROLDETAILS_UNSIGNED value{};
  MIXERCONTROLDETAILS details{sizeof details, control.dwControlID, 1, {}, sizeof value, &value};
  details.cMultipleItems = control.cMultipleItems;
  mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(mixer), &details, 0);
  mixerClose(mixer);
  return value.dwValue;
}

TEST(VolumeMixerWine, ListsSpeakerControlsFirstThenSourceLines) {
  VolumeMixer mixer(WinmmMixerFunctions(), NoAudioEndpoints());
  const int count = mixer.Initialize(kAnyMixerDevice, 0x100A);
  ASSERT_GE(count, 2) << "the ALSA null device gives a speaker volume and mute";
  const auto& records = mixer.Records();
  auto it = records.begin();
  EXPECT_EQ(it->deviceIndex, 0);
  EXPECT_EQ(it->lineType, static_cast<uint32_t>(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS));
  EXPECT_EQ(it->control.dwControlType, kVolumeControlType);
  ++it;
  EXPECT_EQ(it->lineType, static_cast<uint32_t>(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS));
  EXPECT_EQ(it->control.dwControlType, kMuteControlType);
  int32_t lastDevice = 0;
  for (const MixerControlRecord& r : records) {
    EXPECT_GE(r.deviceIndex, lastDevice) << "devices in order";
    lastDevice = r.deviceIndex;
    EXPECT_TRUE(r.control.dwControlType == kVolumeControlType ||
                r.control.dwControlType == kMuteControlType);
    EXPECT_FALSE(r.deviceName.empty());
  }
}

TEST(VolumeMixerWine, StepsClampAtTheBoundsAndMuteToggles) {
  VolumeMixer mixer(WinmmMixerFunctions(), NoAudioEndpoints());
  ASSERT_GE(mixer.Initialize(kAnyMixerDevice, 0x100A), 2);
  const auto records = mixer.Records();
  const MixerControlRecord& volume = records.front();
  const MixerControlRecord& mute = *std::next(records.begin());
  const int32_t maximum = volume.control.Bounds.lMaximum;
  const int32_t minimum = volume.control.Bounds.lMinimum;
  const uint32_t speakers = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  mixer.ChangeVolume(maximum * 4, 0, speakers);
  EXPECT_EQ(ReadControl(0, volume.control), static_cast<uint32_t>(maximum));
  mixer.ChangeVolume(0, 0, speakers);
  EXPECT_EQ(ReadControl(0, volume.control), static_cast<uint32_t>(maximum)) << "step 0";
  mixer.ChangeVolume(-1000, 0, speakers);
  // Wine's 32-bit mixer keeps values as a share of the range and may give one unit less back;
  // Tavolet's own arithmetic is integer, and at the bounds the values are exact.
  EXPECT_NEAR(ReadControl(0, volume.control), maximum - 1000, 1);
  mixer.ChangeVolume(-maximum * 4, 0, speakers);
  EXPECT_EQ(ReadControl(0, volume.control), static_cast<uint32_t>(minimum));

  mixer.SetMute(0, 0, speakers);
  EXPECT_EQ(ReadControl(0, mute.control), 0u);
  mixer.SetMute(-1, 0, speakers);
  EXPECT_EQ(ReadControl(0, mute.control), 1u);
  mixer.SetMute(-1, 0, speakers);
  EXPECT_EQ(ReadControl(0, mute.control), 0u);
  mixer.SetMute(1, kAnyMixerDevice, kAnyLineType);
  EXPECT_EQ(ReadControl(0, mute.control), 1u);
}

TEST(VolumeMixerWine, BossKeyLevelsComeBack) {
  VolumeMixer mixer(WinmmMixerFunctions(), NoAudioEndpoints());
  ASSERT_GE(mixer.Initialize(kAnyMixerDevice, 0x100A), 2);
  mixer.SetMute(0, kAnyMixerDevice, kAnyLineType);
  mixer.ChangeVolume(-1000000, kAnyMixerDevice, kAnyLineType);
  mixer.ChangeVolume(12345, kAnyMixerDevice, kAnyLineType);
  std::vector<uint32_t> before;
  for (const auto& r : mixer.Records()) before.push_back(ReadControl(r.deviceIndex, r.control));
  mixer.SaveLevels();
  mixer.SetMute(1, kAnyMixerDevice, kAnyLineType);
  // Wine keeps no value for its source lines' mute controls (they read back 0), so the
  // speaker mutes, which it keeps, show that every device was muted.
  for (const auto& r : mixer.Records()) {
    if (r.control.dwControlType == kMuteControlType &&
        r.lineType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) {
      EXPECT_EQ(ReadControl(r.deviceIndex, r.control), 1u) << r.deviceName;
    }
  }
  mixer.ChangeVolume(-5000, kAnyMixerDevice, kAnyLineType);
  mixer.RestoreLevels();
  size_t i = 0;
  for (const auto& r : mixer.Records()) {
    EXPECT_EQ(ReadControl(r.deviceIndex, r.control), before[i++]) << r.lineName;
  }
}

// --- a fake mixer ---------------------------------------------------------------------

struct FakeLine {
  std::string name;
  DWORD componentType;
  DWORD flags;
  std::vector<MIXERCONTROLA> controls;
};

struct FakeDevice {
  std::string name;
  bool opens = true;
  std::vector<MIXERCONTROLA> speaker;  // empty: no speaker line
  std::vector<std::vector<FakeLine>> destinations;
};

struct FakeMixerState {
  std::vector<FakeDevice> devices;
  std::map<DWORD, uint32_t> values;
  int opened = 0, closed = 0;
} fake;

MIXERCONTROLA Control(DWORD id, DWORD type, LONG maximum = 100) {
  MIXERCONTROLA c{};
  c.cbStruct = sizeof c;
  c.dwControlID = id;
  c.dwControlType = type;
  c.Bounds.lMinimum = 0;
  c.Bounds.lMaximum = maximum;
  return c;
}

int DeviceOf(HMIXEROBJ object) { return static_cast<int>(reinterpret_cast<UINT_PTR>(object)) - 1; }

UINT WINAPI FakeGetNumDevs() { return static_cast<UINT>(fake.devices.size()); }
MMRESULT WINAPI FakeOpen(LPHMIXER mixer, UINT id, DWORD_PTR, DWORD_PTR, DWORD) {
  if (id >= fake.devices.size() || !fake.devices[id].opens) return MMSYSERR_BADDEVICEID;
  *mixer = reinterpret_cast<HMIXER>(static_cast<UINT_PTR>(id + 1));
  ++fake.opened;
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeClose(HMIXER) {
  ++fake.closed;
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeGetDevCaps(UINT_PTR id, LPMIXERCAPSA caps, UINT) {
  std::memset(caps, 0, sizeof *caps);
  std::strcpy(caps->szPname, fake.devices[id].name.c_str());
  caps->cDestinations = static_cast<DWORD>(fake.devices[id].destinations.size());
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeGetLineInfo(HMIXEROBJ object, LPMIXERLINEA line, DWORD flags) {
  const FakeDevice& device = fake.devices[DeviceOf(object)];
  switch (flags & MIXER_GETLINEINFOF_QUERYMASK) {
    case MIXER_GETLINEINFOF_COMPONENTTYPE:
      if (device.speaker.empty() || line->dwComponentType != 4) return MIXERR_INVALLINE;
      line->dwLineID = 0xFFFF;
      std::strcpy(line->szName, "Speaker");
      line->cControls = static_cast<DWORD>(device.speaker.size());
      return MMSYSERR_NOERROR;
    case MIXER_GETLINEINFOF_DESTINATION:
      if (line->dwDestination >= device.destinations.size()) return MIXERR_INVALLINE;
      line->cConnections = static_cast<DWORD>(device.destinations[line->dwDestination].size());
      return MMSYSERR_NOERROR;
    case MIXER_GETLINEINFOF_SOURCE: {
      const FakeLine& source = device.destinations[line->dwDestination][line->dwSource];
      line->dwLineID = line->dwDestination * 100 + line->dwSource;
      line->fdwLine = source.flags;
      return MMSYSERR_NOERROR;
    }
    case MIXER_GETLINEINFOF_LINEID: {
      const FakeLine& source = device.destinations[line->dwLineID / 100][line->dwLineID % 100];
      std::strcpy(line->szName, source.name.c_str());
      line->dwComponentType = source.componentType;
      line->cControls = static_cast<DWORD>(source.controls.size());
      return MMSYSERR_NOERROR;
    }
    default:
      return MMSYSERR_INVALFLAG;
  }
}
MMRESULT WINAPI FakeGetLineControls(HMIXEROBJ object, LPMIXERLINECONTROLSA query, DWORD flags) {
  const FakeDevice& device = fake.devices[DeviceOf(object)];
  if ((flags & MIXER_GETLINECONTROLSF_QUERYMASK) == MIXER_GETLINECONTROLSF_ONEBYTYPE) {
    for (const MIXERCONTROLA& c : device.speaker) {
      if (c.dwControlType == query->dwControlType) {
        *query->pamxctrl = c;
        return MMSYSERR_NOERROR;
      }
    }
    return MIXERR_INVALCONTROL;
  }
  const FakeLine& line = device.destinations[query->dwLineID / 100][query->dwLineID % 100];
  for (size_t i = 0; i < line.controls.size(); ++i) query->pamxctrl[i] = line.controls[i];
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeGetDetails(HMIXEROBJ, LPMIXERCONTROLDETAILS details, DWORD) {
  static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue =
      fake.values[details->dwControlID];
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeSetDetails(HMIXEROBJ, LPMIXERCONTROLDETAILS details, DWORD) {
  fake.values[details->dwControlID] =
      static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue;
  return MMSYSERR_NOERROR;
}

const MixerFunctions kFakeMixer = {&FakeGetNumDevs, &FakeOpen,        &FakeClose,
                                   &FakeGetDevCaps, &FakeGetLineInfo, &FakeGetLineControls,
                                   &FakeGetDetails, &FakeSetDetails};

class FakeMixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake = FakeMixerState();
    FakeDevice first{
        "First", true, {Control(1, kVolumeControlType), Control(2, kMuteControlType)}, {}};
    first.destinations = {{
        {"CD",
         0x1005,
         MIXERLINE_LINEF_SOURCE,
         {Control(3, kVolumeControlType), Control(4, 0x50030002), Control(5, kMuteControlType)}},
        {"Unconnected", 0x1003, 0, {Control(6, kVolumeControlType)}},
        {"Silent", 0x1003, MIXERLINE_LINEF_SOURCE, {}},
    }};
    FakeDevice second{"Second", true, {}, {}};  // no speaker line
    second.destinations = {{},
                           {{"Wave",
                             0x1008,
                             MIXERLINE_LINEF_SOURCE,
                             {Control(7, kMuteControlType), Control(8, kVolumeControlType)}}}};
    FakeDevice broken{"Broken", false, {Control(9, kVolumeControlType)}, {}};
    fake.devices = {first, second, broken};
  }
};

TEST_F(FakeMixerTest, RecordOrderAcrossDevices) {
  VolumeMixer mixer(kFakeMixer, NoAudioEndpoints());
  ASSERT_EQ(mixer.Initialize(kAnyMixerDevice, 0x100A), 6);
  std::vector<std::pair<int32_t, DWORD>> order;
  for (const auto& r : mixer.Records()) order.emplace_back(r.deviceIndex, r.control.dwControlID);
  const std::vector<std::pair<int32_t, DWORD>> expected = {{0, 1}, {0, 2}, {0, 3},
                                                           {0, 5}, {1, 7}, {1, 8}};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(mixer.Records().back().lineName, "Wave");
  EXPECT_EQ(mixer.Records().back().deviceName, "Second");
  EXPECT_EQ(fake.opened, fake.closed) << "every device closed again";
}

TEST_F(FakeMixerTest, SelectorsAndClampingAcrossDevices) {
  VolumeMixer mixer(kFakeMixer, NoAudioEndpoints());
  mixer.Initialize(1, 0x1008);
  fake.values = {{1, 50}, {3, 50}, {8, 50}};
  mixer.ChangeVolume(70, kAnyMixerDevice, kAnyLineType);
  EXPECT_EQ(fake.values[1], 100u);
  EXPECT_EQ(fake.values[3], 100u);
  EXPECT_EQ(fake.values[8], 100u);
  mixer.ChangeVolume(-30, 0, kAnyLineType);
  EXPECT_EQ(fake.values[1], 70u);
  EXPECT_EQ(fake.values[8], 100u) << "device selector 0 leaves device 1 alone";
  mixer.ChangeVolume(-30, kDefaultMixerDevice, kDefaultLineType);
  EXPECT_EQ(fake.values[8], 70u) << "-2 and -1 mean the defaults";
  EXPECT_EQ(fake.values[3], 70u);
  mixer.ChangeVolume(-500, kAnyMixerDevice, 0x1005);
  EXPECT_EQ(fake.values[3], 0u);
  EXPECT_EQ(fake.values[1], 70u);
  fake.values[5] = 1;
  mixer.SetMute(-1, kAnyMixerDevice, kAnyLineType);
  EXPECT_EQ(fake.values[2], 1u);
  EXPECT_EQ(fake.values[5], 0u);
  EXPECT_EQ(fake.values[7], 1u);
  EXPECT_EQ(fake.opened, fake.closed);
}

TEST_F(FakeMixerTest, RestoreWritesOnlySavedValues) {
  VolumeMixer mixer(kFakeMixer, NoAudioEndpoints());
  mixer.Initialize(kAnyMixerDevice, 0x100A);
  fake.values = {{1, 40}, {2, 0}, {3, 60}, {5, 0}, {7, 0}, {8, 90}};
  mixer.SaveLevels();
  mixer.SetMute(1, kAnyMixerDevice, kAnyLineType);
  mixer.ChangeVolume(-100, kAnyMixerDevice, kAnyLineType);
  mixer.RestoreLevels();
  const std::map<DWORD, uint32_t> expected = {{1, 40}, {2, 0}, {3, 60}, {5, 0}, {7, 0}, {8, 90}};
  EXPECT_EQ(fake.values, expected);
  EXPECT_EQ(fake.opened, fake.closed);
}

// Endpoints as the test sets them between presses; at first the default "first" is the only
// one, and no mixer device stands for an endpoint.
class FakeEndpoints : public AudioEndpoints {
 public:
  std::map<std::wstring, EndpointLevel> levels;
  std::map<int32_t, std::wstring> ofMixerDevice;
  std::wstring defaultRender = L"first";
  std::vector<std::wstring> active = {L"first"};

  std::unique_ptr<EndpointSession> Open() override { return std::make_unique<Session>(*this); }

 private:
  struct Session : EndpointSession {
    explicit Session(FakeEndpoints& owner) : owner(owner) {}
    std::wstring IdOf(int32_t device) override { return owner.ofMixerDevice[device]; }
    std::wstring DefaultRender() override { return owner.defaultRender; }
    std::vector<std::wstring> Active() override { return owner.active; }
    bool Read(const std::wstring& id, EndpointLevel& level) override {
      auto found = owner.levels.find(id);
      if (found == owner.levels.end()) return false;
      level = found->second;
      return true;
    }
    bool WriteLevel(const std::wstring& id, float level) override {
      owner.levels[id].level = level;
      return true;
    }
    bool WriteMute(const std::wstring& id, bool muted) override {
      owner.levels[id].muted = muted;
      return true;
    }
    FakeEndpoints& owner;
  };
};

TEST_F(FakeMixerTest, EndpointsTakeOverFromTheMixerOnceEach) {
  FakeEndpoints endpoints;
  endpoints.levels[L"first"] = {0.5f, false};
  VolumeMixer mixer(kFakeMixer, endpoints);
  mixer.Initialize(kAnyMixerDevice, 0x100A);
  const int opened = fake.opened;
  fake.values = {{1, 50}, {8, 50}};
  mixer.ChangeVolume(10, kAnyMixerDevice, kAnyLineType);  // two volume records of device 0
  EXPECT_EQ(endpoints.levels[L"first"].level, 0.6f) << "a tenth of 0..100, once";
  mixer.SetMute(-1, kAnyMixerDevice, kAnyLineType);  // two mute records too
  EXPECT_TRUE(endpoints.levels[L"first"].muted) << "toggled once";
  mixer.SaveLevels();
  mixer.SetMute(0, kAnyMixerDevice, kAnyLineType);
  mixer.ChangeVolume(-100, kAnyMixerDevice, kAnyLineType);
  mixer.RestoreLevels();
  EXPECT_EQ(endpoints.levels[L"first"].level, 0.6f);
  EXPECT_TRUE(endpoints.levels[L"first"].muted);
  EXPECT_EQ(endpoints.levels.size(), 1u);
  EXPECT_EQ(fake.opened, opened) << "device 1, without an endpoint, is left alone";
  EXPECT_EQ(fake.values, (std::map<DWORD, uint32_t>{{1, 50}, {8, 50}}));
}

// Windows numbers its mixer devices anew when devices come and go.
TEST_F(FakeMixerTest, AnIndexNamesTheEndpointItsMixerDeviceStandsForAtThePress) {
  FakeEndpoints endpoints;
  endpoints.levels = {{L"headset", {0.5f, false}}, {L"microphone", {0.5f, false}}};
  VolumeMixer mixer(kFakeMixer, endpoints);
  mixer.Initialize(kAnyMixerDevice, 0x100A);
  endpoints.ofMixerDevice[1] = L"headset";
  EXPECT_EQ(mixer.ChangeVolume(10, 1, kAnyLineType), AudioOutcome::kDone);
  endpoints.ofMixerDevice[1] = L"microphone";
  EXPECT_EQ(mixer.ChangeVolume(10, 1, kAnyLineType), AudioOutcome::kDone);
  EXPECT_EQ(endpoints.levels[L"headset"].level, 0.6f);
  EXPECT_EQ(endpoints.levels[L"microphone"].level, 0.6f);
  endpoints.ofMixerDevice.erase(1);
  EXPECT_EQ(mixer.SetMute(-1, 1, kAnyLineType), AudioOutcome::kNoDevice) << "said, not silent";
}

// Wine's own Core Audio: each mixer device has an endpoint, and the keys go there rather than
// to this process's mixer. (Wine's endpoint volume refuses scalar levels and keeps a mute only
// inside each of its objects, so no more than that can be seen here.)
TEST(VolumeMixerWine, WinesEndpointsStandForItsMixerDevices) {
  ComApartment com;
  std::unique_ptr<EndpointSession> endpoints = SystemAudioEndpoints().Open();
  ASSERT_NE(endpoints, nullptr) << "Wine has the device enumerator";
  std::set<std::wstring> ids;
  for (int32_t device = 0; device < static_cast<int32_t>(mixerGetNumDevs()); ++device) {
    const std::wstring id = endpoints->IdOf(device);
    EndpointLevel level;
    EXPECT_TRUE(!id.empty() && endpoints->Read(id, level)) << "device " << device;
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), static_cast<size_t>(mixerGetNumDevs())) << "one endpoint each";
  VolumeMixer mixer;
  ASSERT_GE(mixer.Initialize(kAnyMixerDevice, 0x100A), 2);
  const MixerControlRecord volume = mixer.Records().front();
  const uint32_t before = ReadControl(0, volume.control);
  const DWORD start = GetTickCount();
  mixer.ChangeVolume(-0x1000, kAnyMixerDevice, kAnyLineType);
  mixer.SetMute(-1, kAnyMixerDevice, kAnyLineType);
  mixer.SaveLevels();
  mixer.SetMute(1, kAnyMixerDevice, kAnyLineType);
  mixer.RestoreLevels();
  EXPECT_LT(GetTickCount() - start, 3000u);
  EXPECT_EQ(ReadControl(0, volume.control), before) << "this process's own mixer is left alone";
}

UINT WINAPI NoDevices() { return 0; }

TEST(NoMixer, NothingIsListedAndNothingHappens) {
  static const MixerFunctions none = {&NoDevices,      &FakeOpen,        &FakeClose,
                                      &FakeGetDevCaps, &FakeGetLineInfo, &FakeGetLineControls,
                                      &FakeGetDetails, &FakeSetDetails};
  fake = FakeMixerState();
  VolumeMixer mixer(none, NoAudioEndpoints());
  EXPECT_EQ(mixer.Initialize(kAnyMixerDevice, 0x100A), 0);
  mixer.ChangeVolume(10, kAnyMixerDevice, kAnyLineType);
  mixer.SetMute(-1, kAnyMixerDevice, kAnyLineType);
  mixer.SaveLevels();
  mixer.RestoreLevels();
  EXPECT_EQ(fake.opened, 0);
  EXPECT_TRUE(fake.values.empty());
}

}  // namespace
