#include "actions/sound/endpoint_rules.h"

#include <algorithm>
#include <cmath>

bool SteppedLevel(float level, int32_t step, int32_t minimum, int32_t maximum, float& result) {
  if (minimum >= maximum) return false;
  double value = std::isnan(level) ? 0.0 : level;
  if (value > 1.0) value = 1.0;
  if (value < 0.0) value = 0.0;
  // Widened first: the range of INT32_MIN..INT32_MAX does not fit 32 bits.
  value +=
      static_cast<double>(step) / (static_cast<double>(maximum) - static_cast<double>(minimum));
  if (value >= 1.0) value = 1.0;
  if (value <= 0.0) value = 0.0;
  result = static_cast<float>(value);
  return true;
}

bool MutedAfter(int32_t value, bool muted) { return value == -1 ? !muted : value != 0; }

bool EndpointIdSizeAcceptable(uint32_t bytes) {
  return bytes >= 4 && bytes % 2 == 0 && bytes <= kMaxEndpointIdBytes;
}

std::vector<std::wstring> EndpointTargets(int32_t device, const std::wstring& defaultRender,
                                          const std::vector<std::wstring>& active,
                                          const std::wstring& ofMixerDevice) {
  std::vector<std::wstring> targets;
  auto add = [&](const std::wstring& id) {
    if (!id.empty() && std::find(targets.begin(), targets.end(), id) == targets.end()) {
      targets.push_back(id);
    }
  };
  if (device == -1) {
    add(defaultRender);
    for (const std::wstring& id : active) add(id);
  } else if (device == 0) {
    add(defaultRender);
  } else if (device > 0) {
    add(ofMixerDevice);
  }
  return targets;
}

const char* AudioOutcomeNote(AudioOutcome outcome) {
  switch (outcome) {
    case AudioOutcome::kNoDevice:
      return "音声デバイスがありません";
    case AudioOutcome::kNoProgramSound:
      return "前面アプリの音声がありません";
    case AudioOutcome::kNoAnswer:
      return "音声サービスが応答しません";
    default:
      return nullptr;
  }
}
