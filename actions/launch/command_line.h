// Command-line text rules for starting programs: the working directory, the quoted program
// path of a registry command, and the extension of a file path.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "actions/launch/url_encoding.h"

// Fixed buffers of the path rules: 260 bytes with the terminator.
constexpr size_t kPathBufferBytes = 260;

// Every leading double quote removed; if a double quote remains, only the text before it.
std::string StripQuotedPrefix(std::string_view text);

// Whether a path names an existing file (not a folder); null where nothing can be asked.
using FileProbe = bool (*)(const std::string& path);

// The program of a command line: the text inside its leading quotes; unquoted, as the system
// looks for it, the shortest prefix ending at a space (or the end) that names a file, as it is
// or with ".exe", else the text up to the first space.
std::string ProgramPartOf(std::string_view commandLine, FileProbe isFile = nullptr);

// The folder of the program part ("X:\" for a drive's root), found double-byte aware. Empty
// when that part has no folder (a program found on the path: it starts in Tavolet's folder)
// and when the folder does not fit a 260-byte buffer.
std::string WorkingDirectoryFor(std::string_view commandLine, FileProbe isFile = nullptr);

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

// A URL that can only ever be one argument of a command line: every byte that cannot stand in
// a URL (0x00-0x20, '"', 0x7F) percent-encoded, everything else as it is.
std::string EscapeUrlBytes(std::string_view url);
// Text as one double-quoted argument of a command line: backslashes before the closing quote
// are doubled, so that quote closes it. The text holds no '"' of its own (a path cannot). A
// 0x5C that is the second byte of a double-byte character (表, ソ, 能) is no backslash.
std::string QuotedArgument(std::string_view text, LeadBytePredicate isLead = IsCp932LeadByte);
// The browser started the way it registered itself: its command with "%1" (or "%L") replaced
// by the URL, its own switches kept, "%*" dropped; the URL appended as one argument where the
// command has no place for it. The URL is expected escaped by EscapeUrlBytes.
std::string BrowserCommandLine(std::string_view registeredCommand, std::string_view url,
                               LeadBytePredicate isLead = IsCp932LeadByte);
