#include "actions/sound/audio_endpoints.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <audiopolicy.h>
#include <wrl/client.h>

#include <cwchar>
#include <map>

#include "actions/sound/audio_worker.h"
#include "actions/sound/endpoint_rules.h"

using Microsoft::WRL::ComPtr;

namespace {

MMRESULT WaveMessage(bool output, UINT wave, UINT message, DWORD_PTR first, DWORD_PTR second) {
  const UINT_PTR id = wave;
  return output ? waveOutMessage(reinterpret_cast<HWAVEOUT>(id), message, first, second)
                : waveInMessage(reinterpret_cast<HWAVEIN>(id), message, first, second);
}

std::wstring EndpointIdOfWave(bool output, UINT wave) {
  ULONG bytes = 0;
  if (WaveMessage(output, wave, DRV_QUERYFUNCTIONINSTANCEIDSIZE,
                  reinterpret_cast<DWORD_PTR>(&bytes), 0) != MMSYSERR_NOERROR ||
      !EndpointIdSizeAcceptable(bytes)) {
    return {};
  }
  std::wstring id(bytes / sizeof(wchar_t), L'\0');
  if (WaveMessage(output, wave, DRV_QUERYFUNCTIONINSTANCEID, reinterpret_cast<DWORD_PTR>(&id[0]),
                  bytes) != MMSYSERR_NOERROR) {
    return {};
  }
  id.resize(wcsnlen(id.c_str(), id.size()));
  return id;
}

// The endpoint comes from the wave device that shares the mixer's id.
std::wstring EndpointIdOfMixer(int32_t mixerDevice) {
  if (mixerDevice < 0) return {};
  for (bool output : {true, false}) {
    const UINT count = output ? waveOutGetNumDevs() : waveInGetNumDevs();
    for (UINT wave = 0; wave < count; ++wave) {
      UINT mixer = 0;
      if (mixerGetID(reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(wave)), &mixer,
                     output ? MIXER_OBJECTF_WAVEOUT : MIXER_OBJECTF_WAVEIN) != MMSYSERR_NOERROR ||
          mixer != static_cast<UINT>(mixerDevice)) {
        continue;
      }
      std::wstring id = EndpointIdOfWave(output, wave);
      if (!id.empty()) return id;
    }
  }
  return {};
}

std::wstring IdOfDevice(IMMDevice* device) {
  LPWSTR id = nullptr;
  std::wstring found;
  if (SUCCEEDED(device->GetId(&id)) && id) found = id;
  CoTaskMemFree(id);
  return found;
}

class CoreAudioProgramSession final : public SessionVolume {
 public:
  CoreAudioProgramSession(ComPtr<ISimpleAudioVolume> volume, DWORD processId)
      : volume_(std::move(volume)), processId_(processId) {}

  uint32_t ProcessId() override { return processId_; }
  bool Read(EndpointLevel& level) override {
    float scalar = 0.0f;
    BOOL muted = FALSE;
    if (FAILED(volume_->GetMasterVolume(&scalar)) || FAILED(volume_->GetMute(&muted))) {
      return false;
    }
    level = {scalar, muted != FALSE};
    return true;
  }
  bool WriteLevel(float level) override {
    return !AudioJobAbandoned() && SUCCEEDED(volume_->SetMasterVolume(level, nullptr));
  }
  bool WriteMute(bool muted) override {
    return !AudioJobAbandoned() && SUCCEEDED(volume_->SetMute(muted ? TRUE : FALSE, nullptr));
  }

 private:
  ComPtr<ISimpleAudioVolume> volume_;
  DWORD processId_;
};

// Every session of one endpoint that has not expired (a paused player's counts: its level can
// be set before it plays again).
void AppendSessions(IMMDevice* device, std::vector<std::unique_ptr<SessionVolume>>& sessions) {
  void* activated = nullptr;
  if (FAILED(device->Activate(__uuidof(IAudioSessionManager2), CLSCTX_INPROC_SERVER, nullptr,
                              &activated))) {
    return;
  }
  ComPtr<IAudioSessionManager2> manager;
  manager.Attach(static_cast<IAudioSessionManager2*>(activated));
  ComPtr<IAudioSessionEnumerator> listed;
  int count = 0;
  if (FAILED(manager->GetSessionEnumerator(&listed)) || !listed ||
      FAILED(listed->GetCount(&count))) {
    return;
  }
  for (int i = 0; i < count; ++i) {
    ComPtr<IAudioSessionControl> control;
    ComPtr<IAudioSessionControl2> control2;
    ComPtr<ISimpleAudioVolume> volume;
    AudioSessionState state = AudioSessionStateExpired;
    DWORD processId = 0;
    if (SUCCEEDED(listed->GetSession(i, &control)) && control &&
        SUCCEEDED(control->GetState(&state)) && state != AudioSessionStateExpired &&
        SUCCEEDED(control.As(&control2)) && SUCCEEDED(control2->GetProcessId(&processId)) &&
        SUCCEEDED(control.As(&volume))) {
      sessions.push_back(std::make_unique<CoreAudioProgramSession>(volume, processId));
    }
  }
}

