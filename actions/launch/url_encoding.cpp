#include "actions/launch/url_encoding.h"

bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

void SjisToJis(int& first, int& second) {
  first = (first > 0x9F ? first - 0xB1 : first - 0x71) * 2 + 1;
  if (second > 0x7F) second -= 1;
  if (second >= 0x9E) {
    second -= 0x7D;
    first += 1;
  } else {
    second -= 0x1F;
  }
}

void SjisToEuc(int& first, int& second) {
  SjisToJis(first, second);
  first |= 0x80;
  second |= 0x80;
}

namespace {

enum class PairConversion { None, Jis, Euc };

void AppendHex(std::string& out, int byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  const char text[3] = {'%', kDigits[(byte >> 4) & 0xF], kDigits[byte & 0xF]};
  out.append(text, 3);
}

std::string EncodeDoubleBytes(std::string_view text, LeadBytePredicate isLead,
                              PairConversion conversion) {
  std::string out;
  for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (!isLead(byte)) {
      out.push_back(static_cast<char>(byte));
      continue;
    }
    if (i + 1 >= text.size() || text[i + 1] == '\0') break;  // a lone lead byte ends the text
    int first = byte, second = static_cast<unsigned char>(text[++i]);
    if (conversion == PairConversion::Jis) SjisToJis(first, second);
    if (conversion == PairConversion::Euc) SjisToEuc(first, second);
    AppendHex(out, first);
    AppendHex(out, second);
  }
  return out;
}

}  // namespace

std::string UrlEncodeSjis(std::string_view text, LeadBytePredicate isLead) {
  return EncodeDoubleBytes(text, isLead, PairConversion::None);
}

std::string UrlEncodeJis(std::string_view text, LeadBytePredicate isLead) {
  return EncodeDoubleBytes(text, isLead, PairConversion::Jis);
}

std::string UrlEncodeEuc(std::string_view text, LeadBytePredicate isLead) {
  return EncodeDoubleBytes(text, isLead, PairConversion::Euc);
}

std::string Utf16UnitsToUtf8(const std::vector<uint16_t>& units) {
  std::string out;
  for (const uint16_t u : units) {
    if (u <= 0x7F) {
      out.push_back(static_cast<char>(u));
    } else if (u <= 0x7FF) {
      out.push_back(static_cast<char>(0xC0 | (u >> 6)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (u >> 12)));
      out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
  return out;
}

std::string PercentEncodeUtf8Bytes(std::string_view utf8) {
  std::string out;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                       (byte >= '0' && byte <= '9') || byte == '_';
    if (plain) {
      out.push_back(c);
    } else {
      AppendHex(out, byte);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size() && text[i] != 0; ++i) {
    const uint32_t unit = text[i];
    const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (!pair) {
      out += Utf16UnitsToUtf8({static_cast<uint16_t>(unit)});
      continue;
    }
    const uint32_t code = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
  return out;
}

std::string UrlEncodeUtf8Wide(std::u16string_view text) {
  return PercentEncodeUtf8Bytes(Utf16ToUtf8(text));
}
