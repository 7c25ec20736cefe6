#include "hotkeys/key_file.h"

#include <algorithm>

bool KeyRecord::operator==(const KeyRecord& o) const {
  return virtualKey == o.virtualKey && modifiers == o.modifiers && actionType == o.actionType &&
         textOption == o.textOption && target == o.target && message == o.message &&
         wParam == o.wParam && lParam == o.lParam && singleInstance == o.singleInstance &&
         param1 == o.param1 && param2 == o.param2 && mixerDevice == o.mixerDevice &&
         mixerLineType == o.mixerLineType && reserved == o.reserved;
}

// The file order puts singleInstance fifth, ahead of target.
void WriteKeyRecord(ArchiveWriter& out, const KeyRecord& r) {
  out.WriteU32(r.virtualKey);
  out.WriteU32(r.modifiers);
  out.WriteI32(r.actionType);
  out.WriteI32(r.textOption);
  out.WriteI32(r.singleInstance);
  out.WriteString(r.target);
  out.WriteU32(r.message);
  out.WriteU32(r.wParam);
  out.WriteU32(r.lParam);
  out.WriteI32(r.param1);
  out.WriteI32(r.param2);
  out.WriteI32(r.mixerDevice);
  out.WriteU32(r.mixerLineType);
  out.WriteString(r.reserved);
}

bool ReadKeyRecord(ArchiveReader& in, KeyRecord& r) {
  return in.ReadU32(r.virtualKey) && in.ReadU32(r.modifiers) && in.ReadI32(r.actionType) &&
         in.ReadI32(r.textOption) && in.ReadI32(r.singleInstance) && in.ReadString(r.target) &&
         in.ReadU32(r.message) && in.ReadU32(r.wParam) && in.ReadU32(r.lParam) &&
         in.ReadI32(r.param1) && in.ReadI32(r.param2) && in.ReadI32(r.mixerDevice) &&
         in.ReadU32(r.mixerLineType) && in.ReadString(r.reserved);
}

std::string EncodeKeyFile(const std::vector<const KeyRecord*>& records) {
  ArchiveWriter out;
  out.WriteI32(static_cast<int32_t>(records.size()));
  for (const KeyRecord* record : records) WriteKeyRecord(out, *record);
  return out.Bytes();
}

namespace {
constexpr size_t kSmallestRecordBytes = 50;  // twelve integers and two empty strings
}

KeyFileContents DecodeKeyFile(std::string_view bytes) {
  KeyFileContents contents;
  ArchiveReader in(bytes);
  int32_t count = 0;
  if (!in.ReadI32(count)) return contents;
  if (count <= 0) {
    contents.complete = true;
    return contents;
  }
  contents.records.reserve(
      std::min(static_cast<size_t>(count), in.Remaining() / kSmallestRecordBytes));
  for (int32_t i = 0; i < count; ++i) {
    KeyRecord record;
    if (!ReadKeyRecord(in, record)) return contents;
    contents.records.push_back(std::move(record));
  }
  contents.complete = true;
  return contents;
}
