#include "actions/launch/command_line.h"

#include <gtest/gtest.h>

namespace {

// Files that exist, for the unquoted search.
bool KnownFile(const std::string& path) {
  return path == "C:\\Tools\\app.exe" || path == "C:\\Program Files\\App\\app.exe" ||
         path == "C:\\Tools\\run.exe";
}

TEST(WorkingDirectory, FromTheProgramPartOnly) {
  EXPECT_EQ(WorkingDirectoryFor("\"C:\\Program Files\\App\\app.exe\" -x"),
            "C:\\Program Files\\App");
  EXPECT_EQ(WorkingDirectoryFor("\"\"\"C:\\a\\b.exe\""), "C:\\a");
  EXPECT_EQ(WorkingDirectoryFor("C:\\a\\b.exe \"C:\\x\\y\""), "C:\\a");
  EXPECT_EQ(WorkingDirectoryFor("C:\\Tools\\app.exe C:\\data\\file.txt", KnownFile), "C:\\Tools");
  EXPECT_EQ(WorkingDirectoryFor("C:\\Program Files\\App\\app.exe -x", KnownFile),
            "C:\\Program Files\\App")
      << "unquoted, found as the system finds it";
  EXPECT_EQ(WorkingDirectoryFor("C:\\Tools\\run a\\b", KnownFile), "C:\\Tools") << "with .exe";
  EXPECT_EQ(WorkingDirectoryFor("C:\\app.exe"), "C:\\") << "a drive's root keeps its backslash";
  EXPECT_EQ(WorkingDirectoryFor(""), "");
}

// A program without a folder (found on the path) gets none, whatever its argument holds:
// backslashes, or double-byte characters whose second byte is 0x5C ("表示\ソフト").
TEST(WorkingDirectory, NoneForAProgramWithoutAFolder) {
  EXPECT_EQ(WorkingDirectoryFor("notepad.exe "), "");
  EXPECT_EQ(WorkingDirectoryFor("calc", KnownFile), "");
  EXPECT_EQ(WorkingDirectoryFor("notepad.exe C:\\data\\file.txt", KnownFile), "");
  EXPECT_EQ(WorkingDirectoryFor("recorder.exe \x95\x5C\x8E\xA6\\\x83\x5C\x83t\x83g"), "");
  EXPECT_EQ(WorkingDirectoryFor("\"C:\\\x83\x5C\x83t\x83g\\a.exe\" \x95\x5C"),
            "C:\\\x83\x5C\x83t\x83g");
}

TEST(WorkingDirectory, TooLongForThePathBufferGivesNone) {
  const std::string longDirectory = "C:\\" + std::string(300, 'd');
  EXPECT_EQ(WorkingDirectoryFor(longDirectory + "\\app.exe"), "");
  const std::string fits = "C:\\" + std::string(255, 'd');  // 258 bytes
  EXPECT_EQ(WorkingDirectoryFor(fits + "\\app.exe"), fits);
  EXPECT_EQ(WorkingDirectoryFor("C:\\" + std::string(256, 'd') + "\\a").size(), 259u);
  EXPECT_EQ(WorkingDirectoryFor("C:\\" + std::string(257, 'd') + "\\a"), "");  // 260 bytes
}

TEST(QuotedProgramPath, QuotesArgumentsAndSpaces) {
  EXPECT_EQ(QuotedProgramPath("\"C:\\Program Files\\Browser\\browser.exe\" -nohome"),
            "\"C:\\Program Files\\Browser\\browser.exe\"");
  EXPECT_EQ(QuotedProgramPath("C:\\Windows\\system32\\NOTEPAD.EXE %1"),
            "\"C:\\Windows\\system32\\NOTEPAD.EXE\"");
  EXPECT_EQ(QuotedProgramPath("C:\\Browser\\b.exe -url \"%1\""), "\"C:\\Browser\\b.exe\"");
  EXPECT_EQ(QuotedProgramPath(""), "\"\"");
}

TEST(QuotedProgramPath, ExpandsAfterTheQuoteRule) {
  auto expand = [](const std::string& text) {
    return text == "%SystemRoot%\\system32\\NOTEPAD.EXE %1"
               ? std::string("C:\\windows\\system32\\NOTEPAD.EXE %1")
               : text;
  };
  EXPECT_EQ(QuotedProgramPath("%SystemRoot%\\system32\\NOTEPAD.EXE %1", +expand),
            "\"C:\\windows\\system32\\NOTEPAD.EXE\"");
}

TEST(SplitPathName, Components) {
  SplitPath p = SplitPathName("C:\\dir\\sub\\name.tar.gz");
  EXPECT_EQ(p.drive, "C:");
  EXPECT_EQ(p.directory, "\\dir\\sub\\");
  EXPECT_EQ(p.fileName, "name.tar");
  EXPECT_EQ(p.extension, ".gz");
  p = SplitPathName("dir.x/file");
  EXPECT_EQ(p.directory, "dir.x/");
  EXPECT_EQ(p.extension, "");
  // 表 ends in 0x5C: not a separator.
  p = SplitPathName("C:\\\x95\x5C.exe");
  EXPECT_EQ(p.directory, "\\");
  EXPECT_EQ(p.fileName, "\x95\x5C");
  EXPECT_EQ(p.extension, ".exe");
}

TEST(ExtensionOf, FromTheLastDotOfTheWholePath) {
  EXPECT_EQ(ExtensionOf("C:\\my docs\\report.final.txt"), ".txt");
  EXPECT_EQ(ExtensionOf("C:\\a.dir\\file"), ".dir\\file");
  EXPECT_EQ(ExtensionOf("C:\\file"), "");
}

}  // namespace

