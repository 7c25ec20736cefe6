// Whole-file reads and crash-safe replacement, for the two configuration files.
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

// Where a configuration file's bytes go when they cannot go into the file itself.
inline std::string UnsavedPathFor(const std::string& path) { return path + ".unsaved"; }

// Saves a configuration file. Where this run must leave the file alone (`keepOriginal`: it
// existed but could not be read), the bytes go to UnsavedPathFor(path) instead; so they do
// when the file cannot be replaced and no later save will come (`finalSave`). True only when
// the file itself was written.
bool SaveConfigFile(const std::string& path, std::string_view bytes, bool keepOriginal,
                    bool finalSave);
