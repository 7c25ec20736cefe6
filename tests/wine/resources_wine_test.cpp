// Tavolet's resources as the program finds them: templates, menu, string, icons, manifest.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "resources/resource.h"
#include "tests/support/dialog_template.h"

namespace {

std::string ResourceBytes(LPCSTR name, LPCSTR type) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return std::string();
  HGLOBAL loaded = LoadResource(module, found);
  return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
}

DialogTemplate Template(UINT id) {
  const auto parsed = ParseDialogTemplateEx(ResourceBytes(MAKEINTRESOURCEA(id), RT_DIALOG));
  EXPECT_TRUE(parsed) << "dialog " << id;
  return parsed.value_or(DialogTemplate());
}

// The system code page's form of a template text, as the A functions hand it out.
std::string Ansi(const std::u16string& text) {
  char buffer[512] = "";
  WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.c_str()), -1, buffer,
                      sizeof buffer, nullptr, nullptr);
  return buffer;
}

void ExpectPlace(const DialogItem* item, int x, int y, int cx, int cy) {
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->x, x);
  EXPECT_EQ(item->y, y);
  EXPECT_EQ(item->cx, cx);
  EXPECT_EQ(item->cy, cy);
}

TEST(Resources, TheSystemCodePageIsJapanese) { EXPECT_EQ(GetACP(), 932u); }

TEST(Resources, MainDialogTemplate) {
  const DialogTemplate t = Template(IDD_MAIN);
  EXPECT_EQ(t.style, 0x800000C0u);
  EXPECT_EQ(t.exStyle, 0x00040000u);
  EXPECT_EQ(t.cx, 63);
  EXPECT_EQ(t.cy, 28);
  EXPECT_TRUE(t.title.empty());
  EXPECT_EQ(t.pointSize, 9);
  EXPECT_EQ(Ansi(t.typeface), "ＭＳ Ｐゴシック");
  ASSERT_EQ(t.items.size(), 2u);
  ExpectPlace(t.Item(IDOK), 7, 7, 50, 14);
  ExpectPlace(t.Item(IDCANCEL), 7, 7, 50, 14);
  EXPECT_EQ(Ansi(t.Item(IDOK)->text), "OK");
  EXPECT_EQ(t.Item(IDOK)->style & 0xF, static_cast<uint32_t>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(Ansi(t.Item(IDCANCEL)->text), "ｷｬﾝｾﾙ");
  EXPECT_EQ(t.Item(IDCANCEL)->style & 0xF, static_cast<uint32_t>(BS_PUSHBUTTON));
}

TEST(Resources, AboutDialogTemplate) {
  const DialogTemplate t = Template(IDD_ABOUT);
  EXPECT_EQ(t.cx, 235);
  EXPECT_EQ(t.cy, 55);
  EXPECT_EQ(Ansi(t.title), "Tavoletのﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(Ansi(t.typeface), "ＭＳ Ｐゴシック");
  EXPECT_EQ(t.pointSize, 9);
  ASSERT_EQ(t.items.size(), 3u);
  const DialogItem& icon = t.items[0];
  EXPECT_EQ(icon.classOrdinal, 0x82);
  EXPECT_EQ(icon.textOrdinal, IDR_MAINFRAME);
  EXPECT_EQ(icon.style & SS_TYPEMASK, static_cast<uint32_t>(SS_ICON));
  EXPECT_EQ(icon.x, 11);
  EXPECT_EQ(icon.y, 17);
  ExpectPlace(&t.items[1], 40, 10, 119, 8);
  EXPECT_EQ(Ansi(t.items[1].text), "Tavolet Version 1.0");
  ExpectPlace(t.Item(IDOK), 178, 7, 50, 14);
  EXPECT_EQ(t.Item(IDOK)->style & 0xF, static_cast<uint32_t>(BS_DEFPUSHBUTTON));
}

TEST(Resources, NotificationAreaMenu) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_TRAY));
  ASSERT_NE(menu, nullptr);
  char text[64] = "";
  ASSERT_EQ(GetMenuItemCount(menu), 1);
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Context");
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), 4);
  const struct {
    UINT id;
    const char* text;
  } items[] = {{32771, "キーの編集"}, {32775, "プロパティ"}, {0, nullptr}, {57665, "終了"}};
  for (int i = 0; i < 4; ++i) {
    if (!items[i].text) {
      EXPECT_TRUE(GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR);
      continue;
    }
    EXPECT_EQ(GetMenuItemID(popup, i), items[i].id);
    GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, items[i].text);
  }
  DestroyMenu(menu);
}

struct ExpectedItem {
  int id;
  const char* text;  // null: not checked (empty controls)
  int x, y, cx, cy;
};

