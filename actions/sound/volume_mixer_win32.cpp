#include "actions/sound/volume_mixer.h"

#include <memory>
#include <set>
#include <vector>

#include "actions/sound/endpoint_rules.h"
#include "actions/sound/front_program.h"
#include "actions/sound/front_program_rules.h"
#include "actions/sound/mixer_rules.h"

#ifndef _WIN64
static_assert(sizeof(MIXERCAPSA) == 48);
static_assert(sizeof(MIXERLINEA) == 168);
static_assert(sizeof(MIXERLINECONTROLSA) == 24);
static_assert(sizeof(MIXERCONTROLA) == 148);
static_assert(sizeof(MIXERCONTROLDETAILS) == 24);
#endif
static_assert(kVolumeControlType == MIXERCONTROL_CONTROLTYPE_VOLUME);
static_assert(kMuteControlType == MIXERCONTROL_CONTROLTYPE_MUTE);
static_assert(kAnyLineType == MIXERLINE_COMPONENTTYPE_SRC_LAST + 1);

namespace {

VolumeMixer theVolumeMixer;

// Handles of the devices an operation opened, closed when the operation ends.
class OpenDevices {
 public:
  OpenDevices(const MixerFunctions& mixer, int32_t count)
      : mixer_(mixer), handles_(count > 0 ? count : 0, nullptr), tried_(handles_.size(), false) {}
  ~OpenDevices() {
    for (HMIXER handle : handles_) {
      if (handle) mixer_.close(handle);
    }
  }
  OpenDevices(const OpenDevices&) = delete;
  OpenDevices& operator=(const OpenDevices&) = delete;

  // Opens the device on first use; null when it cannot be opened.
  HMIXER Get(int32_t device) {
    if (device < 0 || static_cast<size_t>(device) >= handles_.size()) return nullptr;
    if (!tried_[device]) {
      tried_[device] = true;
      HMIXER handle = nullptr;
      if (mixer_.open(&handle, static_cast<UINT>(device), 0, 0, 0) == MMSYSERR_NOERROR) {
        handles_[device] = handle;
      }
    }
    return handles_[device];
  }

