// Corvane's stored values: construction, the setters while detached, the resolved selection.
#include <windows.h>
#include <gtest/gtest.h>

#include "corvane/desktop_hook.h"

namespace {

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
  EXPECT_EQ(CDesktopHook::hook, nullptr);
}

}  // namespace

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "actions/desktop_icons/icon_layouts.h"
#include "corvane/icon_wire.h"
#include "tests/support/desktop_thread.h"
#include "tests/support/png_writer.h"
#include "tests/support/screen_capture.h"
#include "tests/support/win_test_support.h"

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

// The shell made a second desktop list view and Corvane was asked for it too: the first keeps
// reaching its own procedure, and gets it back at the removal.
TEST(DesktopHookHandshake, ASecondListViewLeavesTheFirstItsOwnProcedure) {
  DesktopThread desktop;
  AddItem(desktop.list());
  const LONG_PTR ownProcedure = GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC);
  CDesktopHook hook;
  ASSERT_TRUE(hook.Init());
  HWND second = desktop.AddListView();
  ASSERT_NE(second, nullptr);
  PostMessageW(second, WM_DESKTOPHOOK_SUBCLASS, 1, 0);
  desktop.Sync();
  ASSERT_EQ(GetWindowLongPtrW(second, GWLP_WNDPROC),
            GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC))
      << "both run Corvane's procedure";
  EXPECT_EQ(ItemCount(desktop.list()), 1) << "the first still reaches its own procedure";
  EXPECT_TRUE(hook.Release());
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
  // Until the first one's request is on its way (its hook is set just before).
  for (int tries = 0; tries < 500 && !CDesktopHook::hook; ++tries) Sleep(10);
  CDesktopHook second_handle_only(first);  // a copy: resets nothing
  EXPECT_FALSE(second_handle_only.Init()) << "one handshake at a time";
  waiting.join();
  EXPECT_TRUE(firstResult);
  EXPECT_TRUE(first.Release());
}

// Another process that made the handshake's bare name first refuses nothing: every request has an
// event of its own.
TEST(DesktopHookHandshake, HandshakeNamesTakenFirstRefuseNothing) {
  DesktopThread desktop;
  CDesktopHook hook;
  HANDLE bare = CreateEventW(nullptr, TRUE, FALSE, L"SetWndLng");
  ASSERT_NE(bare, nullptr);
  EXPECT_TRUE(hook.Init());
  EXPECT_TRUE(hook.Release());
  CloseHandle(bare);
}

// --- the icon list --------------------------------------------------------------------------

// What the list view's thread does on top of Corvane's procedure, as a forger or a strange text
// callback might.
enum class Meddling { ForgedAnswerAfterTheReal, AnswerOverTheBound, LengthBeyondTheText };
Meddling meddling;
WNDPROC corvaneProcedure = nullptr;

void SendAnswer(const IconQuery& asked, HWND list, uint32_t cookie, const std::string& body) {
  std::string bytes(sizeof(IconReply), '\0');
  const IconReply reply{cookie, 0};
  std::memcpy(bytes.data(), &reply, sizeof reply);
  bytes += body;
  COPYDATASTRUCT data{kIconListTag, static_cast<DWORD>(bytes.size()), bytes.data()};
  SendMessageW(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(asked.receiver)), WM_COPYDATA,
               reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&data));
}

std::string ListOfOne(const std::u16string& label) {
  const IconListHeader header{1, 100, 100, 0};
  const IconRecordHeader record{1, 2, static_cast<uint32_t>(label.size())};
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(reinterpret_cast<const char*>(&record), sizeof record);
  bytes.append(reinterpret_cast<const char*>(label.data()), label.size() * 2);
  return bytes;
}

LRESULT CALLBACK MeddlingProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
  if (m == WM_COPYDATA && data && data->dwData == kIconQueryTag &&
      data->cbData == sizeof(IconQuery)) {
    IconQuery asked{};
    std::memcpy(&asked, data->lpData, sizeof asked);
    if (meddling == Meddling::AnswerOverTheBound) {
      SendAnswer(asked, w, asked.cookie, std::string(kMaxIconListBytes + 1, '\0'));
      return 1;
    }
    const LRESULT result = CallWindowProcW(corvaneProcedure, w, m, wp, lp);
    if (meddling == Meddling::ForgedAnswerAfterTheReal) {
      SendAnswer(asked, w, asked.cookie + 1, ListOfOne(u"forged"));
    }
    return result;
  }
  if (m == LVM_GETITEMTEXTW && meddling == Meddling::LengthBeyondTheText) {
    lstrcpynW(reinterpret_cast<LVITEMW*>(lp)->pszText, L"ab", 3);
    return 900;
  }
  return CallWindowProcW(corvaneProcedure, w, m, wp, lp);
}

