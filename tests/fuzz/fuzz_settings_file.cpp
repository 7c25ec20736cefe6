// The settings reader takes any stored bytes; what it read writes back to bytes it reads the
// same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string stored(reinterpret_cast<const char*>(data), size);
  SettingsValues first;
  DecodeSettings(FromTextMode(stored), first);
  const std::string written = ToTextMode(EncodeSettings(first));
  SettingsValues second;
  if (!DecodeSettings(FromTextMode(written), second)) std::abort();
  if (EncodeSettings(second) != EncodeSettings(first)) std::abort();
  return 0;
}
