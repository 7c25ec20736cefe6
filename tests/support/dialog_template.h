// Reads an extended dialog template (DLGTEMPLATEEX) from resource bytes, so tests can check
// every control's id, class, text, place and style against what the dialogs must hold.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DialogItem {
  uint32_t exStyle = 0;
  uint32_t style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint32_t id = 0;
  std::u16string className;   // empty when given by ordinal
  uint16_t classOrdinal = 0;  // 0x80 button, 0x81 edit, 0x82 static, 0x83 list box, 0x85 combo box
  std::u16string text;
  uint16_t textOrdinal = 0;  // a resource id (an icon) instead of text
};

struct DialogTemplate {
  uint32_t exStyle = 0;
  uint32_t style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::u16string title;
  uint16_t pointSize = 0;
  uint16_t weight = 0;
  uint8_t italic = 0;
  uint8_t charset = 0;
  std::u16string typeface;
  std::vector<DialogItem> items;

  const DialogItem* Item(uint32_t id) const;
};

// Empty when the bytes are not a well-formed extended template.
std::optional<DialogTemplate> ParseDialogTemplateEx(std::string_view bytes);
