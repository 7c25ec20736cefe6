#include "hotkeys/key_list_dlg.h"

#include <cstdio>

#include "actions/sound/front_program_rules.h"
#include "framework/app.h"
#include "framework/dpi.h"
#include "framework/handles.h"
#include "hotkeys/action_types.h"
#include "hotkeys/hotkey_edit_dlg.h"
#include "hotkeys/hotkey_table.h"
#include "hotkeys/key_names.h"
#include "resources/resource.h"

namespace {

void InsertColumn(HWND list, int index, const char* title, int width) {
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = const_cast<char*>(title);
  column.iSubItem = index;
  SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

CKeyListDlg::CKeyListDlg(HotKeyTable& table, std::function<void()> changed)
    : CDialog(IDD_KEY_LIST), table_(table), changed_(std::move(changed)) {}

BOOL CKeyListDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  list_ = GetDlgItem(IDC_KEY_LIST);
  dpi_ = WindowDpi(m_hWnd);
  InsertColumn(list_, 0, "ショートカットキー", ScaleForDpi(130, dpi_));
  InsertColumn(list_, 1, "設定", ScaleForDpi(120, dpi_));
  InsertColumn(list_, 2, "etc", ScaleForDpi(200, dpi_));
  // Whether the system took the combination: another program may hold it.
  InsertColumn(list_, 3, "登録", ScaleForDpi(40, dpi_));
  const LRESULT extended = ::SendMessageA(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  ::SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended | LVS_EX_FULLROWSELECT);
  RefreshList();
  AttachLayout();
  return TRUE;
}

void CKeyListDlg::AttachLayout() {
  layout_.Attach(m_hWnd);
  layout_.AddControl(IDC_KEY_LIST, 0xF);
  layout_.AddControl(IDOK, 0xA);
}

void CKeyListDlg::RefreshList() {
  ::SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
  for (HotKeyEntry* entry = table_.next; entry; entry = entry->next) {
    const std::string keyText =
        FormatHotKeyText(entry->modifiers, static_cast<uint16_t>(entry->virtualKey));
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 0x7FFFFFFF;
    item.pszText = const_cast<char*>(keyText.c_str());
    item.lParam = entry->hotKeyId;
    const int row = static_cast<int>(
        ::SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) continue;
    SetCell(list_, row, 1, ActionTypeName(entry->actionType));
    SetCell(list_, row, 3, entry->registered ? "○" : "×");
    switch (static_cast<ActionType>(entry->actionType)) {
      case ActionType::RunProgram:
      case ActionType::OpenUrl:
      case ActionType::OpenFile:
        SetCell(list_, row, 2, entry->target);
        break;
      case ActionType::SendWindowMessage:
      case ActionType::SendThreadMessage: {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08x", entry->message);
        SetCell(list_, row, 2, text);
        break;
      }
      case ActionType::FrontProgramVolumeUp:
      case ActionType::FrontProgramVolumeDown: {
        // Their names part only past the width of the 設定 column; the signed step tells them.
        const int64_t step = FrontProgramStep(entry->param1);
        const bool up = entry->actionType == static_cast<int32_t>(ActionType::FrontProgramVolumeUp);
        char text[24];
        std::snprintf(text, sizeof text, "%+lld", static_cast<long long>(up ? step : -step));
        SetCell(list_, row, 2, text);
        break;
      }
      default:
        break;
    }
  }
  table_.Save();
  if (changed_) changed_();
}

HotKeyEntry* CKeyListDlg::SelectedEntry() const {
  const int row = static_cast<int>(
      ::SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return nullptr;
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!::SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return table_.FindById(static_cast<int32_t>(item.lParam));
}

INT_PTR CKeyListDlg::RunEditor(CHotKeyEditDlg& editor) {
  editing_ = true;
  const INT_PTR result = editor.DoModal();
  editing_ = false;
  return result;
}

void CKeyListDlg::AddEntry() {
  CHotKeyEditDlg edit(this);
  if (RunEditor(edit) == IDOK) table_.Add(&edit.entry);
  RefreshList();
}

void CKeyListDlg::EditEntry() {
  HotKeyEntry* entry = SelectedEntry();
  if (!entry) return;
  const int32_t id = entry->hotKeyId;
  entry->Unregister();
  CHotKeyEditDlg edit(this);
  edit.entry.CopyFrom(*entry);
  const INT_PTR result = RunEditor(edit);
  // Whatever happened while the editor was open, only the table knows whether it is still there.
  entry = table_.FindById(id);
  if (entry) {
    if (result == IDOK) {
      entry->CopyFrom(edit.entry);
      entry->window = nullptr;  // a changed target must start, not raise the old window
    }
    entry->Register();
  }
  RefreshList();
}

void CKeyListDlg::DeleteEntry() {
  HotKeyEntry* entry = SelectedEntry();
  if (!entry) return;
  delete entry;
  RefreshList();
}

void CKeyListDlg::ShowContextMenu() {
  POINT cursor{};
  GetCursorPos(&cursor);
  UniqueMenu menu(LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDM_KEY_LIST)));
  if (!menu) return;
  if (HMENU popup = GetSubMenu(menu.get(), 0)) {
    TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_LEFTALIGN, cursor.x, cursor.y, 0, m_hWnd, nullptr);
  }
}

bool CKeyListDlg::OnCmdMsg(UINT id, UINT code) {
  // Disabled under its editor, the list still receives posted commands: they wait for it.
  if (editing_ && (id == ID_KEY_ADD || id == ID_KEY_EDIT || id == ID_KEY_DELETE || id == IDOK ||
                   id == IDCANCEL)) {
    return true;
  }
  switch (id) {
    case ID_KEY_ADD:
      AddEntry();
      return true;
    case ID_KEY_EDIT:
      EditEntry();
      return true;
    case ID_KEY_DELETE:
      DeleteEntry();
      return true;
    default:
      return CDialog::OnCmdMsg(id, code);
  }
}

bool CKeyListDlg::OnNotify(int controlId, NMHDR* header, LRESULT& result) {
  if (controlId != IDC_KEY_LIST) return false;
  if (editing_) {
    result = 0;
    return true;
  }
  if (header->code == NM_RCLICK) {
    ShowContextMenu();
    result = 0;
    return true;
  }
  if (header->code == NM_DBLCLK) {
    EditEntry();
    result = 0;
    return true;
  }
  return false;
}

bool CKeyListDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_DPICHANGED) {
    // The system places and sizes the dialog and its controls for the new DPI itself; the
    // layout only learns the new size, and the columns keep their share of the list.
    rescaling_ = true;
    result = Default();
    rescaling_ = false;
    const unsigned dpi = LOWORD(wParam);
    RescaleListColumns(list_, dpi, dpi_);
    dpi_ = dpi;
    AttachLayout();
    return true;
  }
  if (message == WM_SIZE && !rescaling_) {
    result = Default();
    layout_.Arrange(LOWORD(lParam), HIWORD(lParam));
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return true;
  }
  return CDialog::OnWndMsg(message, wParam, lParam, result);
}
