#include "actions/desktop_icons/icon_layouts.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>

namespace {

constexpr std::string_view kMonitorsHeader = "[monitors ";
constexpr std::string_view kPreviousHeader = "[previous monitors ";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

template <typename T>
bool ReadRecord(std::string_view bytes, size_t& offset, T& record) {
  if (bytes.size() - offset < sizeof record) return false;
  std::memcpy(&record, bytes.data() + offset, sizeof record);
  offset += sizeof record;
  return true;
}

template <typename T>
void AppendRecord(std::string& bytes, const T& record) {
  bytes.append(reinterpret_cast<const char*>(&record), sizeof record);
}

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void AppendEscapedUnit(std::string& out, char16_t unit) {
  static const char kHex[] = "0123456789ABCDEF";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[unit >> shift & 0xF];
}

void AppendLabel(std::string& out, const std::u16string& label) {
  for (size_t i = 0; i < label.size(); ++i) {
    const char16_t unit = label[i];
    if (unit == u'\\') {
      out += "\\\\";
    } else if (unit < 0x20 || unit == 0x7F) {
      AppendEscapedUnit(out, unit);
    } else if (IsHigh(unit) && i + 1 < label.size() && IsLow(label[i + 1])) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (label[i + 1] - 0xDC00));
      ++i;
    } else if (IsHigh(unit) || IsLow(unit)) {
      AppendEscapedUnit(out, unit);  // UTF-8 cannot carry it
    } else {
      AppendUtf8(out, unit);
    }
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// One UTF-8 sequence, strictly: no overlong forms, no encoded surrogates, nothing past U+10FFFF.
bool ReadUtf8(std::string_view text, size_t& i, uint32_t& code) {
  const auto lead = static_cast<unsigned char>(text[i]);
  int extra = 0;
  uint32_t minimum = 0;
  if (lead < 0x80) {
    code = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    code = lead & 0x1F, extra = 1, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    code = lead & 0x0F, extra = 2, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    code = lead & 0x07, extra = 3, minimum = 0x10000;
  } else {
    return false;
  }
  if (text.size() - i - 1 < static_cast<size_t>(extra)) return false;
  for (int k = 1; k <= extra; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return false;
    code = code << 6 | (next & 0x3F);
  }
  i += 1 + extra;
  return code >= minimum && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

bool DecodeLabel(std::string_view text, std::u16string& label) {
  label.clear();
  for (size_t i = 0; i < text.size();) {
    if (label.size() > kMaxIconLabel) return false;
    const char c = text[i];
    if (c == '\\') {
      if (i + 1 < text.size() && text[i + 1] == '\\') {
        label += u'\\';
        i += 2;
        continue;
      }
      if (text.size() - i < 6 || text[i + 1] != 'u') return false;
      int unit = 0;
      for (int k = 2; k < 6; ++k) {
        const int digit = HexValue(text[i + k]);
        if (digit < 0) return false;
        unit = unit << 4 | digit;
      }
      label += static_cast<char16_t>(unit);
      i += 6;
      continue;
    }
    if (static_cast<unsigned char>(c) < 0x20) return false;
    uint32_t code = 0;
    if (!ReadUtf8(text, i, code)) return false;
    if (code >= 0x10000) {
      label += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      label += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      label += static_cast<char16_t>(code);
    }
  }
  return label.size() <= kMaxIconLabel;
}

// A section's first line; false for one that cannot be read.
bool ParseHeader(std::string_view line, IconLayout& layout) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return false;
  const std::pair<std::string_view, LayoutKey> setHeaders[] = {
      {kMonitorsHeader, LayoutKey::Monitors}, {kPreviousHeader, LayoutKey::PreviousMonitors}};
  for (const auto& [prefix, key] : setHeaders) {
    if (line.substr(0, prefix.size()) != prefix) continue;
    layout.key = key;
    return ParseMonitorSet(line.substr(prefix.size(), line.size() - prefix.size() - 1),
                           layout.monitors);
  }
  layout.key = LayoutKey::ScreenSize;
  line = line.substr(1, line.size() - 2);
  const size_t cross = line.find('x');
  if (cross == std::string_view::npos) return false;
  return ParseInt32(line.substr(0, cross), false, layout.width) &&
         ParseInt32(line.substr(cross + 1), false, layout.height) && layout.width > 0 &&
         layout.height > 0;
}

std::string HeaderOf(const IconLayout& layout) {
  switch (layout.key) {
    case LayoutKey::Monitors:
      return std::string(kMonitorsHeader) + FormatMonitorSet(layout.monitors) + "]";
    case LayoutKey::PreviousMonitors:
      return std::string(kPreviousHeader) + FormatMonitorSet(layout.monitors) + "]";
    case LayoutKey::ScreenSize:
      return "[" + std::to_string(layout.width) + "x" + std::to_string(layout.height) + "]";
    case LayoutKey::Unreadable:
      break;
  }
  return layout.header;
}

IconLayout UnreadableSection(std::string_view header) {
  IconLayout section;
  section.key = LayoutKey::Unreadable;
  section.header.assign(header);
  return section;
}

bool ParsePlaceLine(std::string_view line, IconPlace& place) {
  const size_t first = line.find('\t');
  if (first == std::string_view::npos) return false;
  const size_t second = line.find('\t', first + 1);
  if (second == std::string_view::npos) return false;
  return ParseInt32(line.substr(0, first), true, place.x) &&
         ParseInt32(line.substr(first + 1, second - first - 1), true, place.y) &&
         DecodeLabel(line.substr(second + 1), place.label);
}

bool DecodeLines(std::string_view bytes, IconLayouts& layouts) {
  bool whole = true;
  std::set<std::string> headers;  // in their written form, which is one per key
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());  // an editor's mark
  }
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.front() == '[') {
      IconLayout layout;
      if (!ParseHeader(line, layout) || !headers.insert(HeaderOf(layout)).second) {
        layout = UnreadableSection(line);
        whole = false;
      }
      layouts.push_back(std::move(layout));
      continue;
    }
    if (layouts.empty()) layouts.push_back(UnreadableSection(""));
    IconLayout& section = layouts.back();
    IconPlace place;
    if (section.key != LayoutKey::Unreadable && ParsePlaceLine(line, place)) {
      section.places.push_back(std::move(place));
      continue;
    }
    section.keptLines.push_back({section.places.size(), std::string(line)});
    whole = false;
  }
  return whole;
}

