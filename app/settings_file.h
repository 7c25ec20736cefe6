// The settings file (the program's name + ".cfg"): excluded program paths, the desktop-label
// switch and four colours, and carried (string, value) pairs, as an archive byte stream stored
// in text mode (every 0x0A of the stream is stored as 0x0D 0x0A).
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <utility>

struct SettingsValues {
  std::list<std::string> excludedPaths;
  int32_t labelState = 0;
  uint32_t textColor = 0x00FFFFFF;
  uint32_t outlineColor = 0x00000000;
  uint32_t backgroundColor = 0x80000000;
  uint32_t selectionColor = 0xFFFFFFFF;
  std::list<std::pair<std::string, uint32_t>> stringValues;
};

// The logical stream of the values, in file order.
std::string EncodeSettings(const SettingsValues& values);
// Reads fields in file order into `values` and stops at the first one that is missing or cut
// short: what was read replaces the old values, the rest keep theirs. A list is emptied once
// its count was read. False when the stream ended early.
bool DecodeSettings(std::string_view stream, SettingsValues& values);

// The settings file of a program: its file name without the extension, then ".cfg". The
// name is found double-byte aware: a 0x5C that ends a character such as "ソ" is no separator.
std::string SettingsFileNameFor(std::string_view programPath);

// Text-mode storage: 0x0A <-> 0x0D 0x0A; every other byte unchanged.
std::string ToTextMode(std::string_view stream);
std::string FromTextMode(std::string_view stored);
