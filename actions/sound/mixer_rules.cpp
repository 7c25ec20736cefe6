#include "actions/sound/mixer_rules.h"

MixerSelector ResolveSelector(int32_t device, uint32_t lineType, int32_t defaultDevice,
                              uint32_t defaultLineType) {
  return {device == kDefaultMixerDevice ? defaultDevice : device,
          lineType == kDefaultLineType ? defaultLineType : lineType};
}

bool RecordMatches(int32_t recordDevice, uint32_t recordLineType, uint32_t recordControlType,
                   uint32_t soughtControlType, const MixerSelector& selector) {
  return recordControlType == soughtControlType &&
         (selector.device == kAnyMixerDevice || selector.device == recordDevice) &&
         (selector.lineType == kAnyLineType || selector.lineType == recordLineType);
}

int32_t SteppedVolume(int32_t current, int32_t step, int32_t minimum, int32_t maximum) {
  int32_t value =
      static_cast<int32_t>(static_cast<uint32_t>(current) + static_cast<uint32_t>(step));
  if (value >= maximum) value = maximum;
  if (value <= minimum) value = minimum;
  return value;
}

uint32_t ToggledMute(uint32_t current) { return current ^ 1u; }
