// The selected text of the program in front, taken without harm to it: copy messages, the copy
// key only where it is safe, the clipboard read once the copier lets go.
#include "tests/e2e/actions/actions_e2e.h"

namespace {

TEST_F(ActionsE2E, SelectedTextOfAnotherProgramIsPassedAlong) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_;
  KeyRecord withSelection = run;
  withSelection.textOption = 2;
  StartWith({run, withSelection});
  ASSERT_NE(ForegroundRecorder(1), nullptr);
  Press(2);
  const auto starts = WaitForStarts(2);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[1], "start|" + recorder_ + " selected words|" + recorderFolder_);
  EXPECT_EQ(ClipboardText(), "selected words") << "the copied selection stays on the clipboard";
  EXPECT_EQ(CPresses(), std::vector<std::string>{}) << "the copy messages were enough";
}

// A program with nothing selected copies nothing on Ctrl+C either: the clipboard's earlier text
// goes along.
TEST_F(ActionsE2E, NothingSelectedInAProgramThatCopiesOnCtrlCGivesTheEarlierText) {
  KeyRecord capture = Record(VK_F6, recorder_);
  capture.textOption = 2;
  StartWith({Record(VK_F5, recorder_ + " /keycopy /noselection"), capture});
  ASSERT_NE(ForegroundRecorder(1), nullptr);
  ASSERT_TRUE(PutClipboardText("before"));
  Press(2);
  const auto starts = WaitForStarts(2);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts.back(), "start|" + recorder_ + " before|" + recorderFolder_);
  EXPECT_EQ(CPresses(), std::vector<std::string>{"key|43|ctrl"}) << "Ctrl+C was tried";
}

// A console takes WM_CHAR 3 and Ctrl+C for ^C, and an editor copies the whole line on Ctrl+C with
// nothing selected: without a known selection neither gets a key, and the clipboard stays.
TEST_F(ActionsE2E, WhereCtrlCIsNoPlainCopyNothingIsPressedWithoutAKnownSelection) {
  struct Case {
    const char* mode;
    std::vector<std::string> copyMessages;
  };
  const Case cases[] = {
      {" /class:ConsoleWindowClass /keycopy", {}},
      {" /class:PX_WINDOW_CLASS /keycopy /noselection /linecopy",
       {"command|focus|E122|0", "char|focus|3|2E0001"}},
  };
  StartCapturing({cases[0].mode, cases[1].mode});
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(cases[i].mode);
    EXPECT_EQ(CaptureFrom(i + 2), "before");
    EXPECT_EQ(ClipboardText(), "before");
    EXPECT_EQ(CPresses(), std::vector<std::string>{});
    EXPECT_EQ(CopyMessages(), cases[i].copyMessages);
    CloseRecorders();
    DeleteFileA(logPath_.c_str());
  }
}

// A copier that holds the clipboard open a while after emptying it is waited for.
TEST_F(ActionsE2E, TheClipboardIsReadOnceTheCopierHasLetGoOfIt) {
  StartCapturing({" /keycopy /slowcopy"});
  EXPECT_EQ(CaptureFrom(2), "browser words");
}

// Keys held past the wait: the key press is given up (no key of the user's is let go of), and the
// capture still ends within its bound.
TEST_F(ActionsE2E, KeysHeldPastTheWaitGiveUpTheKeyPress) {
  KeyRecord capture = Record(VK_F6, "no-such-program.exe");
  capture.textOption = 2;
  KeyRecord mark = Entry(4, VK_F7);
  mark.message = kRecorderMessage;
  StartWith({Record(VK_F5, recorder_ + " /keycopy /noselection"), capture, mark});
  ASSERT_NE(ForegroundRecorder(1), nullptr);
  // A mark reaches the target once Tavolet has finished what came before it.
  auto marked = [&](size_t count) {
    return WaitFor([&] { return LinesStartingWith("window|").size() >= count; }, 8000);
  };
  Press(3);
  ASSERT_TRUE(marked(1));
  HoldKeys({VK_CONTROL, VK_MENU, VK_SHIFT});
  const DWORD pressed = GetTickCount();
  Press(2);
  Press(3);
  ASSERT_TRUE(marked(2));
  // A start waits 500 ms for the program's window, also when there is none.
  EXPECT_LT(GetTickCount() - pressed, kKeyReleaseWaitMs + 500u + 500u);
  EXPECT_EQ(CPresses(), std::vector<std::string>{});
}

