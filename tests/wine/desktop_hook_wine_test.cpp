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

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "actions/icon_layouts.h"
#include "corvane/icon_wire.h"

#include "tests/support/screen_capture.h"

namespace {

// A desktop window chain run by a thread of its own, as the shell's would be.
class DesktopThread {
 public:
  DesktopThread() {
    thread_ = std::thread([this] { Run(); });
    while (!ready_) Sleep(10);
  }
  ~DesktopThread() {
    PostMessageA(progman_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  HWND list() const { return list_; }
  HWND progman() const { return progman_; }
  // Keeps the thread busy for a while, so a handshake has to wait.
  void Stall(DWORD ms) { PostMessageA(progman_, WM_APP, ms, 0); }
  // Returns once the thread has retrieved everything posted to it before.
  void Sync() {
    const long before = synced_;
    PostMessageA(progman_, WM_APP + 1, 0, 0);
    while (synced_ == before) Sleep(5);
  }

 private:
  static volatile long synced_;
  static LRESULT CALLBACK ProgmanProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP) Sleep(static_cast<DWORD>(wp));
    if (m == WM_APP + 1) InterlockedIncrement(&synced_);
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(w, m, wp, lp);
  }
  void Run() {
    for (const char* name : {"Progman", "SHELLDLL_DefView"}) {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = &ProgmanProc;
      windowClass.lpszClassName = name;
      RegisterClassA(&windowClass);
    }
    progman_ = CreateWindowExA(0, "Progman", "Program Manager", WS_POPUP, 0, 0, 200, 200, nullptr,
                               nullptr, nullptr, nullptr);
    HWND view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 200,
                                progman_, nullptr, nullptr, nullptr);
    list_ = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 200, 200,
                            view, nullptr, nullptr, nullptr);
    ready_ = true;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  }

  std::thread thread_;
  volatile bool ready_ = false;
  HWND progman_ = nullptr;
  HWND list_ = nullptr;
};

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

volatile long DesktopThread::synced_ = 0;

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
