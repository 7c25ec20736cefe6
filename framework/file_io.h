// Whole-file reads and crash-safe replacement, for the two configuration files.
#pragma once

#include <string>
#include <string_view>

// False when the file cannot be opened or read; `bytes` then stays empty.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// Writes everything to a temporary file beside `path`, then puts it in place in one step.
// On any failure the old file is kept, the temporary file removed, and false returned.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

// `path` made absolute against the current directory.
std::string FullPathName(const std::string& path);
