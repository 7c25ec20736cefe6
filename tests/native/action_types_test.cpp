#include "hotkeys/action_types.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

TEST(ActionTypes, NamesAreShiftJisInValueOrder) {
  EXPECT_EQ(ActionTypeName(static_cast<int32_t>(ActionType::RunProgram)),
            "\x83\x41\x83\x76\x83\x8A\x82\xF0\x8E\xC0\x8D\x73"s);
  EXPECT_EQ(ActionTypeName(static_cast<int32_t>(ActionType::OpenUrl)),
            "URL\x82\xF0\x8A\x4A\x82\xAD"s);
  EXPECT_EQ(ActionTypeName(static_cast<int32_t>(ActionType::SendThreadMessage)),
            "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57\x91\x97\x90\x4D(Thread)"s);
  EXPECT_EQ(ActionTypeName(static_cast<int32_t>(ActionType::VolumeUp)),
            "\x89\xB9\x97\xCA"
            "UP"s);
  EXPECT_EQ(ActionTypeName(static_cast<int32_t>(ActionType::ScreenSaverToggle)),
            "\x83\x58\x83\x4E\x83\x8A\x81\x5B\x83\x93\x83\x5A\x81\x5B\x83\x6F\x8C\x6E"
            "ON/OFF"s);
  EXPECT_EQ(ActionTypeName(static_cast<int32_t>(ActionType::RememberIconPositions)),
            "\x83\x41\x83\x43\x83\x52\x83\x93\x88\xCA\x92\x75\x82\xCC\x8B\x4C\x89\xAF"s);
  EXPECT_EQ(ActionTypeName(static_cast<int32_t>(ActionType::RestoreIconPositions)),
            "\x83\x41\x83\x43\x83\x52\x83\x93\x88\xCA\x92\x75\x82\xCC\x95\x9C\x8B\x41"s);
  EXPECT_EQ(
      ActionTypeName(static_cast<int32_t>(ActionType::FrontProgramVolumeUp)),
      "\x91\x4F\x96\xCA\x83\x41\x83\x76\x83\x8A\x82\xCC\x89\xB9\x97\xCA\x82\xF0\x8F\xE3\x82\xB0\x82\xE9"s);
  EXPECT_EQ(
      ActionTypeName(static_cast<int32_t>(ActionType::FrontProgramVolumeDown)),
      "\x91\x4F\x96\xCA\x83\x41\x83\x76\x83\x8A\x82\xCC\x89\xB9\x97\xCA\x82\xF0\x89\xBA\x82\xB0\x82\xE9"s);
  EXPECT_EQ(ActionTypeName(static_cast<int32_t>(ActionType::FrontProgramMute)),
            "\x91\x4F\x96\xCA\x83\x41\x83\x76\x83\x8A\x82\xCC\x8F\xC1\x89\xB9"s);
  for (int32_t type = 1; type <= kActionTypeCount; ++type) {
    EXPECT_STRNE(ActionTypeName(type), "") << type;
  }
}

TEST(ActionTypes, OutsideOneToNineteenHasNoName) {
  for (int32_t type : {0, -1, 20, 0x7FFFFFFF}) EXPECT_STREQ(ActionTypeName(type), "") << type;
}

TEST(ActionTypes, OnlyStartingAProgramOrAUrlTakesText) {
  for (int32_t type = 0; type <= kActionTypeCount + 1; ++type) {
    EXPECT_EQ(TakesText(type), type == 1 || type == 2) << type;
  }
}

}  // namespace