// The focused control decides which copy messages go where; a control that copies nothing
// leaves the clipboard's earlier text as the result.
TEST_F(ActionsE2E, CopyMessagesFollowTheFocusedControl) {
  struct Case {
    const char* mode;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {" /ie", {"command|focus|1000F|0"}},
      {" /rich", {"command|main|E122|0"}},
      {" /plain", {"command|focus|E122|0", "char|focus|3|2E0001"}},
  };
  KeyRecord capture = Entry(1, VK_F6);
  capture.target = recorder_;
  capture.textOption = 2;
  std::vector<KeyRecord> entries = {capture};
  for (const Case& c : cases) {
    KeyRecord start = Entry(1, VK_F7 + static_cast<UINT>(entries.size()));
    start.target = recorder_ + c.mode;
    entries.push_back(start);
  }
  StartWith(entries);
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].mode);
    ASSERT_TRUE(PutClipboardText("before"));
    const size_t startsBefore = Starts().size();
    ASSERT_NE(ForegroundRecorder(static_cast<int>(i) + 2), nullptr);
    Press(1);
    const auto starts = WaitForStarts(startsBefore + 2);
    ASSERT_EQ(starts.size(), startsBefore + 2);
    EXPECT_EQ(starts.back(), "start|" + recorder_ + " before|" + recorderFolder_);
    EXPECT_EQ(CopyMessages(), cases[i].expected);
    CloseRecorders();
    DeleteFileA(logPath_.c_str());
  }
}

// A program that stops answering the copy messages holds Tavolet up for a few seconds at most.
TEST_F(ActionsE2E, AHungProgramCannotFreezeTheCapture) {
  KeyRecord capture = Entry(1, VK_F6);
  capture.target = recorder_;
  capture.textOption = 2;
  KeyRecord hung = Entry(1, VK_F7);
  hung.target = recorder_ + " /hang";
  StartWith({capture, hung});
  ASSERT_TRUE(PutClipboardText("before"));
  ASSERT_NE(ForegroundRecorder(2), nullptr);
  const DWORD pressed = GetTickCount();
  Press(1);
  const auto starts = WaitForStarts(2, 12000);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_LT(GetTickCount() - pressed, 8000u) << "the copy messages are bounded";
  EXPECT_EQ(starts.back(), "start|" + recorder_ + " before|" + recorderFolder_);
}

// The stand-in for the system's UI Automation client is registered, so the recorder can say
// whether it has a selection.
class SelectionQuestionE2E : public ActionsE2E {
 protected:
  void SetUp() override {
    ActionsE2E::SetUp();
    const std::string server = ProgramFolder() + "uia_standin.dll";
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kServer, nullptr, REG_SZ, server.c_str(),
                              static_cast<DWORD>(server.size() + 1)),
              ERROR_SUCCESS);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kServer, "ThreadingModel", REG_SZ, "Both", 5);
  }
  void TearDown() override {
    ActionsE2E::TearDown();
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kClass);
  }
  static constexpr const char* kClass =
      "Software\\Classes\\CLSID\\{FF48DBA4-60EF-4201-AA87-54103EEF594E}";
  static constexpr const char* kServer =
      "Software\\Classes\\CLSID\\{FF48DBA4-60EF-4201-AA87-54103EEF594E}\\InprocServer32";
};

// Neither the copy messages nor Ctrl+C reach a terminal; its known selection is copied with
// Ctrl+Insert.
TEST_F(SelectionQuestionE2E, ATerminalsSelectionIsCopiedWithCtrlInsert) {
  StartCapturing({" /class:CASCADIA_HOSTING_WINDOW_CLASS /keycopy /terminal /uia"});
  EXPECT_EQ(CaptureFrom(2), "browser words");
  EXPECT_EQ(LinesStartingWith("key|2D|"), std::vector<std::string>{"key|2D|ctrl"});
  EXPECT_EQ(CPresses(), std::vector<std::string>{});
  EXPECT_EQ(CopyMessages(), std::vector<std::string>{});
}

// A program that says it has nothing selected gets no key: the clipboard stays as it was.
TEST_F(SelectionQuestionE2E, NothingSelectedByItsOwnAnswerGetsNoKeyPress) {
  StartCapturing({" /keycopy /noselection /uia"});
  EXPECT_EQ(CaptureFrom(2), "before");
  EXPECT_EQ(CPresses(), std::vector<std::string>{});
}

// A program that never answers the question holds the capture for the question's bound only;
// with no answer, Ctrl+C goes where it copies nothing without a selection.
TEST_F(SelectionQuestionE2E, AnUnansweredQuestionHoldsTheCaptureForItsBoundOnly) {
  StartCapturing({" /keycopy /uiahang"});
  DWORD captureMs = 0;
  EXPECT_EQ(CaptureFrom(2, &captureMs), "browser words");
  EXPECT_LT(captureMs, 5000u) << "the question hangs for 10 s";
}

}  // namespace