class CoreAudioSession final : public EndpointSession {
 public:
  explicit CoreAudioSession(ComPtr<IMMDeviceEnumerator> enumerator)
      : enumerator_(std::move(enumerator)) {}

  std::wstring IdOf(int32_t mixerDevice) override { return EndpointIdOfMixer(mixerDevice); }

  std::wstring DefaultRender() override {
    ComPtr<IMMDevice> device;
    if (FAILED(enumerator_->GetDefaultAudioEndpoint(eRender, eConsole, &device)) || !device) {
      return {};
    }
    return IdOfDevice(device.Get());
  }

  std::vector<std::wstring> Active() override {
    std::vector<std::wstring> ids;
    ComPtr<IMMDeviceCollection> devices;
    UINT count = 0;
    if (FAILED(enumerator_->EnumAudioEndpoints(eAll, DEVICE_STATE_ACTIVE, &devices)) || !devices ||
        FAILED(devices->GetCount(&count))) {
      return ids;
    }
    for (UINT i = 0; i < count; ++i) {
      ComPtr<IMMDevice> device;
      if (SUCCEEDED(devices->Item(i, &device)) && device) ids.push_back(IdOfDevice(device.Get()));
    }
    return ids;
  }

  bool Read(const std::wstring& id, EndpointLevel& level) override {
    IAudioEndpointVolume* volume = Volume(id);
    float scalar = 0.0f;
    BOOL muted = FALSE;
    if (!volume || FAILED(volume->GetMasterVolumeLevelScalar(&scalar)) ||
        FAILED(volume->GetMute(&muted))) {
      return false;
    }
    level = {scalar, muted != FALSE};
    return true;
  }
  std::vector<std::unique_ptr<SessionVolume>> RenderSessions() override {
    std::vector<std::unique_ptr<SessionVolume>> sessions;
    ForEachActive(eRender, [&](IMMDevice* device) { AppendSessions(device, sessions); });
    return sessions;
  }

  bool WriteLevel(const std::wstring& id, float level) override {
    IAudioEndpointVolume* volume = AudioJobAbandoned() ? nullptr : Volume(id);
    return volume && SUCCEEDED(volume->SetMasterVolumeLevelScalar(level, nullptr));
  }
  bool WriteMute(const std::wstring& id, bool muted) override {
    IAudioEndpointVolume* volume = AudioJobAbandoned() ? nullptr : Volume(id);
    return volume && SUCCEEDED(volume->SetMute(muted ? TRUE : FALSE, nullptr));
  }

 private:
  template <typename Visit>
  void ForEachActive(EDataFlow flow, Visit visit) {
    ComPtr<IMMDeviceCollection> devices;
    UINT count = 0;
    if (FAILED(enumerator_->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, &devices)) || !devices ||
        FAILED(devices->GetCount(&count))) {
      return;
    }
    for (UINT i = 0; i < count; ++i) {
      ComPtr<IMMDevice> device;
      if (SUCCEEDED(devices->Item(i, &device)) && device) visit(device.Get());
    }
  }

  // Opened once per operation; null for an endpoint that is gone or unplugged.
  IAudioEndpointVolume* Volume(const std::wstring& id) {
    auto found = volumes_.find(id);
    if (found != volumes_.end()) return found->second.Get();
    ComPtr<IMMDevice> device;
    ComPtr<IAudioEndpointVolume> volume;
    DWORD state = 0;
    if (SUCCEEDED(enumerator_->GetDevice(id.c_str(), &device)) && device &&
        SUCCEEDED(device->GetState(&state)) && state == DEVICE_STATE_ACTIVE) {
      void* activated = nullptr;
      if (SUCCEEDED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                                     &activated))) {
        volume.Attach(static_cast<IAudioEndpointVolume*>(activated));
      }
    }
    return volumes_.emplace(id, std::move(volume)).first->second.Get();
  }

  ComPtr<IMMDeviceEnumerator> enumerator_;
  std::map<std::wstring, ComPtr<IAudioEndpointVolume>> volumes_;
};

class CoreAudio final : public AudioEndpoints {
 public:
  std::unique_ptr<EndpointSession> Open() override {
    ComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&enumerator))) ||
        !enumerator) {
      return nullptr;
    }
    return std::make_unique<CoreAudioSession>(std::move(enumerator));
  }
};

class NoEndpoints final : public AudioEndpoints {
 public:
  std::unique_ptr<EndpointSession> Open() override { return nullptr; }
};

}  // namespace

AudioEndpoints& SystemAudioEndpoints() {
  static CoreAudio system;
  return system;
}

AudioEndpoints& NoAudioEndpoints() {
  static NoEndpoints none;
  return none;
}
