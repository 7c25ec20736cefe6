// Every dialog's labels, check boxes, radio buttons and push buttons show their whole text in
// their own font, at the DPI of the run (the suite runs at 96 and at 144 DPI).
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/dpi.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// Room a control needs beside its text, in pixels at 96 DPI: a check box or radio button's
// mark and the gap after it, a push button's edges.
int Beside(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      return 8;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return 13 + 6;
    default:
      return -1;  // not a control with a one-line text
  }
}

struct Search {
  unsigned dpi;
  std::vector<std::string> tooNarrow;
};

BOOL CALLBACK CheckControl(HWND control, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  char className[32] = "", text[256] = "";
  GetClassNameA(control, className, sizeof className);
  GetWindowTextA(control, text, sizeof text);
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
  int beside = -1;
  UINT format = DT_CALCRECT | DT_SINGLELINE;
  if (lstrcmpiA(className, "Static") == 0) {
    const DWORD type = style & SS_TYPEMASK;
    if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP ||
        type == SS_SIMPLE) {
      beside = 0;
    }
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  } else if (lstrcmpiA(className, "Button") == 0) {
    beside = Beside(style);
  }
  if (beside < 0 || !*text) return TRUE;
  HDC dc = GetDC(control);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  RECT extent{};
  DrawTextA(dc, text, -1, &extent, format);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  RECT client{};
  GetClientRect(control, &client);
  const int need = extent.right - extent.left + ScaleForDpi(beside, search->dpi);
  if (need > client.right) {
    search->tooNarrow.push_back(std::to_string(GetDlgCtrlID(control)) + " \"" + text + "\" needs " +
                                std::to_string(need) + " px, has " + std::to_string(client.right));
  }
  return TRUE;
}

std::vector<std::string> TooNarrow(UINT dialogId, unsigned* dpi) {
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogId), nullptr,
                                   &QuietDialog, 0);
  if (!dialog) return {"the dialog was not made"};
  Search search{WindowDpi(dialog), {}};
  *dpi = search.dpi;
  EnumChildWindows(dialog, &CheckControl, reinterpret_cast<LPARAM>(&search));
  DestroyWindow(dialog);
  return search.tooNarrow;
}

TEST(DialogTexts, EveryTextFitsItsControl) {
  for (UINT id : {IDD_ABOUT, IDD_MAIN, IDD_HOTKEY_EDIT, IDD_KEY_LIST, IDD_PROPERTIES}) {
    unsigned dpi = 0;
    const std::vector<std::string> tooNarrow = TooNarrow(id, &dpi);
    EXPECT_TRUE(tooNarrow.empty())
        << "dialog " << id << " at " << dpi << " DPI:\n  " << ::testing::PrintToString(tooNarrow);
  }
}

}  // namespace
