#include "actions/icon_layouts.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace std::string_literals;

namespace {

IconPlace Place(std::u16string label, int32_t x, int32_t y) { return {std::move(label), x, y}; }

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

bool SamePlaces(const std::vector<IconPlace>& a, const std::vector<IconPlace>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].label != b[i].label || a[i].x != b[i].x || a[i].y != b[i].y) return false;
  }
  return true;
}

TEST(IconLayoutFile, IsByteExactAndReadsBack) {
  IconLayouts layouts{{1920, 1080, {Place(u"ごみ箱", 10, -20), Place(u"a\\b\t\x7F", 5, 6)}},
                      {1280, 720, {Place(u"😀\xD800x", 0, 2147483647)}}};
  const std::string bytes = EncodeIconLayouts(layouts);
  EXPECT_EQ(bytes,
            "[1920x1080]\r\n10\t-20\t\xE3\x81\x94\xE3\x81\xBF\xE7\xAE\xB1\r\n"
            "5\t6\ta\\\\b\\u0009\\u007F\r\n"
            "[1280x720]\r\n0\t2147483647\t\xF0\x9F\x98\x80\\uD800x\r\n"s);
  IconLayouts read;
  ASSERT_TRUE(DecodeIconLayouts(bytes, read));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[1].width, 1280);
  EXPECT_TRUE(SamePlaces(read[0].places, layouts[0].places));
  EXPECT_TRUE(SamePlaces(read[1].places, layouts[1].places));
}

TEST(IconLayoutFile, ReadsAnEditorsMarkLoneLineFeedsAndNothing) {
  IconLayouts read{{1, 1, {}}};
  ASSERT_TRUE(DecodeIconLayouts("", read));
  EXPECT_TRUE(read.empty());
  ASSERT_TRUE(DecodeIconLayouts("\xEF\xBB\xBF[8x6]\n\n1\t2\tx", read));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_TRUE(SamePlaces(read[0].places, {Place(u"x", 1, 2)}));
}

TEST(IconLayoutFile, LabelsUpToTheLimitOnly) {
  const std::u16string longest(kMaxIconLabel, u'あ');
  IconLayouts read;
  ASSERT_TRUE(DecodeIconLayouts(EncodeIconLayouts({{2, 2, {Place(longest, 0, 0)}}}), read));
  EXPECT_EQ(read[0].places[0].label, longest);
  EXPECT_FALSE(DecodeIconLayouts(EncodeIconLayouts({{2, 2, {Place(longest + u"x", 0, 0)}}}), read));
}

TEST(IconLayoutFile, ABadFileGivesNoLayouts) {
  for (const std::string bad :
       {"1\t2\tbefore any size\r\n"s, "[0x5]\r\n"s, "[5x]\r\n"s, "[5x5]\r\n[5x5]\r\n"s,
        "[5x5]\r\n1\t2\r\n"s, "[5x5]\r\n1\tb\tx\r\n"s, "[5x5]\r\n1\t2\t\\q\r\n"s,
        "[5x5]\r\n1\t2\t\\u12\r\n"s, "[5x5]\r\n1\t2\t\xC0\x80\r\n"s,
        "[5x5]\r\n1\t2\t\xED\xA0\x80\r\n"s, "[5x5]\r\n1\t2\t\xE3\x81\r\n"s,
        "[5x5]\r\n1\t2\ta\x01\r\n"s, "[5x5]\r\n99999999999\t2\tx\r\n"s,
        "[5x5]\r\n2147483648\t2\tx\r\n"s}) {
    IconLayouts read{{1, 1, {}}};
    EXPECT_FALSE(DecodeIconLayouts(bad, read)) << bad;
    EXPECT_TRUE(read.empty()) << bad;
  }
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
  const IconLayout layout{800,
                          600,
                          {Place(u"a", 10, 10), Place(u"b", 20, 20), Place(u"a", 30, 30),
                           Place(u"gone", 40, 40), Place(u"c", 5, 5)}};
  const std::vector<IconPlace> icons{Place(u"a", 0, 0), Place(u"new", 1, 1), Place(u"a", 0, 0),
                                     Place(u"c", 5, 5), Place(u"b", 2, 2),   Place(u"a", 9, 9)};
  const std::vector<IconMove> moves = PlanIconMoves(layout, icons);
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

TEST(IconLayouts, OnePerScreenSizeTheLatestKept) {
  IconLayouts layouts;
  RememberLayout(layouts, {800, 600, false, {Place(u"a", 1, 1)}});
  RememberLayout(layouts, {1024, 768, false, {Place(u"a", 2, 2)}});
  RememberLayout(layouts, {800, 600, false, {Place(u"a", 3, 3)}});
  ASSERT_EQ(layouts.size(), 2u);
  ASSERT_NE(LayoutFor(layouts, 800, 600), nullptr);
  EXPECT_EQ(LayoutFor(layouts, 800, 600)->places[0].x, 3);
  EXPECT_EQ(LayoutFor(layouts, 1024, 768)->places[0].x, 2);
  EXPECT_EQ(LayoutFor(layouts, 600, 800), nullptr);
}

TEST(ScreenSizeWatch, ANewSizeCountsOnceItHasSettled) {
  ScreenSizeWatch watch(2);
  EXPECT_FALSE(watch.Tick(800, 600)) << "the size at start is no change";
  EXPECT_FALSE(watch.Tick(640, 480));
  EXPECT_FALSE(watch.Tick(800, 600)) << "back before it settled";
  EXPECT_FALSE(watch.Tick(800, 600));
  EXPECT_FALSE(watch.Tick(1024, 768));
  EXPECT_FALSE(watch.Tick(1024, 768));
  EXPECT_TRUE(watch.Tick(1024, 768));
  EXPECT_FALSE(watch.Tick(1024, 768)) << "once";
  EXPECT_FALSE(watch.Tick(800, 600));
  EXPECT_FALSE(watch.Tick(800, 600));
  EXPECT_TRUE(watch.Tick(800, 600)) << "and back again";
}

}  // namespace
