// An owner-drawn button showing a colour: its face filled with faceColor, its caption in
// labelColor with a shadow.
#pragma once

#include "framework/wnd.h"

class CColorButton : public CWnd {
 public:
  COLORREF labelColor = 0x00000000;
  COLORREF faceColor = 0x00C0C0C0;

 protected:
  bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void DrawItem(const DRAWITEMSTRUCT& item);
};