 private:
  const MixerFunctions& mixer_;
  std::vector<HMIXER> handles_;
  std::vector<bool> tried_;
};

HMIXEROBJ Object(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

using SessionList = std::vector<std::unique_ptr<SessionVolume>>;

}  // namespace

const MixerFunctions& WinmmMixerFunctions() {
  static const MixerFunctions functions = {&mixerGetNumDevs,
                                           &mixerOpen,
                                           &mixerClose,
                                           &mixerGetDevCapsA,
                                           &mixerGetLineInfoA,
                                           &mixerGetLineControlsA,
                                           &mixerGetControlDetailsA,
                                           &mixerSetControlDetails};
  return functions;
}

VolumeMixer::VolumeMixer(const MixerFunctions& mixer, AudioEndpoints& endpoints, DWORD answerMs)
    : mixer_(mixer), endpoints_(endpoints), worker_(answerMs) {}

VolumeMixer& VolumeMixer::Instance() { return theVolumeMixer; }

void VolumeMixer::InitializeAtFirstUse(int32_t defaultDevice, uint32_t defaultLineType) {
  defaultDevice_ = defaultDevice;
  defaultLineType_ = defaultLineType;
  initializeDue_ = true;
}

template <typename Result, typename Work>
Result VolumeMixer::Ask(Result ifNoAnswer, Work work) {
  // Shared with the job, which may outlive this wait.
  auto result = std::make_shared<Result>(ifNoAnswer);
  if (!worker_.Run([result, work]() mutable { *result = work(); })) return ifNoAnswer;
  return *result;
}

void VolumeMixer::InitializeIfDue() {
  if (initializeDue_) List();
}

int VolumeMixer::Initialize(int32_t defaultDevice, uint32_t defaultLineType) {
  return Ask(0, [this, defaultDevice, defaultLineType] {
    defaultDevice_ = defaultDevice;
    defaultLineType_ = defaultLineType;
    return List();
  });
}

std::list<MixerControlRecord> VolumeMixer::Records() {
  return Ask(std::list<MixerControlRecord>(), [this] {
    InitializeIfDue();
    return records_;
  });
}

std::list<MixerControlRecord> VolumeMixer::Relisted() {
  return Ask(std::list<MixerControlRecord>(), [this] {
    List();
    return records_;
  });
}

int VolumeMixer::List() {
  initializeDue_ = false;
  std::list<MixerControlRecord> before;
  before.swap(records_);
  deviceCount_ = static_cast<int32_t>(mixer_.getNumDevs());
  for (int32_t device = 0; device < deviceCount_; ++device) {
    HMIXER mixer = nullptr;
    if (mixer_.open(&mixer, static_cast<UINT>(device), 0, 0, 0) != MMSYSERR_NOERROR) continue;
    MIXERCAPSA caps{};
    if (mixer_.getDevCaps(static_cast<UINT_PTR>(device), &caps, sizeof caps) == MMSYSERR_NOERROR) {
      ListDeviceControls(device, mixer, caps);
    }
    mixer_.close(mixer);
  }
  // Levels the boss key holds stay with their controls.
  for (MixerControlRecord& record : records_) {
    for (const MixerControlRecord& old : before) {
      if (old.saved && old.deviceIndex == record.deviceIndex &&
          old.control.dwControlID == record.control.dwControlID) {
        record.savedValue = old.savedValue;
        record.saved = true;
      }
    }
  }
  return static_cast<int>(records_.size());
}

void VolumeMixer::AppendSpeakerControl(int32_t device, HMIXER mixer, const MIXERCAPSA& caps,
                                       const MIXERLINEA& line, uint32_t controlType) {
  MIXERCONTROLA control{};
  control.cbStruct = sizeof control;
  MIXERLINECONTROLSA query{};
  query.cbStruct = sizeof query;
  query.dwLineID = line.dwLineID;
  query.dwControlType = controlType;
  query.cControls = 1;
  query.cbmxctrl = sizeof control;
  query.pamxctrl = &control;
  if (mixer_.getLineControls(Object(mixer), &query,
                             MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
      MMSYSERR_NOERROR) {
    return;
  }
  records_.push_back({device, caps.szPname, line.szName, line.dwComponentType, control, 0, false});
}

void VolumeMixer::ListDeviceControls(int32_t device, HMIXER mixer, const MIXERCAPSA& caps) {
  MIXERLINEA speakers{};
  speakers.cbStruct = sizeof speakers;
  speakers.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  if (mixer_.getLineInfo(Object(mixer), &speakers,
                         MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) ==
      MMSYSERR_NOERROR) {
    AppendSpeakerControl(device, mixer, caps, speakers, kVolumeControlType);
    AppendSpeakerControl(device, mixer, caps, speakers, kMuteControlType);
  }
  for (DWORD destination = 0; destination < caps.cDestinations; ++destination) {
    MIXERLINEA target{};
    target.cbStruct = sizeof target;
    target.dwDestination = destination;
    if (mixer_.getLineInfo(Object(mixer), &target, MIXER_GETLINEINFOF_DESTINATION) !=
        MMSYSERR_NOERROR) {
      continue;
    }
    for (DWORD source = 0; source < target.cConnections; ++source) {
      MIXERLINEA line{};
      line.cbStruct = sizeof line;
      line.dwDestination = destination;
      line.dwSource = source;
      if (mixer_.getLineInfo(Object(mixer), &line, MIXER_GETLINEINFOF_SOURCE) != MMSYSERR_NOERROR ||
          !(line.fdwLine & MIXERLINE_LINEF_SOURCE)) {
        continue;
      }
      MIXERLINEA byId{};
      byId.cbStruct = sizeof byId;
      byId.dwLineID = line.dwLineID;
      if (mixer_.getLineInfo(Object(mixer), &byId, MIXER_GETLINEINFOF_LINEID) != MMSYSERR_NOERROR ||
          byId.cControls == 0) {
        continue;
      }
      std::vector<MIXERCONTROLA> controls(byId.cControls);
      MIXERLINECONTROLSA query{};
      query.cbStruct = sizeof query;
      query.dwLineID = byId.dwLineID;
      query.cControls = byId.cControls;
      query.cbmxctrl = sizeof(MIXERCONTROLA);
      query.pamxctrl = controls.data();
      if (mixer_.getLineControls(Object(mixer), &query, MIXER_GETLINECONTROLSF_ALL) !=
          MMSYSERR_NOERROR) {
        continue;
      }
      for (const MIXERCONTROLA& control : controls) {
        if (control.dwControlType == kVolumeControlType ||
            control.dwControlType == kMuteControlType) {
          records_.push_back(
              {device, caps.szPname, byId.szName, byId.dwComponentType, control, 0, false});
        }
      }
    }
  }
}

namespace {

// One value for all channels, in a 4-byte detail buffer.
MIXERCONTROLDETAILS DetailsOf(const MixerControlRecord& record,
                              MIXERCONTROLDETAILS_UNSIGNED& detail) {
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = record.control.dwControlID;
  details.cChannels = 1;
  details.cMultipleItems = record.control.cMultipleItems;
  details.cbDetails = sizeof detail;
  details.paDetails = &detail;
  return details;
}

}  // namespace

bool VolumeMixer::ReadValue(HMIXER mixer, const MixerControlRecord& record, uint32_t& value) const {
  MIXERCONTROLDETAILS_UNSIGNED detail{};
  MIXERCONTROLDETAILS details = DetailsOf(record, detail);
  if (mixer_.getControlDetails(Object(mixer), &details, MIXER_GETCONTROLDETAILSF_VALUE) !=
      MMSYSERR_NOERROR) {
    return false;
  }
  value = detail.dwValue;
  return true;
}

void VolumeMixer::WriteValue(HMIXER mixer, const MixerControlRecord& record, uint32_t value) const {
  if (AudioJobAbandoned()) return;
  MIXERCONTROLDETAILS_UNSIGNED detail{value};
  MIXERCONTROLDETAILS details = DetailsOf(record, detail);
  mixer_.setControlDetails(Object(mixer), &details, MIXER_SETCONTROLDETAILSF_VALUE);
}

template <typename MixerOperation>
AudioOutcome VolumeMixer::ForEachMatchingControl(uint32_t controlType,
                                                 const MixerSelector& selector,
                                                 MixerOperation onMixer) {
  OpenDevices devices(mixer_, deviceCount_);
  AudioOutcome outcome = AudioOutcome::kNoDevice;
  for (MixerControlRecord& record : records_) {
    if (!RecordMatches(record.deviceIndex, record.lineType, record.control.dwControlType,
                       controlType, selector)) {
      continue;
    }
    if (HMIXER mixer = devices.Get(record.deviceIndex)) {
      onMixer(mixer, record);
      outcome = AudioOutcome::kDone;
    }
  }
  return outcome;
}

template <typename EndpointOperation>
AudioOutcome VolumeMixer::ForEachTarget(EndpointSession& endpoints, int32_t device,
                                        EndpointOperation onEndpoint) {
  const std::vector<std::wstring> targets =
      EndpointTargets(device, device <= 0 ? endpoints.DefaultRender() : std::wstring(),
                      device == kAnyMixerDevice ? endpoints.Active() : std::vector<std::wstring>(),
                      device > 0 ? endpoints.IdOf(device) : std::wstring());
  AudioOutcome outcome = AudioOutcome::kNoDevice;
  for (const std::wstring& id : targets) {
    if (onEndpoint(id)) outcome = AudioOutcome::kDone;
  }
  return outcome;
}

std::pair<int32_t, int32_t> VolumeMixer::StepBounds(const MixerSelector& selector) const {
  for (const MixerControlRecord& record : records_) {
    if (RecordMatches(record.deviceIndex, record.lineType, record.control.dwControlType,
                      kVolumeControlType, selector)) {
      return {record.control.Bounds.lMinimum, record.control.Bounds.lMaximum};
    }
  }
  return {0, 0xFFFF};
}

AudioOutcome VolumeMixer::ChangeVolume(int32_t step, int32_t device, uint32_t lineType) {
  return Ask(AudioOutcome::kNoAnswer,
             [this, step, device, lineType] { return ChangeVolumeNow(step, device, lineType); });
}

AudioOutcome VolumeMixer::SetMute(int32_t value, int32_t device, uint32_t lineType) {
  return Ask(AudioOutcome::kNoAnswer,
             [this, value, device, lineType] { return SetMuteNow(value, device, lineType); });
}

AudioOutcome VolumeMixer::SaveLevels() {
  return Ask(AudioOutcome::kNoAnswer, [this] { return SaveLevelsNow(); });
}

AudioOutcome VolumeMixer::RestoreLevels() {
  return Ask(AudioOutcome::kNoAnswer, [this] { return RestoreLevelsNow(); });
}

AudioOutcome VolumeMixer::ChangeProgramVolume(uint32_t frontProcess, int32_t step) {
  return Ask(AudioOutcome::kNoAnswer, [this, frontProcess, step] {
    return ChangeProgramSessions(frontProcess, [step](SessionList& sessions) {
      bool changed = false;
      for (auto& session : sessions) {
        EndpointLevel current;
        float level = 0.0f;
        if (session->Read(current) && SteppedLevel(current.level, step, 0, 0xFFFF, level) &&
            session->WriteLevel(level)) {
          changed = true;
        }
      }
      return changed;
    });
  });
}

AudioOutcome VolumeMixer::ToggleProgramMute(uint32_t frontProcess) {
  return Ask(AudioOutcome::kNoAnswer, [this, frontProcess] {
    return ChangeProgramSessions(frontProcess, [](SessionList& sessions) {
      std::vector<bool> muted;
      for (auto& session : sessions) {
        EndpointLevel current;
        if (session->Read(current)) muted.push_back(current.muted);
      }
      const bool mute = MutedAfterToggle(muted);
      bool changed = false;
      for (auto& session : sessions) changed = session->WriteMute(mute) || changed;
      return changed;
    });
  });
}

template <typename Change>
AudioOutcome VolumeMixer::ChangeProgramSessions(uint32_t frontProcess, Change change) {
  std::unique_ptr<EndpointSession> endpoints = endpoints_.Open();
  if (!endpoints) return AudioOutcome::kNoProgramSound;
  const std::set<uint32_t> processes = ProgramProcesses(frontProcess);
  SessionList sessions;
  for (auto& session : endpoints->RenderSessions()) {
    if (processes.count(session->ProcessId())) sessions.push_back(std::move(session));
  }
  return change(sessions) ? AudioOutcome::kDone : AudioOutcome::kNoProgramSound;
}

AudioOutcome VolumeMixer::ChangeVolumeNow(int32_t step, int32_t device, uint32_t lineType) {
  InitializeIfDue();
  const MixerSelector selector =
      ResolveSelector(device, lineType, defaultDevice_, defaultLineType_);
  if (std::unique_ptr<EndpointSession> endpoints = endpoints_.Open()) {
    const auto [minimum, maximum] = StepBounds(selector);
    return ForEachTarget(*endpoints, selector.device, [&](const std::wstring& id) {
      EndpointLevel current;
      float level = 0.0f;
      return endpoints->Read(id, current) &&
             SteppedLevel(current.level, step, minimum, maximum, level) &&
             endpoints->WriteLevel(id, level);
    });
  }
  return ForEachMatchingControl(
      kVolumeControlType, selector, [&](HMIXER mixer, MixerControlRecord& record) {
        uint32_t current = 0;
        if (!ReadValue(mixer, record, current)) return;
        const int32_t value =
            SteppedVolume(static_cast<int32_t>(current), step, record.control.Bounds.lMinimum,
                          record.control.Bounds.lMaximum);
        WriteValue(mixer, record, static_cast<uint32_t>(value));
      });
}

AudioOutcome VolumeMixer::SetMuteNow(int32_t value, int32_t device, uint32_t lineType) {
  InitializeIfDue();
  const MixerSelector selector =
      ResolveSelector(device, lineType, defaultDevice_, defaultLineType_);
  if (std::unique_ptr<EndpointSession> endpoints = endpoints_.Open()) {
    return ForEachTarget(*endpoints, selector.device, [&](const std::wstring& id) {
      EndpointLevel current;
      if (!endpoints->Read(id, current)) return false;
      return endpoints->WriteMute(id, MutedAfter(value, current.muted));
    });
  }
  return ForEachMatchingControl(kMuteControlType, selector,
                                [&](HMIXER mixer, MixerControlRecord& record) {
                                  uint32_t newValue = static_cast<uint32_t>(value);
                                  if (value == -1) {
                                    uint32_t current = 0;
                                    if (!ReadValue(mixer, record, current)) return;
                                    newValue = ToggledMute(current);
                                  }
                                  WriteValue(mixer, record, newValue);
                                });
}

AudioOutcome VolumeMixer::SaveLevelsNow() {
  InitializeIfDue();
  if (std::unique_ptr<EndpointSession> endpoints = endpoints_.Open()) {
    savedEndpoints_.clear();
    return ForEachTarget(*endpoints, kAnyMixerDevice, [&](const std::wstring& id) {
      EndpointLevel level;
      if (!endpoints->Read(id, level)) return false;
      savedEndpoints_[id] = level;
      return true;
    });
  }
  OpenDevices devices(mixer_, deviceCount_);
  for (MixerControlRecord& record : records_) {
    HMIXER mixer = devices.Get(record.deviceIndex);
    uint32_t value = 0;
    if (mixer && ReadValue(mixer, record, value)) {
      record.savedValue = value;
      record.saved = true;
    }
  }
  return AudioOutcome::kDone;
}

AudioOutcome VolumeMixer::RestoreLevelsNow() {
  InitializeIfDue();
  if (std::unique_ptr<EndpointSession> endpoints = endpoints_.Open()) {
    // The level first, so that sound that comes back comes back at its own level. One that is
    // gone is skipped; one that came since was never muted and is left alone.
    for (const auto& [id, saved] : savedEndpoints_) {
      if (endpoints->WriteLevel(id, saved.level)) endpoints->WriteMute(id, saved.muted);
    }
    return AudioOutcome::kDone;
  }
  OpenDevices devices(mixer_, deviceCount_);
  for (const MixerControlRecord& record : records_) {
    HMIXER mixer = devices.Get(record.deviceIndex);
    if (mixer && record.saved) WriteValue(mixer, record, record.savedValue);
  }
  return AudioOutcome::kDone;
}