bool Inside(const IconPlace& place, const ScreenRect& area) {
  return place.x >= area.left && place.x < area.right && place.y >= area.top &&
         place.y < area.bottom;
}

}  // namespace

bool SamePlaces(const std::vector<IconPlace>& a, const std::vector<IconPlace>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const IconPlace& p, const IconPlace& q) {
                      return p.label == q.label && p.x == q.x && p.y == q.y;
                    });
}

bool ParseIconList(std::string_view bytes, DesktopIcons& icons) {
  icons = DesktopIcons();
  size_t offset = 0;
  IconListHeader header{};
  if (!ReadRecord(bytes, offset, header)) return false;
  // Every record takes some bytes: a count larger than they allow is refused before reserving.
  if (header.count > (bytes.size() - offset) / sizeof(IconRecordHeader)) return false;
  DesktopIcons read;
  read.width = header.width;
  read.height = header.height;
  read.autoArrange = header.autoArrange != 0;
  read.icons.reserve(header.count);
  for (uint32_t i = 0; i < header.count; ++i) {
    IconRecordHeader record{};
    if (!ReadRecord(bytes, offset, record)) return false;
    if (record.length > kMaxIconLabel || (bytes.size() - offset) / 2 < record.length) return false;
    IconPlace place;
    place.x = record.x;
    place.y = record.y;
    place.label.resize(record.length);
    std::memcpy(place.label.data(), bytes.data() + offset, record.length * 2);
    offset += record.length * 2;
    read.icons.push_back(std::move(place));
  }
  if (offset != bytes.size()) return false;
  icons = std::move(read);
  return true;
}

bool RememberLayout(IconLayouts& layouts, const Monitors& monitors, const DesktopIcons& icons) {
  if (icons.width <= 0 || icons.height <= 0 || icons.icons.empty() ||
      !IsUsableMonitorSet(monitors)) {
    return false;
  }
  for (const IconPlace& icon : icons.icons) {
    if (icon.label.size() > kMaxIconLabel) return false;
  }
  IconLayout layout;
  layout.monitors = CanonicalMonitorSet(monitors);
  layout.places = icons.icons;
  const auto find = [&](LayoutKey key) {
    return std::find_if(layouts.begin(), layouts.end(), [&](const IconLayout& old) {
      return old.key == key && SameMonitorSet(old.monitors, monitors);
    });
  };
  const auto current = find(LayoutKey::Monitors);
  if (current == layouts.end()) {
    layouts.push_back(std::move(layout));
    return true;
  }
  // The same again would push the one step back out.
  if (SamePlaces(current->places, layout.places) && current->keptLines.empty()) return true;
  IconLayout replaced = std::move(*current);
  replaced.key = LayoutKey::PreviousMonitors;
  *current = std::move(layout);
  const size_t next = current - layouts.begin() + 1;
  const auto previous = find(LayoutKey::PreviousMonitors);
  if (previous != layouts.end()) {
    *previous = std::move(replaced);
  } else {
    layouts.insert(layouts.begin() + next, std::move(replaced));
  }
  return true;
}

