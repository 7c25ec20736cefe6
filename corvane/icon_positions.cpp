// Reading and moving the desktop icons through the list view Corvane has subclassed: Tavolet
// sends WM_COPYDATA to it, and the shell's copy of the library answers in the shell's thread,
// where the list view's item texts and positions can be read and set. Nothing is written into
// the shell's memory from outside.
#include "corvane/icon_positions.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "corvane/desktop_hook.h"
#include "corvane/icon_wire.h"

namespace {

const wchar_t kReceiverClass[] = L"CorvaneIconReceiver";
// Neither side waits longer for the other than this.
constexpr UINT kAnswerMs = 5000;
// A list that would take more is not sent (no desktop holds so many icons).
constexpr uint64_t kMaxListBytes = 64u << 20;

bool IsReceiver(HWND window) {
  wchar_t name[32];
  return IsWindow(window) && GetClassNameW(window, name, 32) && lstrcmpW(name, kReceiverClass) == 0;
}

uint32_t LabelOf(HWND list, int index, wchar_t (&text)[kMaxIconLabel + 1]) {
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = text;
  item.cchTextMax = kMaxIconLabel + 1;
  text[0] = 0;
  const LRESULT length =
      SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
  return length < 0                        ? 0
         : length > LRESULT{kMaxIconLabel} ? kMaxIconLabel
                                           : static_cast<uint32_t>(length);
}

bool AutoArranges(HWND list) { return (GetWindowLongW(list, GWL_STYLE) & LVS_AUTOARRANGE) != 0; }

// The list to the receiver window named in the query, which must be Corvane's own.
LRESULT SendIconList(HWND list, const COPYDATASTRUCT* query) {
  uint64_t receiverValue = 0;
  if (query->cbData != sizeof receiverValue || !query->lpData) return 0;
  std::memcpy(&receiverValue, query->lpData, sizeof receiverValue);
  HWND receiver = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(receiverValue));
  if (!IsReceiver(receiver)) return 0;
  const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  if (count < 0) return 0;
  wchar_t text[kMaxIconLabel + 1];
  uint64_t size = sizeof(IconListHeader);
  for (int i = 0; i < count; ++i) size += sizeof(IconRecordHeader) + LabelOf(list, i, text) * 2;
  if (size > kMaxListBytes) return 0;
  auto* bytes = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, size));
  if (!bytes) return 0;
  RECT client{};
  GetClientRect(list, &client);
  const IconListHeader header{static_cast<uint32_t>(count), client.right - client.left,
                              client.bottom - client.top, AutoArranges(list) ? 1u : 0u};
  std::memcpy(bytes, &header, sizeof header);
  uint64_t offset = sizeof header;
  for (int i = 0; i < count; ++i) {
    const uint32_t length = LabelOf(list, i, text);
    // The texts come from the shell's own callbacks: one that grew since is not written past
    // the block.
    if (offset + sizeof(IconRecordHeader) + length * 2 > size) {
      HeapFree(GetProcessHeap(), 0, bytes);
      return 0;
    }
    POINT position{};
    SendMessageW(list, LVM_GETITEMPOSITION, i, reinterpret_cast<LPARAM>(&position));
    const IconRecordHeader record{position.x, position.y, length};
    std::memcpy(bytes + offset, &record, sizeof record);
    std::memcpy(bytes + offset + sizeof record, text, length * 2);
    offset += sizeof record + length * 2;
  }
  COPYDATASTRUCT reply{kIconListTag, static_cast<DWORD>(size), bytes};
  DWORD_PTR taken = 0;
  // A Tavolet that stopped answering never holds up the shell for long.
  const bool sent = SendMessageTimeoutW(receiver, WM_COPYDATA, reinterpret_cast<WPARAM>(list),
                                        reinterpret_cast<LPARAM>(&reply),
                                        SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs, &taken) != 0;
  HeapFree(GetProcessHeap(), 0, bytes);
  return sent && taken ? 1 : 0;
}

