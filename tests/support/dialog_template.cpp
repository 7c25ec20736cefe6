#include "tests/support/dialog_template.h"

namespace {

class Cursor {
 public:
  explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  uint8_t U8() {
    if (pos_ + 1 > bytes_.size()) return Fail();
    return static_cast<uint8_t>(bytes_[pos_++]);
  }
  uint16_t U16() {
    const uint16_t low = U8();
    return static_cast<uint16_t>(low | (U8() << 8));
  }
  uint32_t U32() {
    const uint32_t low = U16();
    return low | (static_cast<uint32_t>(U16()) << 16);
  }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  std::u16string String() {
    std::u16string text;
    for (uint16_t c = U16(); ok_ && c != 0; c = U16()) text.push_back(static_cast<char16_t>(c));
    return text;
  }
  // A string, or 0xFFFF followed by an ordinal.
  void StringOrOrdinal(std::u16string& text, uint16_t& ordinal) {
    const size_t start = pos_;
    if (U16() == 0xFFFF) {
      ordinal = U16();
      return;
    }
    pos_ = start;
    text = String();
  }
  void Align4() { pos_ = (pos_ + 3) & ~size_t{3}; }
  void Skip(size_t count) {
    if (pos_ + count > bytes_.size()) Fail();
    pos_ += count;
  }

 private:
  uint8_t Fail() {
    ok_ = false;
    pos_ = bytes_.size();
    return 0;
  }
  std::string_view bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

constexpr uint32_t kSetFont = 0x40, kShellFont = 0x48;

}  // namespace

const DialogItem* DialogTemplate::Item(uint32_t id) const {
  for (const DialogItem& item : items) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

std::optional<DialogTemplate> ParseDialogTemplateEx(std::string_view bytes) {
  Cursor in(bytes);
  if (in.U16() != 1 || in.U16() != 0xFFFF) return std::nullopt;
  DialogTemplate t;
  in.U32();  // help id
  t.exStyle = in.U32();
  t.style = in.U32();
  const uint16_t count = in.U16();
  t.x = in.I16(), t.y = in.I16(), t.cx = in.I16(), t.cy = in.I16();
  std::u16string unusedText;
  uint16_t unusedOrdinal = 0;
  in.StringOrOrdinal(unusedText, unusedOrdinal);  // menu
  in.StringOrOrdinal(unusedText, unusedOrdinal);  // class
  t.title = in.String();
  if ((t.style & kSetFont) || (t.style & kShellFont) == kShellFont) {
    t.pointSize = in.U16();
    t.weight = in.U16();
    t.italic = in.U8();
    t.charset = in.U8();
    t.typeface = in.String();
  }
  for (uint16_t i = 0; i < count && in.ok(); ++i) {
    in.Align4();
    DialogItem item;
    in.U32();  // help id
    item.exStyle = in.U32();
    item.style = in.U32();
    item.x = in.I16(), item.y = in.I16(), item.cx = in.I16(), item.cy = in.I16();
    item.id = in.U32();
    in.StringOrOrdinal(item.className, item.classOrdinal);
    in.StringOrOrdinal(item.text, item.textOrdinal);
    in.Skip(in.U16());  // creation data
    t.items.push_back(item);
  }
  if (!in.ok()) return std::nullopt;
  return t;
}
