// The key-file reader must take any bytes without crashing, leaking or over-allocating,
// and whatever it reads must write back to bytes that read the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "hotkeys/key_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const KeyFileContents first = DecodeKeyFile(bytes);
  std::vector<const KeyRecord*> records;
  for (const KeyRecord& record : first.records) records.push_back(&record);
  const std::string written = EncodeKeyFile(records);
  const KeyFileContents second = DecodeKeyFile(written);
  if (!second.complete || second.records != first.records) std::abort();
  return 0;
}