void ExpectItems(const DialogTemplate& t, const std::vector<ExpectedItem>& items) {
  ASSERT_EQ(t.items.size(), items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    const DialogItem& item = t.items[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(static_cast<int>(static_cast<int16_t>(item.id)), items[i].id);
    if (items[i].text) {
      EXPECT_EQ(Ansi(item.text), items[i].text);
    }
    ExpectPlace(&item, items[i].x, items[i].y, items[i].cx, items[i].cy);
  }
}

TEST(Resources, HotKeyEditDialogTemplate) {
  const DialogTemplate t = Template(129);
  EXPECT_EQ(Ansi(t.title), "ホットキー追加");
  EXPECT_EQ(t.cx, 214);
  EXPECT_EQ(t.cy, 113);
  EXPECT_EQ(Ansi(t.typeface), "ＭＳ Ｐゴシック");
  EXPECT_EQ(t.style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME),
            static_cast<uint32_t>(WS_CAPTION | WS_SYSMENU));
  // The Latin labels reach further left than first drawn, so their texts fit.
  ExpectItems(t, {{1003, "", 42, 7, 80, 14},
                  {1019, "Windowsキー", 129, 9, 55, 10},
                  {1004, "", 43, 24, 120, 223},
                  {1015, "参照", 183, 24, 24, 14},
                  {1014, "", 43, 40, 164, 14},
                  {1005, "引数無し", 7, 57, 42, 10},
                  {1006, "クリップボードのテキスト", 49, 57, 87, 10},
                  {1007, "選択された文字列", 136, 57, 69, 10},
                  {1017, "", 54, 69, 48, 142},
                  {1018, "多重起動しない", 124, 71, 61, 10},
                  {1009, "", 43, 40, 88, 172},
                  {1013, "", 43, 55, 40, 14},
                  {1010, "", 43, 71, 40, 14},
                  {1012, "", 43, 87, 40, 14},
                  {1020, "", 43, 55, 40, 14},
                  {1021, "", 43, 71, 40, 14},
                  {1011, "", 43, 40, 164, 172},
                  {1032, "", 43, 40, 144, 230},
                  {1, "OK", 102, 92, 50, 14},
                  {2, "ｷｬﾝｾﾙ", 157, 92, 50, 14},
                  {-1, "ホットキー", 7, 10, 31, 8},
                  {-1, "タイプ", 20, 26, 18, 8},
                  {1022, "Path/URL", 5, 43, 33, 8},
                  {1023, "文字コード変換", 7, 71, 46, 8},
                  {1024, "プリセット", 11, 42, 29, 8},
                  {1027, "message", 11, 58, 29, 8},
                  {1028, "wParam", 13, 74, 27, 8},
                  {1029, "lParam", 17, 90, 23, 8},
                  {1025, "param1", 13, 58, 26, 8},
                  {1026, "param2", 13, 74, 26, 8},
                  {1030, "種類", 24, 43, 15, 8},
                  {1033, "Action", 17, 43, 21, 8}});
  // Class names are case-insensitive; the resource compiler stores them in capitals.
  EXPECT_EQ(_stricmp(Ansi(t.Item(1003)->className).c_str(), "msctls_hotkey32"), 0);
  EXPECT_EQ(t.Item(1004)->style & 0x3, static_cast<uint32_t>(CBS_DROPDOWNLIST));
  EXPECT_FALSE(t.Item(1004)->style & CBS_SORT);
  EXPECT_EQ(t.Item(1005)->style & 0xF, static_cast<uint32_t>(BS_AUTORADIOBUTTON));
  EXPECT_TRUE(t.Item(1014)->style & ES_AUTOHSCROLL);
}

TEST(Resources, KeyListDialogTemplateAndMenu) {
  const DialogTemplate t = Template(130);
  EXPECT_EQ(Ansi(t.title), "編集");
  // Wider than first drawn, so that all four columns show beside a scroll bar.
  EXPECT_EQ(t.cx, 311);
  EXPECT_EQ(t.cy, 155);
  EXPECT_FALSE(t.style & WS_THICKFRAME) << "no sizing border";
  ExpectItems(t, {{1016, "", 7, 7, 297, 125},
                  {1, "閉じる", 254, 134, 50, 14},
                  {2, "ｷｬﾝｾﾙ", 254, 134, 50, 14}});
  const uint32_t listStyle = t.Item(1016)->style;
  EXPECT_EQ(listStyle & LVS_TYPEMASK, static_cast<uint32_t>(LVS_REPORT));
  EXPECT_TRUE(listStyle & LVS_SINGLESEL);
  EXPECT_TRUE(listStyle & LVS_SHOWSELALWAYS);
  EXPECT_TRUE(listStyle & LVS_SORTASCENDING);
  EXPECT_FALSE(t.Item(2)->style & WS_VISIBLE) << "the hidden Cancel lets Escape close";
  EXPECT_EQ(t.Item(1)->style & 0xF, static_cast<uint32_t>(BS_DEFPUSHBUTTON));

  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(132));
  ASSERT_NE(menu, nullptr);
  char text[64] = "";
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "ListCtrl");
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_EQ(GetMenuItemCount(popup), 3);
  const std::pair<UINT, const char*> items[] = {{32772, "追加"}, {32774, "編集"}, {32773, "削除"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(GetMenuItemID(popup, i), items[i].first);
    GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, items[i].second);
  }
  DestroyMenu(menu);
}

