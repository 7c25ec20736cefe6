// The machine's mixer volume and mute controls, listed at first use and changed on demand.
// Every operation opens the devices it needs and closes them before returning. Where the system
// has audio endpoints (Vista on), a key acts on endpoints instead of the mixer, looked at afresh
// at every press.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <utility>

#include "actions/sound/audio_endpoints.h"
#include "actions/sound/audio_worker.h"
#include "actions/sound/endpoint_rules.h"
#include "actions/sound/mixer_rules.h"

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

// How long a key waits for the audio service before it is given up.
constexpr DWORD kAudioAnswerMs = 2000;

class VolumeMixer {
 public:
  explicit VolumeMixer(const MixerFunctions& mixer = WinmmMixerFunctions(),
                       AudioEndpoints& endpoints = SystemAudioEndpoints(),
                       DWORD answerMs = kAudioAnswerMs);
  virtual ~VolumeMixer() = default;
  VolumeMixer(const VolumeMixer&) = delete;
  VolumeMixer& operator=(const VolumeMixer&) = delete;

  // The process's one mixer view.
  static VolumeMixer& Instance();

  // Every operation below runs on the audio worker and waits for it a bounded time
  // (kNoAnswer when it did not answer; nothing is listed or changed then).

  // Lists the controls; returns the number of records.
  int Initialize(int32_t defaultDevice, uint32_t defaultLineType);
  // Initialize, put off until the records are first wanted (the edit dialog, a volume or boss
  // key): start-up does not wait for the sound driver before the icon shows.
  void InitializeAtFirstUse(int32_t defaultDevice, uint32_t defaultLineType);
  // With endpoints, a key acts on the endpoints of EndpointTargets as they are at the press.
  AudioOutcome ChangeVolume(int32_t step, int32_t device, uint32_t lineType);
  // 0 sound on, 1 muted, -1 toggle.
  AudioOutcome SetMute(int32_t value, int32_t device, uint32_t lineType);
  // Every active endpoint at the press; RestoreLevels gives each of those that are still there
  // its own level and mute back and leaves those that came since alone.
  AudioOutcome SaveLevels();
  AudioOutcome RestoreLevels();
  // The audio sessions, on every active render endpoint, of the program in front: the process
  // given and those descended from it. kNoProgramSound when it has none.
  AudioOutcome ChangeProgramVolume(uint32_t frontProcess, int32_t step);
  // Mutes them all, or gives them all their sound back when all are muted.
  AudioOutcome ToggleProgramMute(uint32_t frontProcess);
  // The records as listed (listed first when due); empty when the service did not answer.
  std::list<MixerControlRecord> Records();
  // The records listed anew, for the devices there now.
  std::list<MixerControlRecord> Relisted();

 private:
  // Runs `work` on the worker; its result, or `ifNoAnswer`.
  template <typename Result, typename Work>
  Result Ask(Result ifNoAnswer, Work work);
  // On the worker.
  int List();
  void InitializeIfDue();
  bool initializeDue_ = false;
  void ListDeviceControls(int32_t device, HMIXER mixer, const MIXERCAPSA& caps);
  void AppendSpeakerControl(int32_t device, HMIXER mixer, const MIXERCAPSA& caps,
                            const MIXERLINEA& line, uint32_t controlType);
  template <typename MixerOperation>
  AudioOutcome ForEachMatchingControl(uint32_t controlType, const MixerSelector& selector,
                                      MixerOperation onMixer);
  template <typename EndpointOperation>
  AudioOutcome ForEachTarget(EndpointSession& endpoints, int32_t device,
                             EndpointOperation onEndpoint);
  // Hands the program's sessions to `change`, which says whether it changed any.
  template <typename Change>
  AudioOutcome ChangeProgramSessions(uint32_t frontProcess, Change change);
  AudioOutcome ChangeVolumeNow(int32_t step, int32_t device, uint32_t lineType);
  AudioOutcome SetMuteNow(int32_t value, int32_t device, uint32_t lineType);
  AudioOutcome SaveLevelsNow();
  AudioOutcome RestoreLevelsNow();
  // The bounds that give a step its share of an endpoint's range: those of the first volume
  // record the selector names, or the mixer's 0..0xFFFF of an endpoint when none does.
  std::pair<int32_t, int32_t> StepBounds(const MixerSelector& selector) const;
  bool ReadValue(HMIXER mixer, const MixerControlRecord& record, uint32_t& value) const;
  void WriteValue(HMIXER mixer, const MixerControlRecord& record, uint32_t value) const;

  MixerFunctions mixer_;
  AudioEndpoints& endpoints_;
  std::map<std::wstring, EndpointLevel> savedEndpoints_;
  std::list<MixerControlRecord> records_;
  int32_t deviceCount_ = 0;
  int32_t defaultDevice_ = -1;
  uint32_t defaultLineType_ = 0x100B;
  // Last: it ends its thread before the state that thread works on goes.
  AudioWorker worker_;
};
