// The desktop list view painted by Corvane: icons at the image list's own size, labels from
// their wide text in the stored colours. Only the items in the update region are drawn, into
// a buffer that reaches the screen in one transfer, so nothing flickers.
#include "corvane/desktop_hook.h"

#include <commctrl.h>

#include "corvane/label_colors.h"
#include "corvane/shell_values.h"

#ifndef _WIN64
static_assert(sizeof(LVITEMW) == 60, "the item record the list view is asked with");
#endif

namespace {

// A label takes the lines the list view gives it: broken as in an edit control, with no line
// shown in part, the last one that fits ending in an ellipsis when the text goes on. The
// focused label of a focused list view shows whole (its rectangle then holds every line).
// Every pass draws from the one text as the list view keeps it: the ellipsis is the drawing's,
// never written back into the text (where a later pass would lay out something else).
constexpr UINT kLabelFormat = DT_TOP | DT_NOPREFIX | DT_EDITCONTROL | DT_CENTER | DT_WORDBREAK |
                              DT_WORD_ELLIPSIS | DT_END_ELLIPSIS;
constexpr UINT kWholeLabelFormat =
    DT_TOP | DT_NOPREFIX | DT_EDITCONTROL | DT_CENTER | DT_WORDBREAK | DT_NOCLIP;
// The longest label read (the terminator included).
constexpr int kLabelChars = 512;
using LabelText = wchar_t[kLabelChars];

// The GDI objects of one paint, made once for all its items.
struct PaintTools {
  HWND list;
  HDC dc;
  HIMAGELIST images;
  int imageCount;
  int iconWidth, iconHeight;
  LabelColors colors;
  HBRUSH background;  // null: transparent
  HBRUSH selection;
  HPEN light, dark;
  SIZE spacing;
  bool listFocused = false;  // its focused label shows whole
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
  // The control may answer with its own buffer instead.
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

void Line(HDC dc, HPEN pen, int x0, int y0, int x1, int y1) {
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
}

void DrawIcon(const PaintTools& p, int index, int image, bool highlighted) {
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

void DrawItem(const PaintTools& p, int index, const LVITEMW& item, const wchar_t* text) {
  const bool highlighted = (item.state & (LVIS_SELECTED | LVIS_DROPHILITED)) != 0;
  const UINT format =
      (item.state & LVIS_FOCUSED) && p.listFocused ? kWholeLabelFormat : kLabelFormat;
  if (item.iImage >= 0 && item.iImage < p.imageCount) DrawIcon(p, index, item.iImage, highlighted);
  RECT r = ItemRect(p.list, index, LVIR_LABEL);
  const int saved = SaveDC(p.dc);
  IntersectClipRect(p.dc, r.left, r.top, r.right, r.bottom);
  if (p.background) FillRect(p.dc, &r, p.background);
  if (highlighted) {
    FillRect(p.dc, &r, p.selection);
    Line(p.dc, p.light, r.left, r.bottom - 1, r.left, r.top);
    Line(p.dc, p.light, r.left, r.top, r.right - 1, r.top);
    Line(p.dc, p.dark, r.right - 1, r.top, r.right - 1, r.bottom - 1);
    Line(p.dc, p.dark, r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1);
  }
  if (p.colors.outline != kColorNone) {
    SetTextColor(p.dc, p.colors.outline);
    OffsetRect(&r, 0, 1);
    for (const Offset& o : kOutlineOffsets) {
      RECT pass = r;
      OffsetRect(&pass, o.dx, o.dy);
      DrawTextW(p.dc, text, -1, &pass, format);
    }
  }
  SetTextColor(p.dc, p.colors.text);
  DrawTextW(p.dc, text, -1, &r, format);
  RestoreDC(p.dc, saved);
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Draws the item when any of it lies in the update region: the rest costs nothing. Its
// position is cheap to ask for (its rectangles make the list view lay out the label), and but
// for the focused item its place lies within half a spacing left and right of it and two
// spacings below it; only an item whose place reaches over the region's edge is measured.
void DrawItemIfDue(const PaintTools& p, HDC screen, const RECT& area, int index, bool focused) {
  RECT bounds{};
  POINT position{};
  bool measure = focused || !SendMessageW(p.list, LVM_GETITEMPOSITION, index,
                                          reinterpret_cast<LPARAM>(&position));
  if (!measure) {
    bounds = {position.x - p.spacing.cx / 2, position.y, position.x + p.spacing.cx * 3 / 2,
              position.y + p.spacing.cy * 2};
    if (!RectVisible(screen, &bounds)) return;
    measure = !Inside(bounds, area);
  }
  if (measure) {
    // Everything of the item, its outline too, is clipped to these.
    bounds = ItemRect(p.list, index, LVIR_BOUNDS);
    if (!RectVisible(screen, &bounds)) return;
  }
  LVITEMW item;
  LabelText text;
  if (QueryItem(p.list, index, item, text)) DrawItem(p, index, item, text);
}

// A bitmap the size of the update rectangle, addressed in the list view's own coordinates.
class Offscreen {
 public:
  Offscreen(HDC screen, const RECT& area) : area_(area) {
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = dc_ ? CreateCompatibleBitmap(screen, Width(), Height()) : nullptr;
    if (!bitmap_) return;
    old_ = SelectObject(dc_, bitmap_);
    SetWindowOrgEx(dc_, area.left, area.top, nullptr);
  }
  ~Offscreen() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  Offscreen(const Offscreen&) = delete;
  Offscreen& operator=(const Offscreen&) = delete;
  // Null when no bitmap could be made: then the paint goes straight to the screen.
  HDC dc() const { return bitmap_ ? dc_ : nullptr; }
  void ShowOn(HDC screen) const {
    BitBlt(screen, area_.left, area_.top, Width(), Height(), dc_, area_.left, area_.top, SRCCOPY);
  }

 private:
  int Width() const { return area_.right - area_.left; }
  int Height() const { return area_.bottom - area_.top; }
  RECT area_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

void CDesktopHook::OnPaintList(HWND list) {
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(list, &paint);
  if (!screen) return;
  const RECT area = paint.rcPaint;
  if (area.right > area.left && area.bottom > area.top) {
    Offscreen buffer(screen, area);
    HDC dc = buffer.dc() ? buffer.dc() : screen;
    // The background stays the list view's own: it erases into the buffer (the screen's
    // erase was passed over, so nothing shows until the whole picture is ready).
    if (orgWindowProcList) {
      CallWindowProcW(orgWindowProcList, list, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    }
    SendMessageW(list, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(list));
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    PaintTools p{list, dc, nullptr, 0, 32, 32, {}, nullptr, nullptr, nullptr, nullptr, {}};
    p.listFocused = GetFocus() == list;
    const DWORD spacing = static_cast<DWORD>(SendMessageW(list, LVM_GETITEMSPACING, FALSE, 0));
    p.spacing = {LOWORD(spacing), HIWORD(spacing)};
    p.images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    p.imageCount = p.images ? ImageList_GetImageCount(p.images) : 0;
    if (p.images) ImageList_GetIconSize(p.images, &p.iconWidth, &p.iconHeight);
    SetBkMode(dc, TRANSPARENT);
    const ShellValues values = CurrentValues();
    p.colors = ResolveLabelColors(values.text, values.outline, values.background, values.selection,
                                  GetTextColor(dc), GetBkColor(dc), GetSysColor(COLOR_HIGHLIGHT));
    if (p.colors.background != kColorNone) p.background = CreateSolidBrush(p.colors.background);
    p.selection = CreateSolidBrush(p.colors.selection);
    p.light = CreatePen(PS_SOLID, 1, p.colors.light);
    p.dark = CreatePen(PS_SOLID, 1, p.colors.dark);
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    // The focused item is drawn last, over its neighbours.
    const int focused = static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    for (int i = 0; i < count; ++i) {
      if (i != focused) DrawItemIfDue(p, screen, area, i, false);
    }
    if (focused >= 0 && focused < count) DrawItemIfDue(p, screen, area, focused, true);
    SelectObject(dc, oldFont);
    SetBkMode(dc, OPAQUE);
    if (p.background) DeleteObject(p.background);
    DeleteObject(p.selection);
    DeleteObject(p.light);
    DeleteObject(p.dark);
    if (buffer.dc()) buffer.ShowOn(screen);
  }
  SetBkMode(screen, OPAQUE);
  EndPaint(list, &paint);
}
