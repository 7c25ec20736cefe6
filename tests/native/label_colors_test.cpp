#include "corvane/label_colors.h"

#include <gtest/gtest.h>

namespace {

TEST(LabelColors, LightAndDarkShadesOfTheSelection) {
  EXPECT_EQ(LightShade(0x00800000), 0x00FF8080u);
  EXPECT_EQ(DarkShade(0x00800000), 0x00000000u);
  EXPECT_EQ(LightShade(0x007F81FF), 0x00FFFFFFu);
  EXPECT_EQ(DarkShade(0x007F81FF), 0x0000017Fu);
  EXPECT_EQ(LightShade(0x12000000) >> 24, 0x12u) << "the top byte is the colour's own";
  EXPECT_EQ(DarkShade(0xAB000000) >> 24, 0xABu);
}

TEST(LabelColors, ResolutionRules) {
  const LabelColors automatic = ResolveLabelColors(kColorAuto, kColorAuto, kColorAuto, kColorAuto,
                                                   0x00FFFFFF, 0x00336699, 0x00800000);
  EXPECT_EQ(automatic.text, 0x00FFFFFFu) << "the list view's own text colour";
  EXPECT_EQ(automatic.outline, 0x00000000u) << "the inverse of white";
  EXPECT_EQ(automatic.background, 0x00336699u);
  EXPECT_EQ(automatic.selection, 0x00800000u) << "the highlight colour";
  EXPECT_EQ(automatic.light, 0x00FF8080u);
  EXPECT_EQ(automatic.dark, 0x00000000u);

  const LabelColors chosen = ResolveLabelColors(0x000000FF, kColorNone, kColorNone, 0x00102030,
                                                0x00FFFFFF, 0x00336699, 0x00800000);
  EXPECT_EQ(chosen.text, 0x000000FFu);
  EXPECT_EQ(chosen.outline, kColorNone) << "no outline stays none";
  EXPECT_EQ(chosen.background, kColorNone) << "transparent stays none";
  EXPECT_EQ(chosen.selection, 0x00102030u);
  const LabelColors blueText = ResolveLabelColors(0x00FF0000, kColorAuto, 0, 0, 0, 0, 0);
  EXPECT_EQ(blueText.outline, 0x0000FFFFu);
}

TEST(LabelColors, OutlinePassesGoRoundTheLabel) {
  int sumX = 0, sumY = 0;
  for (const Offset& o : kOutlineOffsets) {
    sumX += o.dx;
    sumY += o.dy;
    EXPECT_TRUE(o.dx != 0 || o.dy != 0);
  }
  EXPECT_EQ(sumX, 0);
  EXPECT_EQ(sumY, 0);
  EXPECT_EQ(kOutlineOffsets[0].dy, -1);
  EXPECT_EQ(kOutlineOffsets[7].dx, -1);
}

}  // namespace

#include "app/color_math.h"

namespace {

TEST(ColorButtonShades, DarkLightAndDark60) {
  EXPECT_EQ(ButtonDark(0x00FF8080), 0x007F0000u);
  EXPECT_EQ(ButtonDark(0x00818080), 0x00010000u);
  EXPECT_EQ(ButtonLight(0x005F6000), 0x00BFFF60u);
  EXPECT_EQ(ButtonDark60(0x00FF6061), 0x009F0001u);
  EXPECT_EQ(ButtonLight(0x7F000000), 0x7F606060u) << "the top byte is the source's own";
  EXPECT_EQ(ButtonDark60(0x12000000) >> 24, 0x12u);
  EXPECT_EQ(0x00C0C0C0u ^ 0x00FFFFFFu, 0x003F3F3Fu) << "a label is the face's inverse";
}

}  // namespace
