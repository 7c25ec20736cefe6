#include "actions/launch/copy_keys.h"

#include <gtest/gtest.h>

namespace {

constexpr uint16_t kLCtrl = 0xA2, kInsert = 0x2D;
using Keys = std::vector<KeyEvent>;

ForegroundFacts Program(const char* className, const char* programName = "") {
  return {true, false, false, className, programName};
}

KeyPressWait Answer(Selection selection, bool keysUp, uint32_t elapsedMs = 0) {
  return {selection, false, keysUp, elapsedMs};
}

TEST(CopyKeys, APlainCtrlCOrCtrlInsertAndNothingElse) {
  EXPECT_EQ(
      CopyKeyEvents(CopyKey::CtrlC),
      (Keys{
          {kLCtrl, false, false}, {'C', false, false}, {'C', true, false}, {kLCtrl, true, false}}));
  EXPECT_EQ(CopyKeyEvents(CopyKey::CtrlInsert), (Keys{{kLCtrl, false, false},
                                                      {kInsert, false, true},
                                                      {kInsert, true, true},
                                                      {kLCtrl, true, false}}));
  EXPECT_TRUE(CopyKeyEvents(CopyKey::None).empty());
  EXPECT_EQ(KeysToLetGo(0x75).size(), 9u) << "both sides of the four modifiers and F6";
  EXPECT_EQ(KeysToLetGo(0x75).back(), 0x75);
}

TEST(CopyKeys, EachKindOfProgramByItsClassOrProgram) {
  EXPECT_EQ(KindOf({}), ProgramKind::NoKeys) << "no foreground window";
  EXPECT_EQ(KindOf({true, true, false, "Chrome_WidgetWin_1", ""}), ProgramKind::NoKeys);
  EXPECT_EQ(KindOf({true, false, true, "Chrome_WidgetWin_1", ""}), ProgramKind::NoKeys);
  EXPECT_EQ(KindOf(Program("Shell_TrayWnd")), ProgramKind::NoKeys);
  EXPECT_EQ(KindOf(Program("Chrome_WidgetWin_1", "chrome.exe")), ProgramKind::Ordinary);
  EXPECT_EQ(KindOf(Program("ConsoleWindowClass")), ProgramKind::Terminal);
  EXPECT_EQ(KindOf(Program("cascadia_hosting_window_class")), ProgramKind::Terminal)
      << "class names in any case";
  EXPECT_EQ(KindOf(Program("PuTTY")), ProgramKind::Terminal);
  EXPECT_EQ(KindOf(Program("Chrome_WidgetWin_1", "Tabby.exe")), ProgramKind::Terminal);
  EXPECT_EQ(KindOf(Program("TscShellContainerClass")), ProgramKind::PassesKeysOn);
  EXPECT_EQ(KindOf(Program("Qt5QWindowIcon", "VirtualBoxVM.exe")), ProgramKind::PassesKeysOn);
  EXPECT_EQ(KindOf(Program("Emacs")), ProgramKind::CtrlCCommand);
  EXPECT_EQ(KindOf(Program("Chrome_WidgetWin_1", "Code.exe")), ProgramKind::CopiesUnselected);
  EXPECT_EQ(KindOf(Program("XLMAIN")), ProgramKind::CopiesUnselected);
  EXPECT_EQ(KindOf(Program("Chrome_WidgetWin_1", "code.exe.bak")), ProgramKind::Ordinary);
}

TEST(CopyKeys, NoCopyMessageAndNoCtrlCWhereCtrlCMeansSomethingElse) {
  for (ProgramKind kind :
       {ProgramKind::Terminal, ProgramKind::PassesKeysOn, ProgramKind::CtrlCCommand}) {
    EXPECT_FALSE(TakesCopyMessages(kind));
    EXPECT_NE(CopyKeyOf(kind), CopyKey::CtrlC);
  }
  EXPECT_EQ(CopyKeyOf(ProgramKind::Terminal), CopyKey::CtrlInsert);
  EXPECT_TRUE(TakesCopyMessages(ProgramKind::Ordinary));
  EXPECT_EQ(CopyKeyOf(ProgramKind::NoKeys), CopyKey::None);
}

TEST(CopyKeys, APressOnlyWhereASelectionIsKnownOrCtrlCCopiesNothingWithoutOne) {
  const auto step = [](ProgramKind kind, Selection selection) {
    return NextKeyPressStep(kind, Answer(selection, true));
  };
  EXPECT_EQ(step(ProgramKind::Ordinary, Selection::Unknown), KeyPressStep::Press);
  EXPECT_EQ(step(ProgramKind::Ordinary, Selection::Empty), KeyPressStep::GiveUp);
  EXPECT_EQ(step(ProgramKind::CopiesUnselected, Selection::Unknown), KeyPressStep::GiveUp);
  EXPECT_EQ(step(ProgramKind::CopiesUnselected, Selection::NonEmpty), KeyPressStep::Press);
  EXPECT_EQ(step(ProgramKind::Terminal, Selection::Unknown), KeyPressStep::GiveUp);
  EXPECT_EQ(step(ProgramKind::Terminal, Selection::NonEmpty), KeyPressStep::Press);
  EXPECT_EQ(step(ProgramKind::PassesKeysOn, Selection::NonEmpty), KeyPressStep::GiveUp);
}

TEST(CopyKeys, TheUsersKeysAreWaitedForAndAQuestionLeftOpenCountsAsNoAnswer) {
  EXPECT_EQ(NextKeyPressStep(ProgramKind::Ordinary, Answer(Selection::NonEmpty, false, 900)),
            KeyPressStep::Wait);
  EXPECT_EQ(NextKeyPressStep(ProgramKind::Ordinary,
                             Answer(Selection::NonEmpty, false, kKeyReleaseWaitMs)),
            KeyPressStep::GiveUp)
      << "keys still held: no key-up is ever sent for them";
  EXPECT_EQ(NextKeyPressStep(ProgramKind::Ordinary, Answer(Selection::Empty, false)),
            KeyPressStep::GiveUp)
      << "nothing to wait for";
  const KeyPressWait open{Selection::Unknown, true, true, kSelectionQueryMs - 1};
  EXPECT_EQ(NextKeyPressStep(ProgramKind::Terminal, open), KeyPressStep::Wait);
  const KeyPressWait late{Selection::Unknown, true, true, kSelectionQueryMs};
  EXPECT_EQ(NextKeyPressStep(ProgramKind::Terminal, late), KeyPressStep::GiveUp);
  EXPECT_EQ(NextKeyPressStep(ProgramKind::Ordinary, late), KeyPressStep::Press);
}

TEST(CopyKeys, TheWaitsKeepTheCaptureWithinItsBudget) {
  EXPECT_EQ(CopyWaitMs(0), kCopyWaitMs);
  EXPECT_EQ(CopyWaitMs(kCaptureBudgetMs - 300), 300u);
  EXPECT_EQ(CopyWaitMs(kCaptureBudgetMs - 50), kMinWaitMs) << "a slow answer still gets a wait";
  EXPECT_EQ(ClipboardWaitMs(kKeyReleaseWaitMs), kCaptureBudgetMs - kKeyReleaseWaitMs);
  EXPECT_EQ(ClipboardWaitMs(kCaptureBudgetMs + 5000), kMinWaitMs);
  EXPECT_EQ(CopyWaitMs(ElapsedMs(0xFFFFFFF0u, 0x10u)), kCopyWaitMs) << "the tick count wrapped";
}

}  // namespace
