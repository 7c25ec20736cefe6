#include "actions/command_line.h"

#include "actions/url_encoding.h"

std::string StripQuotedPrefix(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && text[start] == '"') ++start;
  std::string_view rest = text.substr(start);
  const size_t quote = rest.find('"');
  if (quote != std::string_view::npos) rest = rest.substr(0, quote);
  return std::string(rest);
}

std::string WorkingDirectoryFor(std::string_view commandLine) {
  std::string directory = StripQuotedPrefix(commandLine);
  // Byte by byte, as the path buffer is searched: the last 0x5C wherever it stands.
  const size_t backslash = directory.rfind('\\');
  if (backslash != std::string::npos) directory.resize(backslash);
  if (directory.size() >= kPathBufferBytes) return std::string();
  return directory;
}

SplitPath SplitPathName(std::string_view path) {
  SplitPath parts;
  size_t start = 0;
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = std::string(path.substr(0, 2));
    start = 2;
  }
  size_t lastSeparator = std::string_view::npos, lastDot = std::string_view::npos;
  for (size_t i = start; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (IsCp932LeadByte(byte) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (byte == '\\' || byte == '/') {
      lastSeparator = i;
      lastDot = std::string_view::npos;
    } else if (byte == '.') {
      lastDot = i;
    }
  }
  const size_t nameStart = lastSeparator == std::string_view::npos ? start : lastSeparator + 1;
  parts.directory = std::string(path.substr(start, nameStart - start));
  if (lastDot == std::string_view::npos) {
    parts.fileName = std::string(path.substr(nameStart));
  } else {
    parts.fileName = std::string(path.substr(nameStart, lastDot - nameStart));
    parts.extension = std::string(path.substr(lastDot));
  }
  return parts;
}

std::string QuotedProgramPath(std::string_view commandText,
                              std::string (*expand)(const std::string&)) {
  std::string text = StripQuotedPrefix(commandText);
  if (expand) text = expand(text);
  SplitPath parts = SplitPathName(text);
  const size_t space = parts.extension.find(' ');
  if (space != std::string::npos) parts.extension.resize(space);
  return "\"" + parts.drive + parts.directory + parts.fileName + parts.extension + "\"";
}

std::string ExtensionOf(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return std::string();
  return std::string(path.substr(dot));
}
