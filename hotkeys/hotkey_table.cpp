#include "hotkeys/hotkey_table.h"

#include <algorithm>
#include <vector>

#include "hotkeys/key_file.h"

namespace {
const char kDefaultKeyFile[] = "key.cfg";
}

HotKeyTable::~HotKeyTable() { Clear(); }

HotKeyEntry* HotKeyTable::Add(const HotKeyEntry* source) {
  auto* entry = new HotKeyEntry;
  if (source) {
    entry->CopyFrom(*source);
    entry->hotKeyId = NextId();
    entry->Register();
  } else {
    entry->hotKeyId = NextId();
  }
  entry->prev = this;
  entry->next = next;
  if (next) next->prev = entry;
  next = entry;
  return entry;
}

int32_t HotKeyTable::NextId() const {
  int32_t largest = 0;
  for (const HotKeyEntry* entry = this; entry; entry = entry->next) {
    largest = std::max(largest, entry->hotKeyId);
  }
  return largest + 1;
}

HotKeyEntry* HotKeyTable::FindById(int32_t id) const {
  for (HotKeyEntry* entry = next; entry; entry = entry->next) {
    if (entry->hotKeyId == id) return entry;
  }
  return nullptr;
}

int32_t HotKeyTable::Count() const {
  int32_t count = 0;
  for (const HotKeyEntry* entry = next; entry; entry = entry->next) ++count;
  return count;
}

void HotKeyTable::Clear() {
  while (next) delete next;
}

void HotKeyTable::UnregisterAll() {
  for (HotKeyEntry* entry = next; entry; entry = entry->next) entry->Unregister();
}

int32_t HotKeyTable::UnregisteredCount() const {
  int32_t count = 0;
  for (const HotKeyEntry* entry = next; entry; entry = entry->next) count += !entry->registered;
  return count;
}

void HotKeyTable::RegisterUnregistered() {
  for (HotKeyEntry* entry = next; entry; entry = entry->next) {
    if (!entry->registered) entry->Register();
  }
}

std::string HotKeyTable::Encoded() const {
  std::vector<const KeyRecord*> records;
  for (const HotKeyEntry* entry = next; entry; entry = entry->next) records.push_back(entry);
  return EncodeKeyFile(records);
}

bool HotKeyTable::Save(const std::string& path, bool finalSave) {
  const bool remembered = path.empty() || path == file_.Path();
  if (remembered && !file_.Path().empty()) return file_.Save(Encoded(), finalSave);
  ConfigFile other(path.empty() ? std::string(kDefaultKeyFile) : path);
  return other.Save(Encoded(), finalSave);
}

bool HotKeyTable::Load(const std::string& path) {
  Clear();
  std::string bytes;
  const ReadOutcome outcome = file_.Load(path.empty() ? std::string(kDefaultKeyFile) : path, bytes);
  filePath = file_.Path();
  if (outcome == ReadOutcome::Read) {
    KeyFileContents contents = DecodeKeyFile(bytes);
    lastLoadComplete_ = contents.complete;
    for (KeyRecord& record : contents.records) {
      HotKeyEntry* entry = Add(nullptr);
      static_cast<KeyRecord&>(*entry) = std::move(record);
      entry->Register();
    }
  }
  // What a later save would write now: the file as this run found it.
  file_.SetBaseline(Encoded());
  return outcome == ReadOutcome::Read;
}
