#include "framework/dpi_scale.h"

#include <gtest/gtest.h>

#include <climits>

TEST(DpiScale, SizesGivenAt96DpiGrowWithTheDpi) {
  EXPECT_EQ(ScaleForDpi(130, 96), 130);
  EXPECT_EQ(ScaleForDpi(130, 144), 195);
  EXPECT_EQ(ScaleForDpi(40, 192), 80);
}

TEST(DpiScale, HalvesRoundAwayFromZeroAsMulDivDoes) {
  EXPECT_EQ(ScaleForDpi(1, 144), 2);      // 1.5
  EXPECT_EQ(ScaleForDpi(130, 120), 163);  // 162.5
  EXPECT_EQ(ScaleForDpi(-1, 144), -2);
  EXPECT_EQ(ScaleForDpi(3, 120), 4);  // 3.75
  EXPECT_EQ(ScaleForDpi(1, 120), 1);  // 1.25
}

TEST(DpiScale, BetweenTwoDpisAndUnknownOnes) {
  EXPECT_EQ(ScaleForDpi(195, 96, 144), 130);
  EXPECT_EQ(ScaleForDpi(200, 0), 200);
  EXPECT_EQ(ScaleForDpi(200, 144, 0), 200);
}

TEST(DpiScale, ExtremesAreClampedNotWrapped) {
  EXPECT_EQ(ScaleForDpi(INT_MAX, 192), INT_MAX);
  EXPECT_EQ(ScaleForDpi(INT_MIN, 192), INT_MIN);
  EXPECT_EQ(ScaleForDpi(INT_MIN, 48), INT_MIN / 2);
}