class IconListReads : public ::testing::Test {
 protected:
  void SetUp() override {
    AddItem(desktop_.list());
    ASSERT_TRUE(hook_.Init());
    corvaneProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        desktop_.list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MeddlingProcedure)));
  }
  void TearDown() override {
    SetWindowLongPtrW(desktop_.list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(corvaneProcedure));
    hook_.Release();
  }
  // What Tavolet takes as the desktop's icons; empty when it took nothing.
  std::vector<std::u16string> Labels() {
    std::string bytes(4096, '\0');
    const unsigned long size = hook_.ReadIcons(bytes.data(), 4096);
    if (size > bytes.size()) return {u"(too large)"};
    bytes.resize(size);
    DesktopIcons icons;
    std::vector<std::u16string> labels;
    if (ParseIconList(bytes, icons)) {
      for (const IconPlace& icon : icons.icons) labels.push_back(icon.label);
    }
    return labels;
  }

  DesktopThread desktop_;
  CDesktopHook hook_;
};

TEST_F(IconListReads, AnAnswerWithoutTheQuerysValueIsIgnored) {
  meddling = Meddling::ForgedAnswerAfterTheReal;
  EXPECT_EQ(Labels(), std::vector<std::u16string>{u"item"});
}

TEST_F(IconListReads, AnAnswerOverTheBoundIsTakenAsNone) {
  meddling = Meddling::AnswerOverTheBound;
  EXPECT_TRUE(Labels().empty());
}

TEST_F(IconListReads, ALabelIsWhatItsTextHoldsWhateverLengthIsAnswered) {
  meddling = Meddling::LengthBeyondTheText;
  EXPECT_EQ(Labels(), std::vector<std::u16string>{u"ab"});
}

}  // namespace

// --- painting -------------------------------------------------------------------------------

namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128), kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0);
const wchar_t kLongLabel[] =
    L"とても長い名前のファイル - a label long enough to wrap over several lines.txt";

// Dresses a list view for exact pixels: glyphs of whole pixels (their shapes whatever the
// colours), a navy background, the application's icon (the list view owns its image list).
// The font is the caller's to delete.
HFONT DressForExactPixels(HWND list) {
  LOGFONTW font{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  font.lfQuality = NONANTIALIASED_QUALITY;
  HFONT wholePixels = CreateFontIndirectW(&font);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(wholePixels), TRUE);
  SendMessageW(list, LVM_SETBKCOLOR, 0, kNavy);
  HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 0);
  ImageList_AddIcon(images, LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  return wholePixels;
}

RECT ItemRectOf(HWND list, int index, int part) {
  RECT r{};
  r.left = part;
  SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  return r;
}

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
    font_ = DressForExactPixels(list_);
    hook_.SetColors(kWhite, kRed, DH_COLOR_NONE, DH_COLOR_AUTO);
    hook_.SetState(1);
  }
  void TearDown() override {
    hook_.Release();
    hook_.SetState(0);
    DeleteObject(font_);
  }
  void Add(const wchar_t* label) { AddLabel(list_, label); }
  RECT ItemRect(int index, int part) const { return ItemRectOf(list_, index, part); }
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
  // The list view's own lines for a label that is not focused.
  const UINT format = DT_TOP | DT_NOPREFIX | DT_EDITCONTROL | DT_CENTER | DT_WORDBREAK |
                      DT_WORD_ELLIPSIS | DT_END_ELLIPSIS;
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

// --- a label's lines ------------------------------------------------------------------------

