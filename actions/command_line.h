// Command-line text rules for starting programs: the working directory, the quoted program
// path of a registry command, and the extension of a file path.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Fixed buffers of the path rules: 260 bytes with the terminator.
constexpr size_t kPathBufferBytes = 260;

// Every leading double quote removed; if a double quote remains, only the text before it.
std::string StripQuotedPrefix(std::string_view text);

// The command line without leading quotes, cut at the next quote, then cut at its last
// backslash (dropped). Without a backslash the text stays whole. Empty when the result does
// not fit a 260-byte buffer: such a start gets no working directory of its own.
std::string WorkingDirectoryFor(std::string_view commandLine);

struct SplitPath {
  std::string drive, directory, fileName, extension;
};

// Drive ("X:"), directory (through the last separator), file name, extension (from the last
// "." of the last component). Separators are "\" and "/", never the second byte of a
// double-byte character.
SplitPath SplitPathName(std::string_view path);

// A registry command's program: leading quotes stripped and the text cut at the next quote,
// the extension cut at its first space (dropping unquoted arguments), in double quotes.
// `expand` is applied after the quote rule (environment variables; identity where none).
std::string QuotedProgramPath(std::string_view commandText,
                              std::string (*expand)(const std::string&) = nullptr);

// The file's extension from the last "." of the whole path on, "." included; empty if none.
std::string ExtensionOf(std::string_view path);
