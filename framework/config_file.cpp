#include <string>

#include "framework/file_io.h"

namespace {

constexpr int kUnsavedNames = 99;

// The first name beside `path` that no earlier run has used; the last one when all are taken.
std::string FreeUnsavedPath(const std::string& path) {
  std::string candidate = path + ".unsaved";
  for (int number = 2; number <= kUnsavedNames && PathExists(candidate); ++number) {
    candidate = path + ".unsaved-" + std::to_string(number);
  }
  return candidate;
}

}  // namespace

ReadOutcome ConfigFile::Load(const std::string& path, std::string& bytes) {
  const ReadOutcome outcome = ReadFileBytes(path, bytes);
  path_ = FullPathName(path);
  keepOriginal_ = outcome == ReadOutcome::Unreadable;
  return outcome;
}

void ConfigFile::SetBaseline(std::string_view bytes) {
  baseline_.assign(bytes);
  hasBaseline_ = true;
}

bool ConfigFile::Save(std::string_view bytes, bool finalSave) {
  lastSaveFailed_ = false;
  if (!keepOriginal_ && ReplaceFileContents(path_, bytes)) {
    SetBaseline(bytes);
    return true;
  }
  lastSaveFailed_ = true;
  if (!keepOriginal_ && !finalSave) return false;
  if (hasBaseline_ && bytes == baseline_) return false;
  if (unsavedPath_.empty()) unsavedPath_ = FreeUnsavedPath(path_);
  ReplaceFileContents(unsavedPath_, bytes);
  return false;
}
