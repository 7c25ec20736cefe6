// The application's hot keys: a doubly linked list, newest first, whose head is the table
// itself. The head is never registered, saved or shown; its filePath remembers key.cfg.
#pragma once

#include <cstdint>
#include <string>

#include "framework/file_io.h"
#include "hotkeys/hotkey_entry.h"

class HotKeyTable : public HotKeyEntry {
 public:
  HotKeyTable() = default;
  ~HotKeyTable() override;

  // A new entry after the head. With a source: its fields, the next id, and registration.
  HotKeyEntry* Add(const HotKeyEntry* source);
  int32_t NextId() const;
  HotKeyEntry* FindById(int32_t id) const;
  int32_t Count() const;
  void Clear();
  // An empty path means the remembered file, or "key.cfg" when no load has run. A file that
  // existed but could not be read is never replaced in this run: what the run changed goes
  // beside it (key.cfg.unsaved), as it does when the last save of a run (`finalSave`) cannot
  // replace it. True only when the file itself was written. Paths are in the file layer's form.
  bool Save(const std::string& path = std::string(), bool finalSave = false);
  // Empties the table, reads the file and registers every entry; ids 1..N in file order.
  // The file's absolute path is remembered even when it is missing, so every later save goes
  // there whatever the current directory has become.
  bool Load(const std::string& path = std::string());
  // The last save of the remembered file did not reach it.
  bool LastSaveFailed() const { return file_.LastSaveFailed(); }
  // Every entry's hot key released; the entries stay.
  void UnregisterAll();
  // The entries not registered now (refused, or released), and another try for each of them.
  int32_t UnregisteredCount() const;
  void RegisterUnregistered();

  // False when the last load stopped at a record that ended early or was missing.
  bool LastLoadComplete() const { return lastLoadComplete_; }

 private:
  std::string Encoded() const;

  bool lastLoadComplete_ = true;
  ConfigFile file_;
};
