#include "app/color_button.h"

#include <string>

#include "app/color_math.h"
#include "framework/ddx.h"
#include "framework/dpi.h"

namespace {

void FillFace(HDC dc, const RECT& r, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Caption(HDC dc, const std::string& text, RECT r, COLORREF color, int offset) {
  OffsetRect(&r, offset, offset);
  const COLORREF previous = SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SetTextColor(dc, previous);
}

}  // namespace

bool CColorButton::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  if (message != WM_DRAWITEM) return false;
  DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
  result = TRUE;
  return true;
}

void CColorButton::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const std::string text = GetWindowTextString(m_hWnd);
  // The shadow's offset and the focus frame's inset are pixels at 96 DPI.
  const unsigned dpi = WindowDpi(m_hWnd);
  const int shadow = ScaleForDpi(1, dpi), inset = ScaleForDpi(4, dpi);
  FillFace(dc, r, faceColor);
  Caption(dc, text, r, ButtonDark(labelColor), shadow);
  Caption(dc, text, r, labelColor, 0);
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  if (item.itemState & ODS_FOCUS) {
    if (item.itemState & ODS_SELECTED) {
      FillFace(dc, r, faceColor);
      Caption(dc, text, r, labelColor, 0);
      DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    }
    RECT focus = r;
    InflateRect(&focus, -inset, -inset);
    DrawFocusRect(dc, &focus);
  } else if (item.itemState & ODS_DISABLED) {
    Caption(dc, text, r, ButtonLight(faceColor), shadow);
    Caption(dc, text, r, ButtonDark60(faceColor), 0);
  }
}
