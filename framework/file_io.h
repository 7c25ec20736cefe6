// Whole-file reads and crash-safe replacement, for the two configuration files. Paths are in
// the file layer's own form: UTF-8 on Windows, so that every character of a folder's name
// survives whatever the code page (PathFromAnsi makes one from ANSI text); bytes elsewhere.
#pragma once

#include <string>
#include <string_view>

enum class ReadOutcome { Read, Missing, Unreadable };

// Reads the whole file, shared every way so another program's open file is still read. Only a
// file that does not exist is Missing; one that exists but cannot be read is Unreadable, and
// `bytes` then stays empty.
ReadOutcome ReadFileBytes(const std::string& path, std::string& bytes);

// Writes everything to a temporary file beside `path`, then puts it in place in one step.
// While another program holds the file, the replacement is tried again for about a second.
// On any failure the old file is kept, the temporary file removed, and false returned.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

// `path` made absolute against the current directory.
std::string FullPathName(const std::string& path);
bool PathExists(const std::string& path);
// ANSI text (the system code page) in the file layer's form.
std::string PathFromAnsi(std::string_view ansi);

// One configuration file of a run: where it lives, whether this run may replace it, and what
// it held when the run began.
class ConfigFile {
 public:
  ConfigFile() = default;
  explicit ConfigFile(std::string path) : path_(std::move(path)) {}

  // Reads the file and fixes its absolute path, whether it exists or not. A file that exists
  // but cannot be read is never replaced in this run.
  ReadOutcome Load(const std::string& path, std::string& bytes);
  // The file holds what this run cannot read: it is never replaced in this run.
  void KeepAsFound() { keepOriginal_ = true; }
  // What the file held as the run began, in the form Save writes.
  void SetBaseline(std::string_view bytes);
  // Replaces the file's contents; true only when the file itself was written. Where it must be
  // left alone, or cannot be replaced and no later save will come (`finalSave`), what this run
  // changed goes beside it instead, under a name that no earlier run's copy holds
  // (key.cfg.unsaved, then key.cfg.unsaved-2 ...); an unchanged file goes nowhere.
  bool Save(std::string_view bytes, bool finalSave);

  const std::string& Path() const { return path_; }
  // The last save did not reach the file itself.
  bool LastSaveFailed() const { return lastSaveFailed_; }
  // Where this run's copy went, or empty.
  const std::string& UnsavedPath() const { return unsavedPath_; }

 private:
  std::string path_;
  std::string baseline_;
  std::string unsavedPath_;
  bool hasBaseline_ = false;
  bool keepOriginal_ = false;
  bool lastSaveFailed_ = false;
};
