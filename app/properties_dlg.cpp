#include "app/properties_dlg.h"

#include <commdlg.h>
#include <shellapi.h>

#include "app/main_app.h"
#include "framework/dpi.h"
#include "resources/resource.h"

namespace {
constexpr int kFirstColorButton = IDC_TEXT_COLOR;
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

// A row's whole text, however long: the buffer grows until the text no longer fills it.
std::string RowText(HWND list, int row) {
  std::string text(MAX_PATH, '\0');
  for (;;) {
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto length = static_cast<size_t>(
        ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < text.size()) {
      text.resize(length);
      return text;
    }
    text.assign(text.size() * 2, '\0');
  }
}

}  // namespace

CPropertiesDlg::CPropertiesDlg() : CDialog(IDD_PROPERTIES) {}

void CPropertiesDlg::AppendRow(const char* text) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = 0x7FFFFFFF;
  item.pszText = const_cast<char*>(text);
  ::SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

BOOL CPropertiesDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  list_ = GetDlgItem(IDC_KEY_LIST);
  dpi_ = WindowDpi(m_hWnd);
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
  column.fmt = LVCFMT_LEFT;
  column.cx = ScaleForDpi(200, dpi_);
  column.pszText = const_cast<char*>("プロセス");
  ::SendMessageA(list_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  CMainApp& app = TheApp();
  for (const std::string& path : app.excludedPaths) AppendRow(path.c_str());
  unsigned long colors[4];
  app.desktopHook->GetColors(colors[0], colors[1], colors[2], colors[3]);
  for (int i = 0; i < 4; ++i) {
    CColorButton& button = colorButtons_[i];
    button.SubclassDlgItem(kFirstColorButton + i, this);
    button.labelColor = colors[i] ^ 0x00FFFFFF;
    button.faceColor = colors[i];
    button.SendMessage(BM_SETSTYLE, BS_OWNERDRAW, TRUE);
  }
  if (colors[1] == DH_COLOR_NONE) {
    CheckDlgButton(m_hWnd, IDC_NO_OUTLINE, BST_CHECKED);
    colorButtons_[1].labelColor = 0x00FFFFFF;
    colorButtons_[1].faceColor = 0x00000000;
  }
  if (colors[2] == DH_COLOR_NONE) {
    CheckDlgButton(m_hWnd, IDC_TRANSPARENT, BST_CHECKED);
    const COLORREF desktopColor = GetSysColor(COLOR_BACKGROUND);
    colorButtons_[2].faceColor = desktopColor;
    colorButtons_[2].labelColor = desktopColor ^ 0x00FFFFFF;
  }
  if (app.desktopHook->GetState()) CheckDlgButton(m_hWnd, IDC_CUSTOMIZE, BST_CHECKED);
  UpdateColorControls();
  return TRUE;
}

void CPropertiesDlg::UpdateColorControls() {
  const bool on = IsDlgButtonChecked(m_hWnd, IDC_CUSTOMIZE) == BST_CHECKED;
  const bool outline = IsDlgButtonChecked(m_hWnd, IDC_NO_OUTLINE) != BST_CHECKED;
  const bool background = IsDlgButtonChecked(m_hWnd, IDC_TRANSPARENT) != BST_CHECKED;
  EnableWindow(GetDlgItem(IDC_TEXT_COLOR), on);
  EnableWindow(GetDlgItem(IDC_OUTLINE_COLOR), on && outline);
  EnableWindow(GetDlgItem(IDC_BACKGROUND_COLOR), on && background);
  EnableWindow(GetDlgItem(IDC_SELECTION_COLOR), on);
  EnableWindow(GetDlgItem(IDC_NO_OUTLINE), on);
  EnableWindow(GetDlgItem(IDC_TRANSPARENT), on);
}

void CPropertiesDlg::OnColorButton(UINT id) {
  CColorButton& button = colorButtons_[id - kFirstColorButton];
  static COLORREF customColors[16];
  CHOOSECOLORA choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = m_hWnd;
  choose.rgbResult = button.faceColor;
  choose.lpCustColors = customColors;
  choose.Flags = CC_RGBINIT;
  if (ChooseColorA(&choose)) {
    button.faceColor = choose.rgbResult;
    button.labelColor = choose.rgbResult ^ 0x00FFFFFF;
  }
  RedrawWindow(m_hWnd, nullptr, nullptr, kRedrawNow);
}

void CPropertiesDlg::AddDroppedFiles(HDROP drop) {
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::string path(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
    path.resize(DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size())));
    AppendRow(path.c_str());
  }
}

void CPropertiesDlg::DeleteSelectedPaths() {
  for (;;) {
    const LRESULT row =
        ::SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (row == -1) break;
    ::SendMessageA(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  }
}

// Seen for every message of the dialog's loop, so Delete and Backspace work wherever the
// focus is, and then go on to their normal handling.
BOOL CPropertiesDlg::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_DROPFILES) {
    const auto drop = reinterpret_cast<HDROP>(msg->wParam);
    AddDroppedFiles(drop);
    // The list sees the message as usual; then the drop is released.
    if (!CDialog::PreTranslateMessage(msg)) {
      TranslateMessage(msg);
      DispatchMessageA(msg);
    }
    DragFinish(drop);
    return TRUE;
  }
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_BACK || msg->wParam == VK_DELETE)) {
    DeleteSelectedPaths();
  }
  return CDialog::PreTranslateMessage(msg);
}

bool CPropertiesDlg::OnCmdMsg(UINT id, UINT code) {
  if (code == BN_CLICKED && id >= IDC_TEXT_COLOR && id <= IDC_SELECTION_COLOR) {
    OnColorButton(id);
    return true;
  }
  if (code == BN_CLICKED && id >= IDC_CUSTOMIZE && id <= IDC_NO_OUTLINE) {
    UpdateColorControls();
    return true;
  }
  return CDialog::OnCmdMsg(id, code);
}

bool CPropertiesDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_DPICHANGED) {
    result = Default();  // the system rescales the dialog and its controls
    RescaleListColumns(list_, LOWORD(wParam), dpi_);
    dpi_ = LOWORD(wParam);
    return true;
  }
  return CDialog::OnWndMsg(message, wParam, lParam, result);
}

bool CPropertiesDlg::OnNotify(int controlId, NMHDR* header, LRESULT& result) {
  if (controlId == IDC_KEY_LIST && header->code == NM_RCLICK) {
    result = 0;
    return true;
  }
  return false;
}

void CPropertiesDlg::OnOK() {
  CMainApp& app = TheApp();
  app.excludedPaths.clear();
  const int rows = static_cast<int>(::SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) app.excludedPaths.push_front(RowText(list_, row));
  const unsigned long outline = IsDlgButtonChecked(m_hWnd, IDC_NO_OUTLINE) == BST_CHECKED
                                    ? DH_COLOR_NONE
                                    : colorButtons_[1].faceColor;
  const unsigned long background = IsDlgButtonChecked(m_hWnd, IDC_TRANSPARENT) == BST_CHECKED
                                       ? DH_COLOR_NONE
                                       : colorButtons_[2].faceColor;
  app.desktopHook->SetColors(colorButtons_[0].faceColor, outline, background,
                             colorButtons_[3].faceColor);
  app.desktopHook->SetState(IsDlgButtonChecked(m_hWnd, IDC_CUSTOMIZE) == BST_CHECKED ? 1 : 0);
  EndDialog(IDOK);
}
