// Corvane's stored values: construction, the setters while detached, the resolved selection.
#include <windows.h>
#include <gtest/gtest.h>

#include "corvane/desktop_hook.h"

namespace {

LRESULT CALLBACK SomeProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, m, wp, lp);
}

TEST(DesktopHookValues, ConstructionSetsTheDefaults) {
  CDesktopHook::state = 5;
  CDesktopHook::textColor = 1;
  CDesktopHook hook;
  EXPECT_EQ(hook.GetState(), 0);
  EXPECT_EQ(CDesktopHook::textColor, 0x00FFFFFFu);
  EXPECT_EQ(CDesktopHook::textBdColor, 0x00000000u);
  EXPECT_EQ(CDesktopHook::bkColor, DH_COLOR_NONE);
  EXPECT_EQ(CDesktopHook::selColor, DH_COLOR_AUTO);
  EXPECT_EQ(CDesktopHook::desktop, nullptr);
}

TEST(DesktopHookValues, SettersStoreAndSayNothingWasRepaintedWhileDetached) {
  CDesktopHook hook;
  EXPECT_FALSE(hook.SetState(1));
  EXPECT_EQ(hook.GetState(), 1);
  EXPECT_FALSE(hook.SetColors(0x010203, 0x040506, DH_COLOR_NONE, DH_COLOR_AUTO));
  unsigned long text, outline, background, selection;
  hook.GetColors(text, outline, background, selection);
  EXPECT_EQ(text, 0x010203u);
  EXPECT_EQ(outline, 0x040506u);
  EXPECT_EQ(background, DH_COLOR_NONE) << "reserved values come back as stored";
  EXPECT_EQ(selection, GetSysColor(COLOR_HIGHLIGHT)) << "automatic selection resolved";
  EXPECT_EQ(CDesktopHook::selColor, DH_COLOR_AUTO) << "the stored value stays automatic";
}

}  // namespace

namespace {

TEST(DesktopHookGuards, RefusalsThatTouchNothing) {
  CDesktopHook hook;
  EXPECT_FALSE(hook.Release()) << "nothing attached";
  EXPECT_FALSE(hook.Attached());

  // A desktop window chain of this process's own, so the search succeeds.
  for (const char* name : {"Progman", "SHELLDLL_DefView"}) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &SomeProcedure;
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
  }
  HWND progman = CreateWindowExA(0, "Progman", "Program Manager", WS_POPUP, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
  HWND view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD, 0, 0, 100, 100, progman, nullptr,
                              nullptr, nullptr);
  HWND list = CreateWindowExA(0, "SysListView32", "", WS_CHILD, 0, 0, 100, 100, view, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(list, nullptr);
  // While the handshake event exists another attach or detach is under way.
  HANDLE busy = CreateEventA(nullptr, TRUE, FALSE, "SetWndLng");
  ASSERT_NE(busy, nullptr);
  EXPECT_FALSE(hook.Init());
  EXPECT_EQ(CDesktopHook::hook, nullptr) << "no hook was installed";
  CloseHandle(busy);
  CDesktopHook::desktop = nullptr;
  DestroyWindow(progman);
}

}  // namespace

#include <commctrl.h>

#include <thread>
#include <vector>

#include "tests/support/desktop_thread.h"
#include "tests/support/screen_capture.h"

namespace {

TEST(DesktopHookHandshake, SubclassInstalledAndRemovedThroughTheListViewsThread) {
  DesktopThread desktop;
  CDesktopHook hook;
  const LONG_PTR ownProcedure = GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC);
  ASSERT_TRUE(hook.Init()) << "the event was set within the wait";
  EXPECT_EQ(CDesktopHook::desktop, desktop.list());
  EXPECT_NE(CDesktopHook::hook, nullptr);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(CDesktopHook::orgWindowProcList), ownProcedure);
  EXPECT_NE(GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC), ownProcedure) << "subclassed";
  EXPECT_FALSE(hook.Init()) << "refused while a subclass is recorded";
  EXPECT_TRUE(hook.SetState(0)) << "repainted at once while attached";
  ASSERT_TRUE(hook.Release());
  EXPECT_EQ(GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC), ownProcedure) << "restored";
  EXPECT_EQ(CDesktopHook::orgWindowProcList, nullptr);
  EXPECT_EQ(CDesktopHook::hook, nullptr);
  EXPECT_EQ(CDesktopHook::desktop, nullptr);
  EXPECT_FALSE(hook.Release()) << "nothing left to release";
}

// Requests for another window of the thread are not the list view's.
TEST(DesktopHookHandshake, AStrayRequestLeavesTheListViewAlone) {
  DesktopThread desktop;
  CDesktopHook hook;
  ASSERT_TRUE(hook.Init());
  PostMessageW(desktop.progman(), WM_DESKTOPHOOK_SUBCLASS, 0, 0);
  desktop.Sync();
  EXPECT_TRUE(hook.Attached()) << "another window's message";
  EXPECT_TRUE(hook.Release());
}

int ItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

void AddItem(HWND list) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.pszText = const_cast<wchar_t*>(L"item");
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

// A Tavolet that ended while attached left the subclass; a new one (its hook and list view
// unknown) takes it over instead of subclassing it again on top of itself.
TEST(DesktopHookHandshake, ASubclassLeftBehindIsTakenOverNotStacked) {
  DesktopThread desktop;
  AddItem(desktop.list());
  const LONG_PTR ownProcedure = GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC);
  CDesktopHook hook;
  ASSERT_TRUE(hook.Init());
  UnhookWindowsHookEx(CDesktopHook::hook);  // as the end of its process does
  CDesktopHook::hook = nullptr;
  CDesktopHook::desktop = nullptr;
  ASSERT_TRUE(hook.Init());
  EXPECT_EQ(ItemCount(desktop.list()), 1) << "the list view's own procedure still answers";
  ASSERT_TRUE(hook.Release());
  EXPECT_EQ(GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC), ownProcedure);
}

WNDPROC laterProcedure = nullptr;
LRESULT CALLBACK LaterSubclass(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(laterProcedure, w, m, wp, lp);
}

// Another program subclassed the list view after Corvane: the removal leaves it on top, and
// when it lets go later the list view still reaches its own procedure.
TEST(DesktopHookHandshake, ARemovalUnderAnotherSubclassLeavesAPassThrough) {
  DesktopThread desktop;
  AddItem(desktop.list());
  const LONG_PTR ownProcedure = GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC);
  CDesktopHook hook;
  ASSERT_TRUE(hook.Init());
  laterProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(desktop.list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterSubclass)));
  ASSERT_TRUE(hook.Release());
  EXPECT_EQ(GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(&LaterSubclass))
      << "the later subclass stays on top";
  EXPECT_EQ(ItemCount(desktop.list()), 1);
  SetWindowLongPtrW(desktop.list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(laterProcedure));
  EXPECT_EQ(ItemCount(desktop.list()), 1) << "forwarded to its own, not to DefWindowProc";
  ASSERT_TRUE(hook.Init()) << "the pass-through takes up its work again";
  ASSERT_TRUE(hook.Release());
  EXPECT_EQ(GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC), ownProcedure);
}

TEST(DesktopHookHandshake, ASecondInitWhileOneWaitsIsRefused) {
  DesktopThread desktop;
  CDesktopHook first;
  desktop.Stall(1500);
  bool firstResult = false;
  std::thread waiting([&] { firstResult = first.Init(); });
  for (int tries = 0; tries < 500; ++tries) {  // until the first one's handshake is under way
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, L"SetWndLng");
    if (event) {
      CloseHandle(event);
      break;
    }
    Sleep(10);
  }
  CDesktopHook second_handle_only(first);  // a copy: resets nothing
  EXPECT_FALSE(second_handle_only.Init()) << "the handshake event exists";
  waiting.join();
  EXPECT_TRUE(firstResult);
  EXPECT_TRUE(first.Release());
}

// The side that answered may still hold the signalled event when the next request begins.
TEST(DesktopHookHandshake, AnAnswerStillBeingDeliveredDoesNotRefuseTheNext) {
  DesktopThread desktop;
  CDesktopHook hook;
  HANDLE answered = CreateEventW(nullptr, TRUE, TRUE, L"SetWndLng");
  ASSERT_NE(answered, nullptr);
  std::thread closer([answered] {
    Sleep(50);
    CloseHandle(answered);
  });
  EXPECT_TRUE(hook.Init());
  closer.join();
  EXPECT_TRUE(hook.Release());
}

}  // namespace

// --- painting -------------------------------------------------------------------------------

namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128), kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0);
const wchar_t kLongLabel[] =
    L"とても長い名前のファイル - a label long enough to wrap over several lines.txt";

// The list view's own procedure as Corvane finds it: it counts what the painting asks of it.
WNDPROC listOwn = nullptr;
int itemQueries = 0;
int screenErases = 0;
int bufferErases = 0;  // one for each of Corvane's paints
LRESULT CALLBACK CountingOwnProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == LVM_GETITEMW) ++itemQueries;
  if (m == WM_ERASEBKGND) {
    ++(GetObjectType(reinterpret_cast<HDC>(wp)) == OBJ_MEMDC ? bufferErases : screenErases);
  }
  return CallWindowProcW(listOwn, w, m, wp, lp);
}

