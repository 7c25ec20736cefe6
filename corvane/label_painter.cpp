// The desktop list view painted by Corvane: icons at the image list's own size, labels from
// their wide text in the stored colours.
#include "corvane/desktop_hook.h"

#include <commctrl.h>

#include "corvane/label_colors.h"
#include "corvane/shell_values.h"

#ifndef _WIN64
static_assert(sizeof(LVITEMW) == 60, "the item record the list view is asked with");
#endif

namespace {

constexpr UINT kLabelFormat = DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS | DT_MODIFYSTRING;
// The longest label read; DT_MODIFYSTRING may add up to four characters (the ellipsis and its
// terminator) behind the text it shortens, so the buffer has room for them.
constexpr int kLabelChars = 512;
constexpr int kEllipsisRoom = 4;
using LabelText = wchar_t[kLabelChars + kEllipsisRoom];

struct PaintContext {
  HWND list;
  HDC dc;
  HIMAGELIST images;
  int imageCount;
  int iconWidth, iconHeight;
  LabelColors colors;
};

bool QueryItem(HWND list, int index, LVITEMW& item, LabelText& text) {
  item = LVITEMW{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
  item.iItem = index;
  item.stateMask = LVIS_FOCUSED | LVIS_SELECTED | LVIS_DROPHILITED;
  item.pszText = text;
  item.cchTextMax = kLabelChars;
  text[0] = L'\0';
  const bool got = SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
  // The control may answer with its own buffer instead; the passes rewrite only ours.
  if (got && item.pszText && item.pszText != text) {
    lstrcpynW(text, item.pszText, kLabelChars);
    item.pszText = text;
  }
  text[kLabelChars - 1] = L'\0';
  return got;
}

RECT ItemRect(HWND list, int index, int part) {
  RECT r{};
  r.left = part;
  SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  return r;
}

void FillRect(HDC dc, const RECT& r, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  ::FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void DrawIcon(const PaintContext& p, int index, int image, bool highlighted) {
  const RECT r = ItemRect(p.list, index, LVIR_ICON);
  IMAGELISTDRAWPARAMS draw{};
  draw.cbSize = sizeof draw;
  draw.himl = p.images;
  draw.i = image;
  draw.hdcDst = p.dc;
  // Centred at the image list's size: 48 px and more on current systems and high scaling.
  draw.x = r.left + (r.right - r.left - p.iconWidth) / 2;
  draw.y = r.top + (r.bottom - r.top - p.iconHeight) / 2;
  draw.cx = p.iconWidth;
  draw.cy = p.iconHeight;
  draw.rgbBk = CLR_NONE;
  draw.rgbFg = CLR_DEFAULT;
  draw.fStyle = ILD_ROP | (highlighted ? ILD_BLEND50 : 0);
  draw.dwRop = SRCCOPY;
  ImageList_DrawIndirect(&draw);
}

void DrawItem(const PaintContext& p, int index, const LVITEMW& item, wchar_t* text) {
  const bool highlighted = (item.state & (LVIS_SELECTED | LVIS_DROPHILITED)) != 0;
  if (item.iImage >= 0 && item.iImage < p.imageCount) DrawIcon(p, index, item.iImage, highlighted);
  RECT r = ItemRect(p.list, index, LVIR_LABEL);
  const int saved = SaveDC(p.dc);
  IntersectClipRect(p.dc, r.left, r.top, r.right, r.bottom);
  if (p.colors.background != kColorNone) FillRect(p.dc, r, p.colors.background);
  if (highlighted) {
    FillRect(p.dc, r, p.colors.selection);
    Line(p.dc, r.left, r.bottom - 1, r.left, r.top, p.colors.light);
    Line(p.dc, r.left, r.top, r.right - 1, r.top, p.colors.light);
    Line(p.dc, r.right - 1, r.top, r.right - 1, r.bottom - 1, p.colors.dark);
    Line(p.dc, r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, p.colors.dark);
  }
  if (p.colors.outline != kColorNone) {
    SetTextColor(p.dc, p.colors.outline);
    OffsetRect(&r, 0, 1);
    for (const Offset& o : kOutlineOffsets) {
      RECT pass = r;
      OffsetRect(&pass, o.dx, o.dy);
      DrawTextW(p.dc, text, -1, &pass, kLabelFormat);
    }
  }
  SetTextColor(p.dc, p.colors.text);
  DrawTextW(p.dc, text, -1, &r, kLabelFormat);
  RestoreDC(p.dc, saved);
}

}  // namespace

void CDesktopHook::OnPaintList(HWND list) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(list, &paint);
  SendMessageW(list, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(list));
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
  PaintContext p{list, dc, nullptr, 0, 32, 32, {}};
  p.images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
  p.imageCount = p.images ? ImageList_GetImageCount(p.images) : 0;
  if (p.images) ImageList_GetIconSize(p.images, &p.iconWidth, &p.iconHeight);
  SetBkMode(dc, TRANSPARENT);
  const ShellValues values = CurrentValues();
  p.colors = ResolveLabelColors(values.text, values.outline, values.background, values.selection,
                                GetTextColor(dc), GetBkColor(dc), GetSysColor(COLOR_HIGHLIGHT));
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  int focused = -1;
  LVITEMW item;
  LabelText text;
  for (int i = 0; i < count; ++i) {
    if (!QueryItem(list, i, item, text)) continue;
    if (item.state & LVIS_FOCUSED) {
      focused = i;
      continue;
    }
    DrawItem(p, i, item, text);
  }
  if (focused >= 0 && QueryItem(list, focused, item, text)) DrawItem(p, focused, item, text);
  SelectObject(dc, oldFont);
  SetBkMode(dc, OPAQUE);
  EndPaint(list, &paint);
}
