// The double-byte URL encoders and the command-line rules take any bytes: no crash, no read
// past the text, and results that keep their promised shape.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "actions/launch/command_line.h"
#include "actions/launch/url_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (auto encode : {&UrlEncodeSjis, &UrlEncodeJis, &UrlEncodeEuc}) {
    const std::string encoded = encode(text, IsCp932LeadByte);
    if (encoded.size() > 3 * size) std::abort();
  }
  const std::string utf8 = PercentEncodeUtf8Bytes(text);
  if (utf8.size() > 3 * size) std::abort();
  const std::string directory = WorkingDirectoryFor(text);
  if (directory.size() >= kPathBufferBytes || directory.find('"') != std::string::npos) {
    std::abort();
  }
  const std::string quoted = QuotedProgramPath(text);
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') std::abort();
  const SplitPath parts = SplitPathName(text);
  if (parts.drive.size() + parts.directory.size() + parts.fileName.size() +
          parts.extension.size() !=
      size) {
    std::abort();
  }
  ExtensionOf(text);
  const std::string url = EscapeUrlBytes(text);
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == '"' || byte == 0x7F) std::abort();
  }
  const std::string line = BrowserCommandLine("\"b.exe\" --single-argument %1", url);
  if (line != "\"b.exe\" --single-argument " + url) std::abort();
  BrowserCommandLine(text, url);
  const std::u16string wide(reinterpret_cast<const char16_t*>(data), size / 2);
  if (UrlEncodeUtf8Wide(wide).size() > 9 * wide.size()) std::abort();
  return 0;
}