const IconLayout* LayoutFor(const IconLayouts& layouts, const Monitors& monitors) {
  for (const IconLayout& layout : layouts) {
    if (layout.key == LayoutKey::Monitors && SameMonitorSet(layout.monitors, monitors)) {
      return &layout;
    }
  }
  int64_t width = 0, height = 0;
  BoundingSize(monitors, width, height);
  for (const IconLayout& layout : layouts) {
    if (layout.key == LayoutKey::ScreenSize && layout.width == width && layout.height == height) {
      return &layout;
    }
  }
  return nullptr;
}

std::vector<IconMove> PlanIconMoves(const IconLayout& layout, const std::vector<IconPlace>& icons,
                                    const std::vector<ScreenRect>& workAreas) {
  std::map<std::u16string, std::vector<const IconPlace*>> byLabel;
  for (const IconPlace& place : layout.places) byLabel[place.label].push_back(&place);
  std::map<std::u16string, size_t> used;
  std::vector<IconMove> moves;
  for (size_t index = 0; index < icons.size(); ++index) {
    const auto found = byLabel.find(icons[index].label);
    if (found == byLabel.end()) continue;
    size_t& next = used[icons[index].label];
    if (next >= found->second.size()) continue;
    const IconPlace& target = *found->second[next++];
    if (target.x == icons[index].x && target.y == icons[index].y) continue;
    const auto holds = [&](const ScreenRect& area) { return Inside(target, area); };
    if (std::none_of(workAreas.begin(), workAreas.end(), holds)) continue;
    moves.push_back({static_cast<int32_t>(index), target.x, target.y});
  }
  return moves;
}

std::string EncodeIconMoves(uint32_t itemCount, const std::vector<IconMove>& moves) {
  std::string bytes;
  AppendRecord(bytes, IconMovesHeader{itemCount, static_cast<uint32_t>(moves.size())});
  for (const IconMove& move : moves) AppendRecord(bytes, move);
  return bytes;
}

std::string EncodeIconLayouts(const IconLayouts& layouts) {
  std::string out;
  for (const IconLayout& layout : layouts) {
    const std::string header = HeaderOf(layout);
    if (!header.empty()) out += header + "\r\n";
    size_t kept = 0;
    for (size_t index = 0; index <= layout.places.size(); ++index) {
      for (; kept < layout.keptLines.size() && layout.keptLines[kept].before <= index; ++kept) {
        out += layout.keptLines[kept].text + "\r\n";
      }
      if (index == layout.places.size()) break;
      const IconPlace& place = layout.places[index];
      out += std::to_string(place.x) + "\t" + std::to_string(place.y) + "\t";
      AppendLabel(out, place.label);
      out += "\r\n";
    }
    for (; kept < layout.keptLines.size(); ++kept) out += layout.keptLines[kept].text + "\r\n";
  }
  // A kept line that begins like an editor's mark would lose it to the reader.
  if (out.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) out.insert(0, kByteOrderMark);
  return out;
}

bool DecodeIconLayouts(std::string_view bytes, IconLayouts& layouts) {
  layouts.clear();
  return DecodeLines(bytes, layouts);
}

bool MonitorWatch::Tick(const Monitors& monitors) {
  if (!started_) {
    started_ = true;
    settled_ = seen_ = monitors;
    return false;
  }
  if (!SameMonitorSet(monitors, seen_)) {
    seen_ = monitors;
    stableTicks_ = 0;
    triesLeft_ = 0;
    return false;
  }
  if (triesLeft_ > 0) {
    --triesLeft_;
    return true;
  }
  if (SameMonitorSet(monitors, settled_)) return false;
  if (++stableTicks_ < settleTicks_) return false;
  settled_ = monitors;
  triesLeft_ = tries_ - 1;
  return true;
}
