// Reading and moving the desktop icons through the list view Corvane has subclassed: Tavolet
// sends WM_COPYDATA to it, and the shell's copy of the library answers in the shell's thread,
// where the list view's item texts and positions can be read and set. Nothing is written into
// the shell's memory from outside.
#include "corvane/icon_positions.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "corvane/icon_wire.h"
#include "corvane/shell_values.h"
#include "framework/session_objects.h"
#include "framework/trust_rules.h"

namespace {

const wchar_t kReceiverClass[] = L"CorvaneIconReceiver";
// Tavolet waits for the shell no longer than this.
constexpr UINT kAnswerMs = 5000;
// The shell's thread is the desktop's: it waits for Tavolet, which is waiting for the answer
// and takes it at once, no longer than this.
constexpr UINT kReplyMs = 1000;

bool IsReceiver(HWND window) {
  wchar_t name[32];
  return IsWindow(window) && GetClassNameW(window, name, 32) && lstrcmpW(name, kReceiverClass) == 0;
}

// The length the control answers may be anything its text callbacks said: only what is in the
// buffer counts.
uint32_t LabelOf(HWND list, int index, wchar_t (&text)[kMaxIconLabel + 1]) {
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = text;
  item.cchTextMax = kMaxIconLabel + 1;
  text[0] = 0;
  SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
  if (item.pszText && item.pszText != text) lstrcpynW(text, item.pszText, kMaxIconLabel + 1);
  text[kMaxIconLabel] = 0;
  return static_cast<uint32_t>(lstrlenW(text));
}

bool AutoArranges(HWND list) { return (GetWindowLongW(list, GWL_STYLE) & LVS_AUTOARRANGE) != 0; }

// The list to the receiver named in the query, which must be a window of the Tavolet that
// published the shell's values; never waiting long for it.
LRESULT SendIconList(HWND list, const COPYDATASTRUCT* query) {
  IconQuery asked{};
  if (query->cbData != sizeof asked || !query->lpData) return 0;
  std::memcpy(&asked, query->lpData, sizeof asked);
  HWND receiver = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(asked.receiver));
  DWORD receiverProcess = 0;
  const unsigned long caller = CurrentValues().caller;
  if (!IsReceiver(receiver) || !GetWindowThreadProcessId(receiver, &receiverProcess) || !caller ||
      receiverProcess != caller) {
    return 0;
  }
  const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  if (count < 0) return 0;
  wchar_t text[kMaxIconLabel + 1];
  uint64_t size = sizeof(IconReply) + sizeof(IconListHeader);
  for (int i = 0; i < count && size <= kMaxIconListBytes; ++i) {
    size += sizeof(IconRecordHeader) + LabelOf(list, i, text) * 2;
  }
  if (size - sizeof(IconReply) > kMaxIconListBytes) return 0;
  auto* bytes = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, size));
  if (!bytes) return 0;
  const IconReply reply{asked.cookie, 0};
  std::memcpy(bytes, &reply, sizeof reply);
  RECT client{};
  GetClientRect(list, &client);
  const IconListHeader header{static_cast<uint32_t>(count), client.right - client.left,
                              client.bottom - client.top, AutoArranges(list) ? 1u : 0u};
  std::memcpy(bytes + sizeof reply, &header, sizeof header);
  uint64_t offset = sizeof reply + sizeof header;
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
  COPYDATASTRUCT message{kIconListTag, static_cast<DWORD>(size), bytes};
  DWORD_PTR taken = 0;
  // Not SMTO_BLOCK: the desktop's thread goes on answering what is sent to it meanwhile.
  const bool sent = SendMessageTimeoutW(receiver, WM_COPYDATA, reinterpret_cast<WPARAM>(list),
                                        reinterpret_cast<LPARAM>(&message),
                                        SMTO_ABORTIFHUNG | SMTO_NORMAL, kReplyMs, &taken) != 0;
  HeapFree(GetProcessHeap(), 0, bytes);
  return sent && taken ? 1 : 0;
}

// Only moves that carry the key of the Tavolet that published the shell's values.
LRESULT ApplyIconMoves(HWND list, const COPYDATASTRUCT* data) {
  IconMovesKey key{};
  IconMovesHeader header{};
  if (!data->lpData || data->cbData < sizeof key + sizeof header) return kIconMovesRefused;
  std::memcpy(&key, data->lpData, sizeof key);
  const uint64_t published = CurrentValues().key;
  if (!published || key.key != published) return kIconMovesRefused;
  const DWORD size = data->cbData - sizeof key;
  std::memcpy(&header, static_cast<const unsigned char*>(data->lpData) + sizeof key, sizeof header);
  if (header.moveCount > (size - sizeof header) / sizeof(IconMove) ||
      size != sizeof header + header.moveCount * sizeof(IconMove)) {
    return kIconMovesRefused;
  }
  const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  if (AutoArranges(list) || count != static_cast<LRESULT>(header.itemCount)) {
    return kIconMovesRefused;
  }
  const auto* moves = static_cast<const unsigned char*>(data->lpData) + sizeof key + sizeof header;
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
  uint32_t cookie;
  void* buffer;
  unsigned long size;
  unsigned long needed;
  bool answered;
};