TEST(UrlArgument, BytesThatCannotStandInAUrlAreEscaped) {
  EXPECT_EQ(EscapeUrlBytes(std::string("a b\"\x01\x7F\0%\x82\xA0~", 11)),
            "a%20b%22%01%7F%00%\x82\xA0~");
  EXPECT_EQ(QuotedArgument("C:\\dir\\"), "\"C:\\dir\\\\\"") << "the quote still closes";
}

TEST(UrlArgument, TheUrlTakesThePlaceTheBrowserRegistered) {
  EXPECT_EQ(BrowserCommandLine("\"C:\\B\\b.exe\" --single-argument %1", "http://x/?q=a%20b"),
            "\"C:\\B\\b.exe\" --single-argument http://x/?q=a%20b");
  EXPECT_EQ(BrowserCommandLine("\"C:\\F\\f.exe\" -osint -url \"%1\"", "http://x/\\"),
            "\"C:\\F\\f.exe\" -osint -url \"http://x/\\\\\"");
  EXPECT_EQ(BrowserCommandLine("C:\\b.exe %L %*", "u"), "C:\\b.exe u ");
  EXPECT_EQ(BrowserCommandLine("\"C:\\b.exe\"", "http://x"), "\"C:\\b.exe\" \"http://x\"")
      << "no place registered: appended as one argument";
}

// 能 ends in the byte 0x5C: before the closing quote it is a character, not a backslash, in
// every encoding of the text.
TEST(UrlArgument, ASecondByteOf0x5CBeforeTheClosingQuoteStaysACharacter) {
  const std::string text = "\x8B\x40\x94\x5C";  // 機能
  for (const std::string& encoded : {text, UrlEncodeSjis(text), UrlEncodeJis(text),
                                     UrlEncodeEuc(text), UrlEncodeUtf8Wide(u"\u6A5F\u80FD")}) {
    EXPECT_EQ(BrowserCommandLine("b.exe \"%1\"", "q=" + encoded), "b.exe \"q=" + encoded + "\"");
  }
  EXPECT_EQ(QuotedArgument("C:\\\x83\x5C"), "\"C:\\\x83\x5C\"");  // C:\ソ
  EXPECT_EQ(QuotedArgument("\x83\x5C\\"), "\"\x83\x5C\\\\\"") << "a backslash after it is one";
  EXPECT_EQ(QuotedArgument("\x94\x5C", [](unsigned char) { return false; }), "\"\x94\x5C\\\"")
      << "where there are no double-byte characters";
}
