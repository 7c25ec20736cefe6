// Mixer steps as levels of an audio endpoint, without the endpoint itself. A record's bounds
// map linearly onto the endpoint's scalar level: minimum 0.0, maximum 1.0.
#pragma once

#include <cstdint>

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
