#include "actions/launch/command_line.h"

#include "actions/launch/url_encoding.h"

std::string StripQuotedPrefix(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && text[start] == '"') ++start;
  std::string_view rest = text.substr(start);
  const size_t quote = rest.find('"');
  if (quote != std::string_view::npos) rest = rest.substr(0, quote);
  return std::string(rest);
}

std::string ProgramPartOf(std::string_view commandLine, FileProbe isFile) {
  if (!commandLine.empty() && commandLine[0] == '"') return StripQuotedPrefix(commandLine);
  // An unquoted line ends its program at the latest where an argument's quote begins.
  const std::string_view line = commandLine.substr(0, commandLine.find('"'));
  const size_t firstSpace = line.find(' ');
  if (isFile) {
    for (size_t end = firstSpace;; end = line.find(' ', end + 1)) {
      const std::string candidate(line.substr(0, end));
      if (!candidate.empty() && (isFile(candidate) || isFile(candidate + ".exe"))) {
        return candidate;
      }
      if (end == std::string_view::npos) break;
    }
  }
  return std::string(line.substr(0, firstSpace));
}

std::string WorkingDirectoryFor(std::string_view commandLine, FileProbe isFile) {
  const SplitPath parts = SplitPathName(ProgramPartOf(commandLine, isFile));
  std::string directory = parts.drive + parts.directory;
  if (parts.directory.size() > 1) directory.pop_back();  // the separator after the folder
  if (parts.directory.empty() || directory.size() >= kPathBufferBytes) return std::string();
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

std::string EscapeUrlBytes(std::string_view url) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(url.size());
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == '"' || byte == 0x7F) {
      escaped += '%';
      escaped += kHex[byte >> 4];
      escaped += kHex[byte & 0xF];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

namespace {

// Backslashes at the end of the text doubled: before a quote they would escape it. The text is
// walked from its start, since only there is it known which bytes are second bytes.
std::string WithClosingBackslashesDoubled(std::string_view text, LeadBytePredicate isLead) {
  size_t trailing = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      ++i;
      trailing = 0;
    } else {
      trailing = text[i] == '\\' ? trailing + 1 : 0;
    }
  }
  return std::string(text) + std::string(trailing, '\\');
}

}  // namespace

std::string QuotedArgument(std::string_view text, LeadBytePredicate isLead) {
  return "\"" + WithClosingBackslashesDoubled(text, isLead) + "\"";
}

std::string BrowserCommandLine(std::string_view registeredCommand, std::string_view url,
                               LeadBytePredicate isLead) {
  std::string line;
  bool placed = false;
  for (size_t i = 0; i < registeredCommand.size(); ++i) {
    const char c = registeredCommand[i];
    const char next = i + 1 < registeredCommand.size() ? registeredCommand[i + 1] : '\0';
    if (c == '%' && (next == '1' || next == 'L' || next == 'l')) {
      const bool closedByQuote =
          i + 2 < registeredCommand.size() && registeredCommand[i + 2] == '"';
      line += closedByQuote ? WithClosingBackslashesDoubled(url, isLead) : std::string(url);
      placed = true;
      ++i;
    } else if (c == '%' && next == '*') {
      ++i;
    } else {
      line += c;
    }
  }
  if (!placed) {
    if (!line.empty() && line.back() != ' ') line += ' ';
    line += QuotedArgument(url, isLead);
  }
  return line;
}