// Takes the first answer to this query, from the list view asked, up to the bound; anything
// else another program may send it is refused before a byte of it is taken.
LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
  auto* reception = reinterpret_cast<Reception*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  IconReply reply{};
  if (!reception || reception->answered || !data || data->dwData != kIconListTag ||
      reinterpret_cast<HWND>(wParam) != reception->from || !data->lpData ||
      data->cbData < sizeof reply || data->cbData - sizeof reply > kMaxIconListBytes) {
    return 0;
  }
  std::memcpy(&reply, data->lpData, sizeof reply);
  if (reply.cookie != reception->cookie) return 0;
  reception->answered = true;
  reception->needed = data->cbData - sizeof reply;
  std::memcpy(reception->buffer, static_cast<const unsigned char*>(data->lpData) + sizeof reply,
              reception->needed < reception->size ? reception->needed : reception->size);
  return 1;
}

DWORD IntegrityOf(HANDLE process) {
  HANDLE token = nullptr;
  DWORD level = kMediumIntegrity;  // what a process whose token cannot be read counts as
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return level;
  alignas(8) BYTE buffer[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &size)) {
    const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    if (count) level = *GetSidSubAuthority(sid, count - 1);
  }
  CloseHandle(token);
  return level;
}

// An elevated Tavolet hears the shell only when it lets the message through; any other keeps
// the system's filter.
void LetTheShellThrough(HWND receiver, HWND list) {
  DWORD shellId = 0;
  GetWindowThreadProcessId(list, &shellId);
  HANDLE shell = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellId);
  const DWORD shellLevel = shell ? IntegrityOf(shell) : kMediumIntegrity;
  if (shell) CloseHandle(shell);
  if (!NeedsMessageFilterOpened(IntegrityOf(GetCurrentProcess()), shellLevel)) return;
  using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  auto allow = reinterpret_cast<FilterFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
  if (allow) allow(receiver, WM_COPYDATA, 1 /* MSGFLT_ALLOW */, nullptr);
}

HWND CreateReceiver(HWND list) {
  HWND receiver = CreateMessageWindow(kReceiverClass, ReceiverProc, L"");
  if (receiver) LetTheShellThrough(receiver, list);
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

unsigned long AskIconList(HWND desktop, void* buffer, unsigned long size) {
  uint32_t cookie = 0;
  if (!desktop || !RandomBytes(&cookie, sizeof cookie)) return 0;
  HWND receiver = CreateReceiver(desktop);
  if (!receiver) return 0;
  Reception reception{desktop, cookie, buffer, buffer ? size : 0, 0, false};
  SetWindowLongPtrW(receiver, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&reception));
  const IconQuery asked{reinterpret_cast<ULONG_PTR>(receiver), cookie, 0};
  COPYDATASTRUCT query{kIconQueryTag, sizeof asked, const_cast<IconQuery*>(&asked)};
  DWORD_PTR answer = 0;
  // SMTO_NORMAL: the shell's list is sent back while this waits.
  const bool answered =
      SendMessageTimeoutW(desktop, WM_COPYDATA, reinterpret_cast<WPARAM>(receiver),
                          reinterpret_cast<LPARAM>(&query), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                          kAnswerMs, &answer) != 0;
  DestroyWindow(receiver);
  return answered && answer == 1 && reception.answered ? reception.needed : 0;
}

long SendIconMoves(HWND desktop, const void* moves, unsigned long size) {
  if (!desktop || !moves || size > kMaxIconListBytes) return -1;
  const IconMovesKey key{CurrentValues().key};
  auto* bytes = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, sizeof key + size));
  if (!bytes) return -1;
  std::memcpy(bytes, &key, sizeof key);
  std::memcpy(bytes + sizeof key, moves, size);
  COPYDATASTRUCT data{kIconMovesTag, static_cast<DWORD>(sizeof key + size), bytes};
  DWORD_PTR answer = 0;
  const bool answered =
      SendMessageTimeoutW(desktop, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                          SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerMs, &answer) != 0;
  HeapFree(GetProcessHeap(), 0, bytes);
  const auto result = static_cast<intptr_t>(answer);
  return answered && result >= 1 ? static_cast<long>(result - 1) : -1;
}
