#include "hotkeys/hotkey_edit_dlg.h"

#include <commdlg.h>

#include <cstdio>
#include <iterator>

#include "framework/ddx.h"
#include "hotkeys/action_types.h"
#include "hotkeys/hotkey_flags.h"
#include "hotkeys/parse_number.h"
#include "hotkeys/type_groups.h"
#include "resources/resource.h"

static_assert(kHotKeyFlagShift == HOTKEYF_SHIFT && kHotKeyFlagControl == HOTKEYF_CONTROL &&
              kHotKeyFlagAlt == HOTKEYF_ALT && kHotKeyFlagExtended == HOTKEYF_EXT);

namespace {

struct MessagePreset {
  const char* name;
  uint32_t message, wParam, lParam;
};

// The list ends at the first row whose message is 0.
const MessagePreset kMessagePresets[] = {
    {"最小化", 0x0112, 0xF020, 0},
    {"最大化", 0x0112, 0xF030, 0},
    {"copy", 0x0301, 0, 0},
    {"", 0, 0, 0},
};

struct SystemParameterAction {
  const char* name;
  int32_t code;
};

const SystemParameterAction kSystemParameterActions[] = {
    {"スクリーンセーバーアクティブ", 17},
};

const char* const kEncodingNames[] = {"無変換", "SJIS URL", "JIS URL", "EUC URL", "UTF8 URL"};

const int kPathControls[] = {IDC_BROWSE, IDC_PATH, IDC_PATH_LABEL};
const int kArgumentControls[] = {IDC_NO_ARGUMENT, IDC_CLIPBOARD_TEXT,  IDC_SELECTED_TEXT,
                                 IDC_ENCODING,    IDC_SINGLE_INSTANCE, IDC_ENCODING_LABEL};
const int kMessageControls[] = {IDC_PRESET,       IDC_MESSAGE,      IDC_WPARAM,
                                IDC_LPARAM,       IDC_PRESET_LABEL, IDC_MESSAGE_LABEL,
                                IDC_WPARAM_LABEL, IDC_LPARAM_LABEL};
const int kParam1Controls[] = {IDC_PARAM1, IDC_PARAM1_LABEL};
const int kParam2Controls[] = {IDC_PARAM2, IDC_PARAM2_LABEL};
const int kKindControls[] = {IDC_KIND, IDC_KIND_LABEL};
const int kActionControls[] = {IDC_ACTION, IDC_ACTION_LABEL};

LRESULT Combo(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

}  // namespace

CHotKeyEditDlg::CHotKeyEditDlg(CWnd* parent) : CDialog(IDD_HOTKEY_EDIT, parent) {}

CHotKeyEditDlg::~CHotKeyEditDlg() { entry.hotKeyId = 0; }

std::string CHotKeyEditDlg::Text(int controlId) const {
  return GetWindowTextString(GetDlgItem(controlId));
}

void CHotKeyEditDlg::SetText(int controlId, const char* format, uint32_t value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  SetDlgItemTextA(m_hWnd, controlId, text);
}

BOOL CHotKeyEditDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  HWND dialog = m_hWnd;
  if (entry.virtualKey != 0) {
    const HotKeyControlState state = HotKeyControlFromEntry(entry.virtualKey, entry.modifiers);
    SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, state.ControlWord(), 0);
    CheckDlgButton(dialog, IDC_WINDOWS_KEY, state.windowsKey ? BST_CHECKED : BST_UNCHECKED);
  }
  for (int32_t type = 1; type <= kActionTypeCount; ++type) {
    Combo(dialog, IDC_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ActionTypeName(type)));
  }
  for (const SystemParameterAction& action : kSystemParameterActions) {
    const LRESULT row =
        Combo(dialog, IDC_ACTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(action.name));
    Combo(dialog, IDC_ACTION, CB_SETITEMDATA, row, action.code);
  }
  for (const MessagePreset& preset : kMessagePresets) {
    if (preset.message == 0) break;
    Combo(dialog, IDC_PRESET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset.name));
  }
  for (const char* name : kEncodingNames) {
    Combo(dialog, IDC_ENCODING, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  CheckRadioButton(dialog, IDC_NO_ARGUMENT, IDC_SELECTED_TEXT,
                   IDC_NO_ARGUMENT + (entry.textOption & 0xF));
  Combo(dialog, IDC_ENCODING, CB_SETCURSEL, static_cast<WPARAM>(entry.textOption / 16));
  CheckDlgButton(dialog, IDC_SINGLE_INSTANCE, entry.singleInstance ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(dialog, IDC_PATH, entry.target.c_str());
  Combo(dialog, IDC_TYPE, CB_SETCURSEL, static_cast<WPARAM>(entry.actionType - 1));
  UpdateTypeControls();
  SetText(IDC_MESSAGE, "0x%04x", entry.message);
  SetText(IDC_WPARAM, "0x%08x", entry.wParam);
  SetText(IDC_LPARAM, "0x%08x", entry.lParam);
  SetText(IDC_PARAM1, "%d", static_cast<uint32_t>(entry.param1));
  SetText(IDC_PARAM2, "%d", static_cast<uint32_t>(entry.param2));
  const LRESULT kinds = Combo(dialog, IDC_KIND, CB_GETCOUNT);
  for (LRESULT row = 0; row < kinds; ++row) {
    const MixerControlRecord* record = KindRecord(row);
    if (record && record->deviceIndex == entry.mixerDevice &&
        record->lineType == entry.mixerLineType) {
      Combo(dialog, IDC_KIND, CB_SETCURSEL, static_cast<WPARAM>(row));
      break;
    }
  }
  if (entry.actionType == static_cast<int32_t>(ActionType::SetSystemParameter)) {
    const LRESULT rows = Combo(dialog, IDC_ACTION, CB_GETCOUNT);
    Combo(dialog, IDC_ACTION, CB_SETCURSEL, static_cast<WPARAM>(-1));
    for (LRESULT row = 0; row < rows; ++row) {
      if (Combo(dialog, IDC_ACTION, CB_GETITEMDATA, static_cast<WPARAM>(row)) == entry.param2) {
        Combo(dialog, IDC_ACTION, CB_SETCURSEL, static_cast<WPARAM>(row));
        break;
      }
    }
  }
  return TRUE;
}

void CHotKeyEditDlg::ShowGroup(const int* controls, size_t count, bool show) {
  for (size_t i = 0; i < count; ++i) ShowWindow(GetDlgItem(controls[i]), show ? SW_SHOW : SW_HIDE);
}

const std::list<MixerControlRecord>& CHotKeyEditDlg::MixerRecords() {
  if (!mixerListed_) {
    mixerListed_ = true;
    mixerRecords_ = VolumeMixer::Instance().Relisted();
  }
  return mixerRecords_;
}

const MixerControlRecord* CHotKeyEditDlg::KindRecord(LRESULT row) const {
  const LRESULT index = Combo(m_hWnd, IDC_KIND, CB_GETITEMDATA, static_cast<WPARAM>(row));
  if (index < 0 || static_cast<size_t>(index) >= mixerRecords_.size()) return nullptr;
  return &*std::next(mixerRecords_.begin(), index);
}

void CHotKeyEditDlg::UpdateTypeControls() {
  HWND dialog = m_hWnd;
  const int position = static_cast<int>(Combo(dialog, IDC_TYPE, CB_GETCURSEL));
  const TypeLayout layout = LayoutForTypePosition(position);
  Combo(dialog, IDC_KIND, CB_RESETCONTENT);
  LPARAM index = 0;
  // Only the volume kinds ask the audio service for its devices.
  for (const MixerControlRecord& record : layout.kindControlType ? MixerRecords() : mixerRecords_) {
    const LPARAM recordIndex = index++;
    if (record.control.dwControlType != layout.kindControlType) continue;
    char text[256];
    std::snprintf(text, sizeof text, "%s:%s", record.deviceName.c_str(), record.lineName.c_str());
    const LRESULT row = Combo(dialog, IDC_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    Combo(dialog, IDC_KIND, CB_SETITEMDATA, static_cast<WPARAM>(row), recordIndex);
  }
  Combo(dialog, IDC_KIND, CB_SETCURSEL, 0);
  ShowGroup(kPathControls, std::size(kPathControls), layout.groups & kPathGroup);
  ShowGroup(kArgumentControls, std::size(kArgumentControls), layout.groups & kArgumentGroup);
  ShowGroup(kMessageControls, std::size(kMessageControls), layout.groups & kMessageGroup);
  ShowGroup(kParam1Controls, std::size(kParam1Controls), layout.groups & kParam1Group);
  ShowGroup(kParam2Controls, std::size(kParam2Controls), false);
  ShowGroup(kKindControls, std::size(kKindControls), layout.groups & kKindGroup);
  ShowGroup(kActionControls, std::size(kActionControls), layout.groups & kActionGroup);
}

void CHotKeyEditDlg::ApplyPreset() {
  const LRESULT row = Combo(m_hWnd, IDC_PRESET, CB_GETCURSEL);
  if (row < 0 || static_cast<size_t>(row) >= std::size(kMessagePresets) ||
      kMessagePresets[row].message == 0) {
    return;
  }
  const MessagePreset& preset = kMessagePresets[row];
  SetText(IDC_MESSAGE, "0x%08x", preset.message);
  SetText(IDC_WPARAM, "0x%08x", preset.wParam);
  SetText(IDC_LPARAM, "0x%08x", preset.lParam);
}

void CHotKeyEditDlg::Browse() {
  const std::string folder = Text(IDC_PATH);
  char file[MAX_PATH] = "";
  OPENFILENAMEA open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = m_hWnd;
  open.lpstrFile = file;
  open.nMaxFile = sizeof file;
  open.lpstrInitialDir = folder.c_str();
  // The current directory stays where Tavolet started, wherever the user browses.
  open.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
  if (GetOpenFileNameA(&open)) SetDlgItemTextA(m_hWnd, IDC_PATH, file);
}

bool CHotKeyEditDlg::OnCmdMsg(UINT id, UINT code) {
  if (id == IDC_TYPE && code == CBN_SELCHANGE) {
    UpdateTypeControls();
    return true;
  }
  if (id == IDC_PRESET && code == CBN_SELCHANGE) {
    ApplyPreset();
    return true;
  }
  if (id == IDC_BROWSE && code == BN_CLICKED) {
    Browse();
    return true;
  }
  return CDialog::OnCmdMsg(id, code);
}

void CHotKeyEditDlg::OnOK() {
  HWND dialog = m_hWnd;
  const auto word =
      static_cast<uint16_t>(SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0));
  const auto combination = HotKeyCombinationFromControl(
      static_cast<uint8_t>(word & 0xFF), static_cast<uint8_t>(word >> 8),
      IsDlgButtonChecked(dialog, IDC_WINDOWS_KEY) == BST_CHECKED);
  if (!combination) return;  // refused: the dialog stays open and says nothing
  entry.virtualKey = combination->virtualKey;
  entry.modifiers = combination->modifiers;
  entry.actionType = static_cast<int32_t>(Combo(dialog, IDC_TYPE, CB_GETCURSEL)) + 1;
  entry.target = Text(IDC_PATH);
  int32_t source = 0;
  for (int id = IDC_NO_ARGUMENT; id <= IDC_SELECTED_TEXT; ++id) {
    if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) source = id - IDC_NO_ARGUMENT;
  }
  entry.textOption =
      source | (static_cast<int32_t>(Combo(dialog, IDC_ENCODING, CB_GETCURSEL)) << 4);
  entry.singleInstance = IsDlgButtonChecked(dialog, IDC_SINGLE_INSTANCE) == BST_CHECKED ? 1 : 0;
  entry.message = static_cast<uint32_t>(ParseNumber(Text(IDC_MESSAGE)));
  entry.wParam = static_cast<uint32_t>(ParseNumber(Text(IDC_WPARAM)));
  entry.lParam = static_cast<uint32_t>(ParseNumber(Text(IDC_LPARAM)));
  entry.param1 = ParseDecimal(Text(IDC_PARAM1));
  entry.param2 = ParseDecimal(Text(IDC_PARAM2));
  const LRESULT kind = Combo(dialog, IDC_KIND, CB_GETCURSEL);
  if (kind != CB_ERR) {
    if (const MixerControlRecord* record = KindRecord(kind)) {
      entry.mixerDevice = record->deviceIndex;
      entry.mixerLineType = record->lineType;
    }
  }
  if (entry.actionType == static_cast<int32_t>(ActionType::SetSystemParameter)) {
    const LRESULT row = Combo(dialog, IDC_ACTION, CB_GETCURSEL);
    entry.param2 = row == CB_ERR ? -1
                                 : static_cast<int32_t>(Combo(dialog, IDC_ACTION, CB_GETITEMDATA,
                                                              static_cast<WPARAM>(row)));
  }
  EndDialog(IDOK);
}
