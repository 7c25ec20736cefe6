#include "app/settings_file.h"

#include "actions/launch/command_line.h"
#include "framework/archive.h"

std::string SettingsFileNameFor(std::string_view programPath) {
  return SplitPathName(programPath).fileName + ".cfg";
}

std::string EncodeSettings(const SettingsValues& values) {
  ArchiveWriter out;
  out.WriteI32(static_cast<int32_t>(values.excludedPaths.size()));
  for (const std::string& path : values.excludedPaths) out.WriteString(path);
  out.WriteI32(values.labelState);
  out.WriteU32(values.textColor);
  out.WriteU32(values.outlineColor);
  out.WriteU32(values.backgroundColor);
  out.WriteU32(values.selectionColor);
  out.WriteI32(static_cast<int32_t>(values.stringValues.size()));
  for (const auto& [text, value] : values.stringValues) {
    out.WriteString(text);
    out.WriteU32(value);
  }
  return out.Bytes();
}

bool DecodeSettings(std::string_view stream, SettingsValues& values) {
  ArchiveReader in(stream);
  int32_t count = 0;
  if (!in.ReadI32(count)) return false;
  values.excludedPaths.clear();
  for (int32_t i = 0; i < count; ++i) {
    std::string path;
    if (!in.ReadString(path)) return false;
    values.excludedPaths.push_back(std::move(path));
  }
  if (!in.ReadI32(values.labelState)) return false;
  for (uint32_t* target :
       {&values.textColor, &values.outlineColor, &values.backgroundColor, &values.selectionColor}) {
    if (!in.ReadU32(*target)) return false;  // a failed read leaves the value as it was
  }
  if (!in.ReadI32(count)) return false;
  values.stringValues.clear();
  for (int32_t i = 0; i < count; ++i) {
    std::string text;
    uint32_t value = 0;
    if (!in.ReadString(text) || !in.ReadU32(value)) return false;
    values.stringValues.emplace_back(std::move(text), value);
  }
  return true;
}

std::string ToTextMode(std::string_view stream) {
  std::string stored;
  stored.reserve(stream.size());
  for (const char c : stream) {
    if (c == '\n') stored.push_back('\r');
    stored.push_back(c);
  }
  return stored;
}

std::string FromTextMode(std::string_view stored) {
  std::string stream;
  stream.reserve(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] == '\r' && i + 1 < stored.size() && stored[i + 1] == '\n') continue;
    stream.push_back(stored[i]);
  }
  return stream;
}
