// Selector matching and value arithmetic of the volume controls, without the mixer itself.
#pragma once

#include <cstdint>

constexpr int32_t kAnyMixerDevice = -1;
constexpr int32_t kDefaultMixerDevice = -2;
constexpr uint32_t kAnyLineType = 0x100B;  // one above the last source component type
constexpr uint32_t kDefaultLineType = 0xFFFFFFFF;
constexpr uint32_t kVolumeControlType = 0x50030001;
constexpr uint32_t kMuteControlType = 0x20010002;

struct MixerSelector {
  int32_t device;
  uint32_t lineType;
};

// -2 and -1 (line type) stand for the defaults given to Initialize.
MixerSelector ResolveSelector(int32_t device, uint32_t lineType, int32_t defaultDevice,
                              uint32_t defaultLineType);

bool RecordMatches(int32_t recordDevice, uint32_t recordLineType, uint32_t recordControlType,
                   uint32_t soughtControlType, const MixerSelector& selector);

// current + step in signed 32-bit arithmetic (wrapping), then clamped: at or above the maximum
// gives the maximum, then at or below the minimum gives the minimum.
int32_t SteppedVolume(int32_t current, int32_t step, int32_t minimum, int32_t maximum);

// Bit 0 inverted.
uint32_t ToggledMute(uint32_t current);