TEST(Resources, PropertiesDialogTemplate) {
  const DialogTemplate t = Template(134);
  EXPECT_EQ(Ansi(t.title), "プロパティ");
  EXPECT_EQ(t.cx, 259);
  EXPECT_EQ(t.cy, 169);
  ExpectItems(t, {{1, "OK", 202, 148, 50, 14},
                  {2, "ｷｬﾝｾﾙ", 149, 148, 50, 14},
                  {1016, "List1", 7, 16, 245, 61},
                  {-1, "", 7, 85, 245, 47},
                  {-1, "", 11, 86, 8, 8},
                  {1038, "デスクトップの文字をカスタマイズ", 13, 85, 109, 10},
                  {1034, "文字", 18, 111, 24, 17},
                  {1035, "縁取り", 52, 111, 24, 17},
                  {1036, "背景", 86, 111, 24, 17},
                  {1037, "選択", 120, 111, 24, 17},
                  {-1, "ウィンドウの記憶／復帰を行わないプログラムパス", 7, 7, 146, 8},
                  {1040, "透過", 86, 99, 26, 10},
                  {1041, "無し", 52, 99, 25, 10}});
  EXPECT_TRUE(t.Item(1016)->exStyle & WS_EX_ACCEPTFILES);
  EXPECT_EQ(t.Item(1016)->style & LVS_TYPEMASK, static_cast<uint32_t>(LVS_REPORT));
  EXPECT_TRUE(t.Item(1016)->style & LVS_SORTASCENDING);
  EXPECT_TRUE(t.Item(1016)->style & LVS_SHOWSELALWAYS);
  EXPECT_EQ(t.items[3].style & 0xF, static_cast<uint32_t>(BS_GROUPBOX));
  EXPECT_EQ(t.Item(1038)->style & 0xF, static_cast<uint32_t>(BS_AUTOCHECKBOX));
}

TEST(Resources, AboutMenuString) {
  char text[128] = "";
  ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUT_MENU, text, sizeof text), 0);
  EXPECT_STREQ(text, "Tavolet のﾊﾞｰｼﾞｮﾝ情報(&A)...");
}

// Each icon group holds 16-colour images for the small-icon sizes of 100 to 300 % scaling,
// the program's icon also its large sizes up to 200 %.
TEST(Resources, IconsHoldEverySizeInSixteenColours) {
  const std::pair<UINT, std::vector<int>> groups[] = {{IDR_MAINFRAME, {16, 20, 24, 32, 40, 48, 64}},
                                                      {IDI_BLOCKED, {16, 20, 24, 32, 40, 48}}};
  for (const auto& [id, sizes] : groups) {
    const std::string group = ResourceBytes(MAKEINTRESOURCEA(id), RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u) << id;
    const size_t count = static_cast<uint8_t>(group[4]);
    ASSERT_EQ(group.size(), 6 + 14 * count) << id;
    std::vector<int> found;
    for (size_t i = 0; i < count; ++i) {
      const char* entry = group.data() + 6 + i * 14;
      found.push_back(static_cast<uint8_t>(entry[0]));
      EXPECT_EQ(static_cast<uint8_t>(entry[2]), 16) << "colour count, icon " << id;
      EXPECT_EQ(static_cast<uint8_t>(entry[6]), 4) << "bits per pixel, icon " << id;
    }
    EXPECT_EQ(found, sizes) << id;
  }
}

TEST(Resources, ManifestAndVersion) {
  const std::string manifest = ResourceBytes(MAKEINTRESOURCEA(1), RT_MANIFEST);
  EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                          "WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"),
            std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                          "WindowsSettings\">true/pm</dpiAware>"),
            std::string::npos);
  EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_FALSE(ResourceBytes(MAKEINTRESOURCEA(1), RT_VERSION).empty());
}

}  // namespace
