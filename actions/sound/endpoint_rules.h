// Mixer steps as levels of an audio endpoint, and which endpoints a key acts on, without the
// endpoints themselves. A record's bounds map linearly onto the endpoint's scalar level:
// minimum 0.0, maximum 1.0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The level `step` mixer units away from `level`, clamped as the mixer clamps: at or above 1.0
// gives exactly 1.0, then at or below 0.0 gives exactly 0.0. A level outside [0, 1] (or not a
// number) counts as the nearest end (0.0). False when the bounds hold no range (minimum at or
// above maximum): such a record leaves its endpoint alone.
bool SteppedLevel(float level, int32_t step, int32_t minimum, int32_t maximum, float& result);

// The mute state after SetMute(value): -1 the opposite of `muted`, 0 sound on, others muted.
bool MutedAfter(int32_t value, bool muted);

// An endpoint id's size in bytes, terminator included, as the wave driver reports it: refused
// when odd, empty or longer than any id the system makes.
constexpr uint32_t kMaxEndpointIdBytes = 1024;
bool EndpointIdSizeAcceptable(uint32_t bytes);

// The endpoints a key of this mixer device acts on at the press, each once: for every device
// (-1) the default render endpoint and then every other active one; for device 0 the default
// render endpoint (the mixer lists the default first, and a device that came later has no
// mixer device under Wine); for another device the endpoint its mixer device stands for now
// (`ofMixerDevice`, empty when there is none). An empty id is never a target.
std::vector<std::wstring> EndpointTargets(int32_t device, const std::wstring& defaultRender,
                                          const std::vector<std::wstring>& active,
                                          const std::wstring& ofMixerDevice);

// What became of a sound key.
enum class AudioOutcome {
  kDone,
  kNoDevice,        // no endpoint the key names is there now
  kNoProgramSound,  // the program in front has no audio session
  kNoAnswer,        // the audio service did not answer in time
};

// The Shift-JIS note the icon's tip shows for a moment; null for kDone.
const char* AudioOutcomeNote(AudioOutcome outcome);