LRESULT ApplyIconMoves(HWND list, const COPYDATASTRUCT* data) {
  IconMovesHeader header{};
  if (!data->lpData || data->cbData < sizeof header) return kIconMovesRefused;
  std::memcpy(&header, data->lpData, sizeof header);
  if (header.moveCount > (data->cbData - sizeof header) / sizeof(IconMove) ||
      data->cbData != sizeof header + header.moveCount * sizeof(IconMove)) {
    return kIconMovesRefused;
  }
  const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  if (AutoArranges(list) || count != static_cast<LRESULT>(header.itemCount)) {
    return kIconMovesRefused;
  }
  const auto* moves = static_cast<const unsigned char*>(data->lpData) + sizeof header;
  LRESULT moved = 0;
  for (uint32_t i = 0; i < header.moveCount; ++i) {
    IconMove move{};
    std::memcpy(&move, moves + i * sizeof move, sizeof move);
    if (move.index < 0 || move.index >= count) continue;
    POINT position{move.x, move.y};
    SendMessageW(list, LVM_SETITEMPOSITION32, move.index, reinterpret_cast<LPARAM>(&position));
    ++moved;
  }
  return 1 + moved;
}

// Tavolet's side: the window the shell's list arrives at, for the one query under way.
struct Reception {
  HWND from;
  void* buffer;
  unsigned long size;
  unsigned long needed;
};

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
  auto* reception = reinterpret_cast<Reception*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!reception || !data || data->dwData != kIconListTag ||
      reinterpret_cast<HWND>(wParam) != reception->from || (data->cbData && !data->lpData)) {
    return 0;
  }
  reception->needed = data->cbData;
  std::memcpy(reception->buffer, data->lpData,
              data->cbData < reception->size ? data->cbData : reception->size);
  return 1;
}

HWND CreateReceiver() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ReceiverProc), &module);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ReceiverProc;
  windowClass.hInstance = module;
  windowClass.lpszClassName = kReceiverClass;
  if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  HWND receiver = CreateWindowExW(0, kReceiverClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  module, nullptr);
  // An elevated Tavolet hears the shell only when it lets the message through.
  using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  auto allow = reinterpret_cast<FilterFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
  if (receiver && allow) allow(receiver, WM_COPYDATA, 1 /* MSGFLT_ALLOW */, nullptr);
  return receiver;
}

}  // namespace

bool AnswerIconMessage(HWND list, const COPYDATASTRUCT* data, LRESULT& result) {
  if (!data) return false;
  if (data->dwData == kIconQueryTag) {
    result = SendIconList(list, data);
    return true;
  }
  if (data->dwData == kIconMovesTag) {
    result = ApplyIconMoves(list, data);
    return true;
  }
  return false;
}

unsigned long CDesktopHook::ReadIcons(void* buffer, unsigned long size) {
  if (!Attached()) return 0;
  HWND receiver = CreateReceiver();
  if (!receiver) return 0;
  Reception reception{desktop, buffer, buffer ? size : 0, 0};
  SetWindowLongPtrW(receiver, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&reception));
  uint64_t receiverValue = reinterpret_cast<ULONG_PTR>(receiver);
  COPYDATASTRUCT query{kIconQueryTag, sizeof receiverValue, &receiverValue};
  DWORD_PTR answer = 0;
  // SMTO_NORMAL: the shell's list is sent back while this waits.
  const bool answered =
      SendMessageTimeoutW(desktop, WM_COPYDATA, reinterpret_cast<WPARAM>(receiver),
                          reinterpret_cast<LPARAM>(&query), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                          kAnswerMs, &answer) != 0;
  DestroyWindow(receiver);
  return answered && answer == 1 ? reception.needed : 0;
}

long CDesktopHook::MoveIcons(const void* moves, unsigned long size) {
  if (!Attached() || !moves) return -1;
  COPYDATASTRUCT data{kIconMovesTag, size, const_cast<void*>(moves)};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(desktop, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                           SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerMs, &answer)) {
    return -1;
  }
  const auto result = static_cast<intptr_t>(answer);
  return result >= 1 ? static_cast<long>(result - 1) : -1;
}