namespace {

class PaintProbe : public CDesktopHook {
 public:
  using CDesktopHook::OnPaintList;
};

// The list view of the test paints itself, or Corvane paints it, as its subclass would.
WNDPROC probedOwn = nullptr;
bool corvanePaints = false;
LRESULT CALLBACK EitherPainter(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (corvanePaints && m == WM_PAINT) {
    PaintProbe::OnPaintList(w);
    return 0;
  }
  if (corvanePaints && m == WM_ERASEBKGND) return 1;
  return CallWindowProcW(probedOwn, w, m, wp, lp);
}

std::wstring LongJapanese() {
  std::wstring text;
  for (int i = 0; i < 255; ++i) text += static_cast<wchar_t>(L'あ' + i % 80);
  return text;
}

// Short, wrapped, cut, Japanese, mixed-script, 255 characters, and an ampersand.
const std::wstring kLabels[] = {L"ごみ箱",
                                L"マイ コンピュータ",
                                kLongLabel,
                                L"とても長い名前のファイル.txt",
                                L"한국어 Ελληνικά 😀",
                                LongJapanese(),
                                L"R&D notes"};
constexpr int kLabelCount = sizeof kLabels / sizeof kLabels[0];
constexpr COLORREF kGreen = RGB(0, 255, 0);

class LabelLines : public ::testing::Test {
 protected:
  static constexpr int kWidth = 640, kHeight = 720;
  void SetUp() override {
    RegisterHost();
    host_ = CreateWindowExW(WS_EX_TOPMOST, L"LabelLinesHost", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                            kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, kWidth,
                            kHeight, host_, nullptr, nullptr, nullptr);
    ASSERT_NE(list_, nullptr);
    font_ = DressForExactPixels(list_);
    SendMessageW(list_, LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
    SendMessageW(list_, LVM_SETTEXTCOLOR, 0, kWhite);
    for (const std::wstring& label : kLabels) AddLabel(list_, label.c_str());
    probedOwn = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EitherPainter)));
    CDesktopHook::orgWindowProcList = probedOwn;
    hook_.SetColors(kGreen, DH_COLOR_NONE, DH_COLOR_NONE, DH_COLOR_AUTO);
    hook_.SetState(1);
  }
  void TearDown() override {
    if (host_) DestroyWindow(host_);
    CDesktopHook::orgWindowProcList = nullptr;
    if (font_) DeleteObject(font_);
  }
  static void RegisterHost() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.lpszClassName = L"LabelLinesHost";
    RegisterClassW(&windowClass);
  }
  void Select(int index, UINT state) const {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    SendMessageW(list_, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
  }
  RECT Label(int index) const { return ItemRectOf(list_, index, LVIR_LABEL); }
  // The list view as one painter draws it: its client area, as RGB rows.
  std::vector<uint8_t> Painted(bool byCorvane) const {
    corvanePaints = byCorvane;
    RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    std::vector<uint8_t> rgb;
    RECT area{0, 0, kWidth, kHeight};
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&area), 2);
    EXPECT_TRUE(CaptureScreenRgb(area, rgb));
    return rgb;
  }
  // Where in a label's rectangle the text of this colour lies: its pixels, colours aside.
  static std::vector<bool> TextAt(const std::vector<uint8_t>& rgb, const RECT& r, COLORREF text) {
    std::vector<bool> mask;
    for (int y = std::max(0L, r.top); y < std::min<LONG>(kHeight, r.bottom); ++y) {
      for (int x = std::max(0L, r.left); x < std::min<LONG>(kWidth, r.right); ++x) {
        const size_t i = (static_cast<size_t>(y) * kWidth + x) * 3;
        mask.push_back(RGB(rgb[i], rgb[i + 1], rgb[i + 2]) == text);
      }
    }
    return mask;
  }
  // Every label's text pixels as the list view draws them and as Corvane does; the list view
  // draws a selected label of a focused list in the highlight text colour.
  void ExpectTheListViewsLines(const char* how, const char* screenshot = nullptr) const {
    const std::vector<uint8_t> own = Painted(false), corvane = Painted(true);
    const bool focused = GetFocus() == list_;
    LONG bottom = 0;
    for (int i = 0; i < kLabelCount; ++i) {
      bottom = std::max(bottom, Label(i).bottom);
      const bool selected = SendMessageW(list_, LVM_GETITEMSTATE, i, LVIS_SELECTED) != 0;
      const COLORREF ownText = selected && focused ? GetSysColor(COLOR_HIGHLIGHTTEXT) : kWhite;
      const std::vector<bool> ownMask = TextAt(own, Label(i), ownText);
      EXPECT_GT(std::count(ownMask.begin(), ownMask.end(), true), 20) << how << ", label " << i;
      EXPECT_TRUE(ownMask == TextAt(corvane, Label(i), kGreen)) << how << ", label " << i;
    }
    if (screenshot) SaveSideBySide(screenshot, own, corvane, std::min<LONG>(bottom + 8, kHeight));
  }
  // The list view's own drawing on the left, Corvane's on the right: their top rows.
  static void SaveSideBySide(const char* name, const std::vector<uint8_t>& left,
                             const std::vector<uint8_t>& right, int rows) {
    std::vector<uint8_t> sheet;
    for (int y = 0; y < rows; ++y) {
      const auto row = static_cast<size_t>(y) * kWidth * 3;
      sheet.insert(sheet.end(), left.begin() + row, left.begin() + row + kWidth * 3);
      sheet.insert(sheet.end(), 8 * 3, 0x80);
      sheet.insert(sheet.end(), right.begin() + row, right.begin() + row + kWidth * 3);
    }
    std::ofstream(ScreenshotPath(name), std::ios::binary) << EncodePng(kWidth * 2 + 8, rows, sheet);
  }

  HWND host_ = nullptr;
  HWND list_ = nullptr;
  HFONT font_ = nullptr;
  CDesktopHook hook_;
};

TEST_F(LabelLines, EveryLabelHasTheListViewsLinesSelectedOrNot) {
  ASSERT_NE(GetFocus(), list_);
  ExpectTheListViewsLines("none selected", "desktop_labels_list_view_and_corvane");
  Select(-1, LVIS_SELECTED);
  ExpectTheListViewsLines("all selected, the list view without focus");
}

TEST_F(LabelLines, TheFocusedLabelOfAFocusedListViewShowsWholeAsTheListViewShowsIt) {
  SetFocus(list_);
  ASSERT_EQ(GetFocus(), list_);
  for (int i = 0; i < kLabelCount; ++i) {
    Select(i, LVIS_SELECTED | LVIS_FOCUSED);
    const std::string how = "label " + std::to_string(i) + " selected and focused";
    ExpectTheListViewsLines(how.c_str(),
                            i == 5 ? "desktop_label_focused_list_view_and_corvane" : nullptr);
  }
}

}  // namespace