class LabelPainting : public ::testing::Test {
 protected:
  void SetUp() override {
    SetWindowPos(desktop_.progman(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    list_ = desktop_.list();
    listOwn = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingOwnProcedure)));
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfQuality = NONANTIALIASED_QUALITY;  // glyphs of whole pixels: exact shapes
    font_ = CreateFontIndirectW(&font);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    SendMessageW(list_, LVM_SETBKCOLOR, 0, kNavy);
    images_ = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 0);
    ImageList_AddIcon(images_, LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));
    SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
    hook_.SetColors(kWhite, kRed, DH_COLOR_NONE, DH_COLOR_AUTO);
    hook_.SetState(1);
  }
  void TearDown() override {
    hook_.Release();
    hook_.SetState(0);
    DeleteObject(font_);
  }
  HIMAGELIST images_ = nullptr;
  void Add(const wchar_t* label) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<wchar_t*>(label);
    SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  RECT ItemRect(int index, int part) const {
    RECT r{};
    r.left = part;
    SendMessageW(list_, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  // The pixels of a rectangle of the list view as painted on the screen.
  std::vector<COLORREF> Painted(const RECT& r) const {
    RECT screen = r;
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    std::vector<uint8_t> rgb;
    EXPECT_TRUE(CaptureScreenRgb(screen, rgb));
    std::vector<COLORREF> pixels;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
      pixels.push_back(RGB(rgb[i], rgb[i + 1], rgb[i + 2]));
    return pixels;
  }

  DesktopThread desktop_;
  CDesktopHook hook_;
  HWND list_ = nullptr;
  HFONT font_ = nullptr;
};

// The label drawn the plain way: nine passes of the one text, outline first.
std::vector<COLORREF> NinePasses(HFONT font, const RECT& label, const wchar_t* text) {
  const int width = label.right - label.left, height = label.bottom - label.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SetWindowOrgEx(dc, label.left, label.top, nullptr);
  HBRUSH navy = CreateSolidBrush(kNavy);
  FillRect(dc, &label, navy);
  SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  IntersectClipRect(dc, label.left, label.top, label.right, label.bottom);
  const UINT format = DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS;
  SetTextColor(dc, kRed);
  const int offsets[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
  for (const auto& o : offsets) {
    RECT pass = label;
    OffsetRect(&pass, o[0], 1 + o[1]);
    DrawTextW(dc, text, -1, &pass, format);
  }
  SetTextColor(dc, kWhite);
  RECT last = label;
  OffsetRect(&last, 0, 1);
  DrawTextW(dc, text, -1, &last, format);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, label.left + x, label.top + y));
  }
  SelectObject(dc, old);
  DeleteObject(navy);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

TEST_F(LabelPainting, EveryPassDrawsTheSameTextAndTheOutlineIsTheTextGrownByOnePixel) {
  Add(kLongLabel);
  ASSERT_TRUE(hook_.Init());
  RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const RECT label = ItemRect(0, LVIR_LABEL);
  const int width = label.right - label.left, height = label.bottom - label.top;
  ASSERT_GT(height, 20) << "a label over several lines: " << label.left << "," << label.top << " "
                        << width << "x" << height;
  const std::vector<COLORREF> painted = Painted(label);
  ASSERT_EQ(painted.size(), static_cast<size_t>(width * height));
  EXPECT_TRUE(painted == NinePasses(font_, label, kLongLabel)) << "as nine plain passes";
  auto text = [&](int x, int y) { return painted[y * width + x] == kWhite; };
  int wrong = 0, outline = 0;
  for (int y = 1; y + 1 < height; ++y) {
    for (int x = 1; x + 1 < width; ++x) {
      bool nearText = false;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) nearText = nearText || text(x + dx, y + dy);
      }
      const bool isOutline = painted[y * width + x] == kRed;
      outline += isOutline;
      if (isOutline != (nearText && !text(x, y))) ++wrong;
    }
  }
  EXPECT_GT(outline, 100);
  EXPECT_EQ(wrong, 0) << "outline pixels off the text's shape grown by one pixel";
}

// Redraws (the area, or all) until Corvane has painted at least once: a window Wine is still
// showing may let the first request pass. The counters then hold what those paints asked.
void RedrawUntilPainted(HWND list, const RECT* area) {
  for (int tries = 0; tries < 50; ++tries) {
    itemQueries = screenErases = bufferErases = 0;
    RedrawWindow(list, area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    if (bufferErases > 0) return;
    Sleep(20);
  }
}

TEST_F(LabelPainting, OnlyItemsInTheUpdateRegionAreDrawnOffTheScreen) {
  for (int i = 0; i < 4; ++i) Add(L"item");
  ASSERT_TRUE(hook_.Init());
  // The list view may paint twice when it lays out new items: counted per paint.
  RedrawUntilPainted(list_, nullptr);
  ASSERT_GE(bufferErases, 1);
  EXPECT_EQ(itemQueries, 4 * bufferErases) << "every item once a paint";
  EXPECT_EQ(screenErases, 0) << "the background is erased into the buffer, not on the screen";
  const RECT one = ItemRect(3, LVIR_BOUNDS);
  RedrawUntilPainted(list_, &one);
  ASSERT_GE(bufferErases, 1);
  EXPECT_EQ(itemQueries, bufferErases) << "items outside the update region cost nothing";
}

}  // namespace
