// The machine's mixer volume and mute controls, listed once at start-up and changed on demand.
// Every operation opens the devices it needs and closes them before returning. Where the system
// has audio endpoints (Vista on), a device's records act on its endpoint instead of the mixer.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "actions/audio_endpoints.h"

struct MixerControlRecord {
  int32_t deviceIndex = 0;
  std::string deviceName;
  std::string lineName;
  uint32_t lineType = 0;
  MIXERCONTROLA control{};
  uint32_t savedValue = 0;
  bool saved = false;  // RestoreLevels writes only values a SaveLevels read
};

// The winmm mixer functions VolumeMixer calls; tests hand it a fake mixer.
struct MixerFunctions {
  UINT(WINAPI* getNumDevs)();
  MMRESULT(WINAPI* open)(LPHMIXER, UINT, DWORD_PTR, DWORD_PTR, DWORD);
  MMRESULT(WINAPI* close)(HMIXER);
  MMRESULT(WINAPI* getDevCaps)(UINT_PTR, LPMIXERCAPSA, UINT);
  MMRESULT(WINAPI* getLineInfo)(HMIXEROBJ, LPMIXERLINEA, DWORD);
  MMRESULT(WINAPI* getLineControls)(HMIXEROBJ, LPMIXERLINECONTROLSA, DWORD);
  MMRESULT(WINAPI* getControlDetails)(HMIXEROBJ, LPMIXERCONTROLDETAILS, DWORD);
  MMRESULT(WINAPI* setControlDetails)(HMIXEROBJ, LPMIXERCONTROLDETAILS, DWORD);
};

const MixerFunctions& WinmmMixerFunctions();

class VolumeMixer {
 public:
  explicit VolumeMixer(const MixerFunctions& mixer = WinmmMixerFunctions(),
                       AudioEndpoints& endpoints = SystemAudioEndpoints());
  virtual ~VolumeMixer() = default;
  VolumeMixer(const VolumeMixer&) = delete;
  VolumeMixer& operator=(const VolumeMixer&) = delete;

  // The process's one mixer view.
  static VolumeMixer& Instance();

  // Lists the controls; returns the number of records.
  int Initialize(int32_t defaultDevice, uint32_t defaultLineType);
  // Initialize, put off until the records are first wanted (the edit dialog, a volume or boss
  // key): start-up does not wait for the sound driver before the icon shows.
  void InitializeAtFirstUse(int32_t defaultDevice, uint32_t defaultLineType);
  void ChangeVolume(int32_t step, int32_t device, uint32_t lineType);
  // 0 sound on, 1 muted, -1 toggle.
  void SetMute(int32_t value, int32_t device, uint32_t lineType);
  void SaveLevels();
  void RestoreLevels();
  const std::list<MixerControlRecord>& Records() {
    InitializeIfDue();
    return records_;
  }

 private:
  void InitializeIfDue();
  bool initializeDue_ = false;
  void ListDeviceControls(int32_t device, HMIXER mixer, const MIXERCAPSA& caps);
  void AppendSpeakerControl(int32_t device, HMIXER mixer, const MIXERCAPSA& caps,
                            const MIXERLINEA& line, uint32_t controlType);
  template <typename MixerOperation, typename EndpointOperation>
  void ForEachMatching(uint32_t controlType, int32_t device, uint32_t lineType,
                       MixerOperation onMixer, EndpointOperation onEndpoint);
  // The endpoint of a device, found once; null when it has none.
  const std::wstring* EndpointOf(EndpointSession& session, int32_t device);
  bool ReadValue(HMIXER mixer, const MixerControlRecord& record, uint32_t& value) const;
  void WriteValue(HMIXER mixer, const MixerControlRecord& record, uint32_t value) const;

  MixerFunctions mixer_;
  AudioEndpoints& endpoints_;
  std::vector<std::wstring> endpointIds_;  // by device; empty until found
  std::map<std::wstring, EndpointLevel> savedEndpoints_;
  std::list<MixerControlRecord> records_;
  int32_t deviceCount_ = 0;
  int32_t defaultDevice_ = -1;
  uint32_t defaultLineType_ = 0x100B;
};
