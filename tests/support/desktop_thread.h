// A desktop window chain ("Progman", "SHELLDLL_DefView", a list view in icon view with free
// placement) run by a thread of its own, as the shell's would be.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <thread>

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
  // Another desktop list view of the same thread, as the shell makes one when it splits its
  // desktop.
  HWND AddListView() { return reinterpret_cast<HWND>(SendMessageA(progman_, WM_APP + 2, 0, 0)); }
  // Returns once the thread has retrieved everything posted to it before.
  void Sync() {
    const long before = synced_;
    PostMessageA(progman_, WM_APP + 1, 0, 0);
    while (synced_ == before) Sleep(5);
  }

 private:
  static inline volatile long synced_ = 0;
  static LRESULT CALLBACK ProgmanProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP) Sleep(static_cast<DWORD>(wp));
    if (m == WM_APP + 1) InterlockedIncrement(&synced_);
    if (m == WM_APP + 2) {
      HWND view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD, 0, 0, 200, 200, w, nullptr,
                                  nullptr, nullptr);
      return reinterpret_cast<LRESULT>(CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_ICON, 0,
                                                       0, 200, 200, view, nullptr, nullptr,
                                                       nullptr));
    }
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

// A new item with this label at the end of the list view.
inline void AddLabel(HWND list, const wchar_t* label) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<wchar_t*>(label);
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}
