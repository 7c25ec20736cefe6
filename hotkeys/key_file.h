// key.cfg: a signed 32-bit record count, then the records back to back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/archive.h"
#include "hotkeys/key_record.h"

void WriteKeyRecord(ArchiveWriter& out, const KeyRecord& record);
bool ReadKeyRecord(ArchiveReader& in, KeyRecord& record);

std::string EncodeKeyFile(const std::vector<const KeyRecord*>& records);

struct KeyFileContents {
  std::vector<KeyRecord> records;  // the complete records, in file order
  bool complete = false;           // false when the file ended before its count was reached
};

// Never allocates more than the bytes given can hold, whatever the count says.
KeyFileContents DecodeKeyFile(std::string_view bytes);
