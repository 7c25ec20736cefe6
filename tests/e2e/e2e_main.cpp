#include <gtest/gtest.h>

#include "tests/support/dpi_aware.h"
#include "tests/e2e/e2e_support.h"

int main(int argc, char** argv) {
  DeclareDpiAware();  // sees and captures every window in physical pixels
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStartForEveryTest);
  return RUN_ALL_TESTS();
}
