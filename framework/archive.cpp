#include "framework/archive.h"

void ArchiveWriter::WriteU16(uint16_t value) {
  bytes_.push_back(static_cast<char>(value & 0xFF));
  bytes_.push_back(static_cast<char>(value >> 8));
}

void ArchiveWriter::WriteU32(uint32_t value) {
  WriteU16(static_cast<uint16_t>(value & 0xFFFF));
  WriteU16(static_cast<uint16_t>(value >> 16));
}

void ArchiveWriter::WriteString(std::string_view text) {
  const size_t length = text.size();
  if (length < 0xFF) {
    bytes_.push_back(static_cast<char>(length));
  } else if (length < 0xFFFE) {
    bytes_.push_back(static_cast<char>(0xFF));
    WriteU16(static_cast<uint16_t>(length));
  } else {
    bytes_.push_back(static_cast<char>(0xFF));
    WriteU16(0xFFFF);
    WriteU32(static_cast<uint32_t>(length));
  }
  bytes_.append(text.data(), length);
}

bool ArchiveReader::Fail() {
  failed_ = true;
  return false;
}

bool ArchiveReader::ReadU8(uint8_t& value) {
  if (failed_ || pos_ >= bytes_.size()) return Fail();
  value = static_cast<uint8_t>(bytes_[pos_++]);
  return true;
}

bool ArchiveReader::ReadU16(uint16_t& value) {
  uint8_t low = 0, high = 0;
  if (!ReadU8(low) || !ReadU8(high)) return false;
  value = static_cast<uint16_t>(low | (high << 8));
  return true;
}

bool ArchiveReader::ReadU32(uint32_t& value) {
  uint16_t low = 0, high = 0;
  if (!ReadU16(low) || !ReadU16(high)) return false;
  value = static_cast<uint32_t>(low) | (static_cast<uint32_t>(high) << 16);
  return true;
}

bool ArchiveReader::ReadI32(int32_t& value) {
  uint32_t raw = 0;
  if (!ReadU32(raw)) return false;
  value = static_cast<int32_t>(raw);
  return true;
}

bool ArchiveReader::ReadString(std::string& text) {
  uint8_t shortLength = 0;
  if (!ReadU8(shortLength)) return false;
  uint32_t length = shortLength;
  if (shortLength == 0xFF) {
    uint16_t mediumLength = 0;
    if (!ReadU16(mediumLength)) return false;
    length = mediumLength;
    if (mediumLength == 0xFFFF) {
      if (!ReadU32(length)) return false;
    } else if (mediumLength == 0xFFFE) {
      // Marks a wide-character string, which these files never hold.
      return Fail();
    }
  }
  if (length > Remaining()) return Fail();
  text.assign(bytes_.data() + pos_, length);
  pos_ += length;
  return true;
}
