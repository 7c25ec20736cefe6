// Byte streams in the archive form shared by both configuration files:
// little-endian 32-bit integers and strings with a 1-, 3- or 7-byte length prefix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class ArchiveWriter {
 public:
  void WriteU32(uint32_t value);
  void WriteI32(int32_t value) { WriteU32(static_cast<uint32_t>(value)); }
  void WriteString(std::string_view text);
  const std::string& Bytes() const { return bytes_; }

 private:
  void WriteU16(uint16_t value);
  std::string bytes_;
};

// Reads never run past the end: a failed read leaves the reader failed and
// every later read fails too.
class ArchiveReader {
 public:
  explicit ArchiveReader(std::string_view bytes) : bytes_(bytes) {}
  bool ReadU32(uint32_t& value);
  bool ReadI32(int32_t& value);
  // A length larger than what remains fails without allocating it.
  bool ReadString(std::string& text);
  size_t Remaining() const { return failed_ ? 0 : bytes_.size() - pos_; }
  bool Failed() const { return failed_; }

 private:
  bool ReadU8(uint8_t& value);
  bool ReadU16(uint16_t& value);
  bool Fail();
  std::string_view bytes_;
  size_t pos_ = 0;
  bool failed_ = false;
};
