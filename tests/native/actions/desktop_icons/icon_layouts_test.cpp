#include "actions/desktop_icons/icon_layouts.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace std::string_literals;

namespace {

IconPlace Place(std::u16string label, int32_t x, int32_t y) { return {std::move(label), x, y}; }

Monitor Screen(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t dpi = 96) {
  Monitor monitor;
  monitor.area = {left, top, left + width, top + height};
  monitor.dpi = dpi;
  monitor.work = monitor.area;
  return monitor;
}

// Two monitors side by side, and the same two the other way round: one bounding box.
const Monitors kWideLeft{Screen(0, 0, 1920, 1080), Screen(1920, 0, 1280, 1024)};
const Monitors kWideRight{Screen(-1280, 0, 1280, 1024), Screen(0, 0, 1920, 1080)};
const std::vector<ScreenRect> kAnywhere{{-100000, -100000, 100000, 100000}};

IconLayout SizeLayout(int32_t width, int32_t height, std::vector<IconPlace> places) {
  IconLayout layout;
  layout.key = LayoutKey::ScreenSize;
  layout.width = width;
  layout.height = height;
  layout.places = std::move(places);
  return layout;
}

// The bytes Corvane's shell side sends for these icons.
std::string IconListBytes(const std::vector<IconPlace>& icons, int32_t width = 800,
                          int32_t height = 600, uint32_t autoArrange = 0) {
  std::string bytes;
  const IconListHeader header{static_cast<uint32_t>(icons.size()), width, height, autoArrange};
  bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  for (const IconPlace& icon : icons) {
    const IconRecordHeader record{icon.x, icon.y, static_cast<uint32_t>(icon.label.size())};
    bytes.append(reinterpret_cast<const char*>(&record), sizeof record);
    bytes.append(reinterpret_cast<const char*>(icon.label.data()), icon.label.size() * 2);
  }
  return bytes;
}

TEST(IconLayoutFile, IsByteExactAndReadsBack) {
  IconLayouts layouts;
  ASSERT_TRUE(RememberLayout(
      layouts, kWideRight, {1, 1, false, {Place(u"ごみ箱", 10, -20), Place(u"a\\b\t\x7F", 5, 6)}}));
  layouts.push_back(SizeLayout(1280, 720, {Place(u"😀\xD800x", 0, 2147483647)}));
  const std::string bytes = EncodeIconLayouts(layouts);
  EXPECT_EQ(bytes,
            "[monitors -1280,0 1280x1024 96dpi; 0,0 1920x1080 96dpi]\r\n"
            "10\t-20\t\xE3\x81\x94\xE3\x81\xBF\xE7\xAE\xB1\r\n"
            "5\t6\ta\\\\b\\u0009\\u007F\r\n"
            "[1280x720]\r\n0\t2147483647\t\xF0\x9F\x98\x80\\uD800x\r\n"s);
  IconLayouts read;
  ASSERT_TRUE(DecodeIconLayouts(bytes, read));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_TRUE(SameMonitorSet(read[0].monitors, kWideRight));
  EXPECT_EQ(read[1].width, 1280);
  EXPECT_TRUE(SamePlaces(read[0].places, layouts[0].places));
  EXPECT_TRUE(SamePlaces(read[1].places, layouts[1].places));
}

TEST(IconLayoutFile, ReadsAnEditorsMarkLoneLineFeedsAndNothing) {
  IconLayouts read{SizeLayout(1, 1, {})};
  ASSERT_TRUE(DecodeIconLayouts("", read));
  EXPECT_TRUE(read.empty());
  ASSERT_TRUE(DecodeIconLayouts("\xEF\xBB\xBF[8x6]\n\n1\t2\tx", read));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_TRUE(SamePlaces(read[0].places, {Place(u"x", 1, 2)}));
}

TEST(IconLayoutFile, LabelsUpToTheLimitOnly) {
  const std::u16string longest(kMaxIconLabel, u'あ');
  IconLayouts read;
  ASSERT_TRUE(
      DecodeIconLayouts(EncodeIconLayouts({SizeLayout(2, 2, {Place(longest, 0, 0)})}), read));
  EXPECT_EQ(read[0].places[0].label, longest);
  EXPECT_FALSE(DecodeIconLayouts(
      EncodeIconLayouts({SizeLayout(2, 2, {Place(longest + u"x", 0, 0)})}), read));
}

TEST(IconLayoutFile, EachPartThatCannotBeReadIsWrittenBackAsItWas) {
  for (const std::string& bad :
       {"1\t2\tbefore any size\r\n"s,
        "[0x5]\r\n1\t2\tx\r\n"s,
        "[5x]\r\n"s,
        "[5x5]\r\n[5x5]\r\n"s,
        "[5x5]\r\n1\t2\r\n"s,
        "[5x5]\r\n1\tb\tx\r\n"s,
        "[5x5]\r\n1\t2\t\\q\r\n"s,
        "[5x5]\r\n1\t2\t\\u12\r\n"s,
        "[5x5]\r\n1\t2\t\xC0\x80\r\n"s,
        "[5x5]\r\n1\t2\t\xED\xA0\x80\r\n"s,
        "[5x5]\r\n1\t2\t\xE3\x81\r\n"s,
        "[5x5]\r\n1\t2\ta\x01\r\n"s,
        "[5x5]\r\n99999999999\t2\tx\r\n"s,
        "[5x5]\r\n2147483648\t2\tx\r\n"s,
        "[monitors 0,0 0x5 96dpi]\r\n"s,
        "[monitors 0,0 5x5 0dpi]\r\n"s,
        "[monitors 0,0 5x5 96dpi;0,0 5x5 96dpi]\r\n"s,
        "[monitors 2147483647,0 1x1 96dpi]\r\n"s,
        "[previous monitors 0,0 5x5]\r\n"s,
        "[monitors 0,0 5x5 96dpi]\r\n[monitors 0,0 5x5 96dpi]\r\n1\t2\tx\r\n"s}) {
    IconLayouts read;
    EXPECT_FALSE(DecodeIconLayouts(bad, read)) << bad;
    EXPECT_EQ(EncodeIconLayouts(read), bad);
  }
}

TEST(IconLayoutFile, TheRestOfTheFileApplies) {
  const std::string file =
      "junk\r\n[5x5]\r\n1\t2\tx\r\nbad line\r\n3\t4\ty\r\n[0x0]\r\n5\t6\tz\r\n"s;
  IconLayouts read;
  EXPECT_FALSE(DecodeIconLayouts(file, read));
  const IconLayout* layout = LayoutFor(read, {Screen(0, 0, 5, 5)});
  ASSERT_NE(layout, nullptr);
  EXPECT_TRUE(SamePlaces(layout->places, {Place(u"x", 1, 2), Place(u"y", 3, 4)}));
  ASSERT_TRUE(RememberLayout(read, {Screen(0, 0, 5, 5)}, {5, 5, false, {Place(u"x", 0, 0)}}));
  EXPECT_EQ(EncodeIconLayouts(read), file + "[monitors 0,0 5x5 96dpi]\r\n0\t0\tx\r\n");
}

// Last round's files name the desktop's size, which on several monitors is their bounding box.
TEST(IconLayouts, AnOlderFilesSizeServesEverySetOfThatBoundingSizeWithoutOneOfItsOwn) {
  IconLayouts layouts{SizeLayout(3200, 1080, {Place(u"a", 1, 1)})};
  ASSERT_NE(LayoutFor(layouts, kWideLeft), nullptr);
  EXPECT_EQ(LayoutFor(layouts, {Screen(0, 0, 3200, 1080, 144)}), LayoutFor(layouts, kWideRight));
  EXPECT_EQ(LayoutFor(layouts, {Screen(0, 0, 1920, 1080)}), nullptr);
  ASSERT_TRUE(RememberLayout(layouts, kWideLeft, {1, 1, false, {Place(u"a", 2, 2)}}));
  EXPECT_EQ(LayoutFor(layouts, kWideLeft)->places[0].x, 2);
  EXPECT_EQ(LayoutFor(layouts, kWideRight)->places[0].x, 1);
}

TEST(IconLayouts, SetsWithOneBoundingBoxOrOtherScalingKeepTheirOwn) {
  const Monitors scaled{Screen(0, 0, 1920, 1080, 120), Screen(1920, 0, 1280, 1024)};
  IconLayouts layouts;
  for (const Monitors* set : {&kWideLeft, &kWideRight, &scaled}) {
    ASSERT_TRUE(RememberLayout(layouts, *set, {1, 1, false, {Place(u"a", set->front().dpi, 0)}}));
  }
  ASSERT_TRUE(RememberLayout(layouts, kWideLeft, {1, 1, false, {Place(u"a", 7, 7)}}));
  EXPECT_EQ(LayoutFor(layouts, kWideLeft)->places[0].x, 7);
  EXPECT_EQ(LayoutFor(layouts, {kWideLeft[1], kWideLeft[0]})->places[0].x, 7) << "any order";
  EXPECT_EQ(LayoutFor(layouts, kWideRight)->places[0].x, 96);
  EXPECT_EQ(LayoutFor(layouts, scaled)->places[0].x, 120);
}

TEST(IconLayouts, RememberRefusesAnEmptyDesktopAndKeepsOneStepBack) {
  IconLayouts layouts;
  EXPECT_FALSE(RememberLayout(layouts, kWideLeft, {0, 0, false, {Place(u"a", 1, 1)}}));
  EXPECT_FALSE(RememberLayout(layouts, kWideLeft, {5, 5, false, {}}));
  EXPECT_FALSE(RememberLayout(layouts, {}, {5, 5, false, {Place(u"a", 1, 1)}}));
  EXPECT_TRUE(layouts.empty());
  for (int32_t x : {1, 2, 2}) {
    ASSERT_TRUE(RememberLayout(layouts, kWideLeft, {5, 5, false, {Place(u"a", x, 0)}}));
  }
  EXPECT_FALSE(RememberLayout(layouts, kWideLeft, {5, 5, false, {}}));
  EXPECT_EQ(EncodeIconLayouts(layouts),
            "[monitors 0,0 1920x1080 96dpi; 1920,0 1280x1024 96dpi]\r\n2\t0\ta\r\n"
            "[previous monitors 0,0 1920x1080 96dpi; 1920,0 1280x1024 96dpi]\r\n1\t0\ta\r\n")
      << "the same again pushes nothing out";
}

TEST(MonitorSet, OnlyWholeUsableSetsAreRead) {
  Monitors read;
  ASSERT_TRUE(ParseMonitorSet("1920,0 1280x1024 120dpi; -5,-7 1920x1080 96dpi", read));
  EXPECT_EQ(FormatMonitorSet(read), "-5,-7 1920x1080 96dpi; 1920,0 1280x1024 120dpi");
  for (const char* bad : {"", "0,0 5x5 96dpi; ", "0,0 5x5 96", "0,0 5x5 96dpi;0,0 5x5 96dpi",
                          "0 5x5 96dpi", "0,0 5x5x5 96dpi", "0,0  5x5 96dpi", "0,0 -5x5 96dpi"}) {
    EXPECT_FALSE(ParseMonitorSet(bad, read)) << bad;
  }
  EXPECT_FALSE(IsUsableMonitorSet({Monitor{{-2000000000, 0, 2000000000, 5}, 96, {}}}))
      << "a width beyond int32 could not be read back";
  EXPECT_FALSE(IsUsableMonitorSet(Monitors(kMaxMonitors + 1, Screen(0, 0, 5, 5))));
}

TEST(IconList, ReadsTheShellsBytes) {
  const std::vector<IconPlace> icons{Place(u"ごみ箱", 3, 4), Place(u"", -1, 0),
                                     Place(std::u16string(255, u'あ'), 70, 80)};
  DesktopIcons read;
  ASSERT_TRUE(ParseIconList(IconListBytes(icons, 1024, 768, 1), read));
  EXPECT_EQ(read.width, 1024);
  EXPECT_EQ(read.height, 768);
  EXPECT_TRUE(read.autoArrange);
  EXPECT_TRUE(SamePlaces(read.icons, icons));
}

TEST(IconList, RefusesBytesThatAreNotAWholeList) {
  const std::string whole = IconListBytes({Place(u"ab", 1, 2), Place(u"c", 3, 4)});
  DesktopIcons read;
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    EXPECT_FALSE(ParseIconList(whole.substr(0, cut), read)) << cut;
    EXPECT_TRUE(read.icons.empty());
  }
  EXPECT_FALSE(ParseIconList(whole + "x", read)) << "bytes after the last record";
  std::string huge = whole;
  const uint32_t count = 0xFFFFFFFF;
  std::memcpy(huge.data(), &count, sizeof count);
  EXPECT_FALSE(ParseIconList(huge, read)) << "a count the bytes cannot hold";
}

