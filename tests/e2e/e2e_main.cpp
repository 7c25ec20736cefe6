#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStartForEveryTest);
  return RUN_ALL_TESTS();
}
