#include <windows.h>

#include "actions/launch/command_line.h"
#include "actions/launch/registry_lookup.h"
#include "actions/launch/system_lead_byte.h"

namespace {

// An open registry key, closed when it goes out of scope.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(HKEY root, const std::string& path) {
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
      if (key_) RegCloseKey(key_);
      key_ = other.key_;
      other.key_ = nullptr;
    }
    return *this;
  }
  explicit operator bool() const { return key_ != nullptr; }
  HKEY get() const { return key_; }

  // The default value; false (and `value` untouched) when it is missing or does not fit the
  // 260-byte buffer with its terminator (259 characters fit).
  bool DefaultValue(std::string& value) const { return Value("", value); }
  bool Value(const char* name, std::string& value) const {
    char buffer[kPathBufferBytes] = "";
    DWORD size = sizeof buffer;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                  &size) != ERROR_SUCCESS) {
      return false;
    }
    // A value stored without its terminator that fills the buffer is one byte too long.
    if (size == sizeof buffer && buffer[sizeof buffer - 1] != '\0') return false;
    buffer[size < sizeof buffer ? size : sizeof buffer - 1] = '\0';
    value = buffer;
    return true;
  }

 private:
  HKEY key_ = nullptr;
};

std::string ExpandEnvironment(const std::string& text) {
  char buffer[kPathBufferBytes];
  const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), buffer, sizeof buffer);
  if (needed == 0 || needed > sizeof buffer) return std::string();
  return buffer;
}

// The command of the browser the user chose for http, where the system keeps such a choice,
// else the machine's http command; empty when neither can be read.
std::string RegisteredBrowserCommand() {
  const char* const choices[] = {
      "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoiceLatest",
      "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice"};
  for (const char* choice : choices) {
    RegistryKey key(HKEY_CURRENT_USER, choice);
    std::string progId;
    if (!key || !key.Value("ProgId", progId) || progId.empty()) continue;
    RegistryKey command(HKEY_CLASSES_ROOT, progId + "\\shell\\open\\command");
    std::string value;
    if (command && command.DefaultValue(value)) return value;
  }
  RegistryKey key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\http\\shell\\open\\command");
  std::string value;
  key.DefaultValue(value);
  return value;
}

}  // namespace

std::string GetQuotedProgramPath(const std::string& commandText) {
  return QuotedProgramPath(commandText, &ExpandEnvironment);
}

std::string GetBrowserCommand() {
  // An unquoted value keeps its arguments ("C:\\Browser\\b.exe %1"): the program-path rules
  // cut them off, as for a file type's command.
  return GetQuotedProgramPath(RegisteredBrowserCommand());
}

std::string GetBrowserCommandLine(const std::string& url) {
  const std::string registered = RegisteredBrowserCommand();
  // Expanded before the URL goes in, so nothing in the URL is ever taken for a variable.
  const std::string expanded = ExpandEnvironment(registered);
  return BrowserCommandLine(expanded.empty() ? registered : expanded, url, SystemLeadByte);
}

std::string GetAssociatedCommand(const std::string& extension, const std::string& verb) {
  if (extension.empty() || extension == ".") return std::string();
  const std::string extensionKey = extension[0] == '.' ? extension : "." + extension;
  std::string typeName;
  {
    RegistryKey key(HKEY_CLASSES_ROOT, extensionKey);
    if (!key) return std::string();
    key.DefaultValue(typeName);
  }
  const std::string shellKey = typeName + "\\shell";

  // The requested verb.
  {
    RegistryKey command(HKEY_CLASSES_ROOT, shellKey + "\\" + verb + "\\command");
    std::string value;
    if (command) {
      command.DefaultValue(value);
      return GetQuotedProgramPath(value);
    }
  }
  // The default verb, named by the shell key's own value.
  std::string defaultVerb = typeName;
  {
    RegistryKey shell(HKEY_CLASSES_ROOT, shellKey);
    if (!shell) return std::string();
    shell.DefaultValue(defaultVerb);
  }
  {
    RegistryKey command(HKEY_CLASSES_ROOT, shellKey + "\\" + defaultVerb + "\\command");
    std::string value;
    if (command) {
      command.DefaultValue(value);
      return GetQuotedProgramPath(value);
    }
  }
  // The first verb, in enumeration order, that has a command.
  RegistryKey shell(HKEY_CLASSES_ROOT, shellKey);
  if (!shell) return std::string();
  for (DWORD index = 0;; ++index) {
    char name[kPathBufferBytes];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(shell.get(), index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return std::string();
    }
    RegistryKey command(HKEY_CLASSES_ROOT, shellKey + "\\" + name + "\\command");
    if (command) {
      std::string value;
      command.DefaultValue(value);
      return GetQuotedProgramPath(value);
    }
  }
}