TEST(IconMoves, EachIconGoesToTheNextUnusedPlaceOfItsLabel) {
  const IconLayout layout =
      SizeLayout(800, 600,
                 {Place(u"a", 10, 10), Place(u"b", 20, 20), Place(u"a", 30, 30),
                  Place(u"gone", 40, 40), Place(u"c", 5, 5)});
  const std::vector<IconPlace> icons{Place(u"a", 0, 0), Place(u"new", 1, 1), Place(u"a", 0, 0),
                                     Place(u"c", 5, 5), Place(u"b", 2, 2),   Place(u"a", 9, 9)};
  const std::vector<IconMove> moves = PlanIconMoves(layout, icons, kAnywhere);
  ASSERT_EQ(moves.size(), 3u) << "not the new icon, the one in place, or the third a";
  EXPECT_EQ(moves[0].index, 0);
  EXPECT_EQ(moves[0].x, 10);
  EXPECT_EQ(moves[1].index, 2);
  EXPECT_EQ(moves[1].y, 30);
  EXPECT_EQ(moves[2].index, 4);
  EXPECT_EQ(moves[2].x, 20);
}

TEST(IconMoves, BytesAreTheHeaderThenTheMoves) {
  const std::string bytes = EncodeIconMoves(7, {{1, 2, 3}, {4, -5, 6}});
  ASSERT_EQ(bytes.size(), sizeof(IconMovesHeader) + 2 * sizeof(IconMove));
  IconMovesHeader header{};
  IconMove second{};
  std::memcpy(&header, bytes.data(), sizeof header);
  std::memcpy(&second, bytes.data() + sizeof header + sizeof(IconMove), sizeof second);
  EXPECT_EQ(header.itemCount, 7u);
  EXPECT_EQ(header.moveCount, 2u);
  EXPECT_EQ(second.x, -5);
}

