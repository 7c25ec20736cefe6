// Tavolet's resources as the program finds them: templates, menu, string, icons, manifest.
#include <windows.h>
#include <gtest/gtest.h>

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

TEST(Resources, AboutMenuString) {
  char text[128] = "";
  ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUT_MENU, text, sizeof text), 0);
  EXPECT_STREQ(text, "Tavolet のﾊﾞｰｼﾞｮﾝ情報(&A)...");
}

// Each icon group holds a 32 x 32 and a 16 x 16 image of 16 colours.
TEST(Resources, IconsHaveBothSizesInSixteenColours) {
  for (UINT id : {IDR_MAINFRAME, IDI_BLOCKED}) {
    const std::string group = ResourceBytes(MAKEINTRESOURCEA(id), RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u + 2 * 14u) << id;
    ASSERT_EQ(static_cast<uint8_t>(group[4]), 2) << id;
    for (int i = 0; i < 2; ++i) {
      const char* entry = group.data() + 6 + i * 14;
      const int size = static_cast<uint8_t>(entry[0]);
      EXPECT_TRUE(size == 32 || size == 16) << id;
      EXPECT_EQ(static_cast<uint8_t>(entry[2]), 16) << "colour count, icon " << id;
      EXPECT_EQ(static_cast<uint8_t>(entry[6]), 4) << "bits per pixel, icon " << id;
    }
    EXPECT_NE(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0),
              nullptr);
  }
}

TEST(Resources, ManifestAndVersion) {
  const std::string manifest = ResourceBytes(MAKEINTRESOURCEA(1), RT_MANIFEST);
  EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_FALSE(ResourceBytes(MAKEINTRESOURCEA(1), RT_VERSION).empty());
}

}  // namespace
