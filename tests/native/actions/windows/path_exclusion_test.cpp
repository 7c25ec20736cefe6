#include "actions/windows/path_exclusion.h"

#include <gtest/gtest.h>

namespace {

TEST(PathExclusion, CaseSensitiveSubstrings) {
  const std::list<std::string> excluded = {"notepad.exe", "\\Games\\"};
  EXPECT_TRUE(IsExcludedPath("C:\\WINDOWS\\system32\\notepad.exe", excluded));
  EXPECT_FALSE(IsExcludedPath("C:\\WINDOWS\\NOTEPAD.EXE", excluded));
  EXPECT_TRUE(IsExcludedPath("D:\\Games\\x.exe", excluded));
  EXPECT_FALSE(IsExcludedPath("", excluded));
  EXPECT_TRUE(IsExcludedPath("", {""})) << "an empty string matches every path";
  EXPECT_FALSE(IsExcludedPath("C:\\a.exe", {}));
}

}  // namespace