TEST(IconMoves, NoIconGoesWhereNoWorkAreaIs) {
  const IconLayout layout = SizeLayout(1, 1, {Place(u"a", 100, 100), Place(u"b", 10, 10)});
  const std::vector<IconPlace> icons{Place(u"a", 0, 0), Place(u"b", 0, 0)};
  const std::vector<ScreenRect> workAreas{{0, 50, 100, 150}, {200, 0, 300, 100}};
  const std::vector<IconMove> moves = PlanIconMoves(layout, icons, workAreas);
  EXPECT_TRUE(moves.empty()) << "100,100 is just past the first area, 10,10 above it";
  EXPECT_TRUE(PlanIconMoves(layout, icons, {}).empty());
  EXPECT_EQ(PlanIconMoves(layout, icons, {{100, 100, 101, 101}}).size(), 1u);
}

TEST(MonitorWatch, ANewSetCountsOnceItHasSettled) {
  const Monitors start{Screen(0, 0, 800, 600)}, brief{Screen(0, 0, 640, 480)};
  MonitorWatch watch(2, 1);
  EXPECT_FALSE(watch.Tick(start)) << "the set at start is no change";
  EXPECT_FALSE(watch.Tick(brief));
  EXPECT_FALSE(watch.Tick(start)) << "back before it settled";
  EXPECT_FALSE(watch.Tick(start));
  EXPECT_FALSE(watch.Tick(kWideLeft));
  EXPECT_FALSE(watch.Tick(kWideLeft));
  EXPECT_TRUE(watch.Tick(kWideLeft));
  EXPECT_FALSE(watch.Tick(kWideLeft)) << "once";
  EXPECT_FALSE(watch.Tick(kWideRight)) << "another set of the same bounding box";
  EXPECT_FALSE(watch.Tick(kWideRight));
  EXPECT_TRUE(watch.Tick(kWideRight));
}

TEST(MonitorWatch, ARestoreNotCarriedOutIsAskedForAgainBoundedUntilTheSetChanges) {
  MonitorWatch watch(1, 3);
  watch.Tick(kWideLeft);
  for (bool asked : {false, true, true}) EXPECT_EQ(watch.Tick(kWideRight), asked);
  watch.Restored();
  EXPECT_FALSE(watch.Tick(kWideRight)) << "carried out";
  for (bool asked : {false, true, true, true, false}) EXPECT_EQ(watch.Tick(kWideLeft), asked);
  for (bool asked : {false, true}) EXPECT_EQ(watch.Tick(kWideRight), asked);
  EXPECT_FALSE(watch.Tick(kWideLeft)) << "the set changed";
}

}  // namespace
