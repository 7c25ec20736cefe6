// Tavolet's start-up under Wine: from process start to its icon in the notification area, less
// the fixed 2,000 ms pause, against a minimal program of the same kind (common controls 6, one
// hidden dialog, one notification icon) started in the same run; the median of several runs
// of each, taken in turns. startup_bench [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/run_processes.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

namespace {

double Since(const LARGE_INTEGER& start) {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Milliseconds from the start of the minimal program to its icon; negative when it showed none.
double MinimalProgramToIcon() {
  std::string line = "\"" + ProgramFolder() + "minimal_tray_app.exe\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return -1;
  }
  RecordStartedProcess(info.hProcess);
  HWND dialog = nullptr;
  const bool shown = WaitFor(
      [&] {
        const auto dialogs = WindowsOfProcess(info.dwProcessId, "#32770");
        dialog = dialogs.empty() ? nullptr : dialogs.front();
        return dialog && TrayIconPresent(dialog, 0);
      },
      20000);
  const double elapsed = Since(start);
  if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(info.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return shown ? elapsed : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::vector<double> tavolet, minimal;
  for (int i = 0; i < runs; ++i) {
    TempFolder folder;
    TavoletProcess process;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!process.Start(folder.Path()) || !process.WaitForIcon(20000)) {
      std::fprintf(stderr, "run %d: Tavolet did not show its icon\n", i + 1);
      return 1;
    }
    tavolet.push_back(Since(start) - 2000.0);
    process.ExitFromMenu();
    const double yardstick = MinimalProgramToIcon();
    if (yardstick < 0) {
      std::fprintf(stderr, "run %d: the minimal program did not show its icon\n", i + 1);
      return 1;
    }
    minimal.push_back(yardstick);
  }
  std::printf(
      "Start-up to the icon under Wine (median of %d): Tavolet %.0f ms (less the 2000 ms "
      "pause), the minimal program %.0f ms, ratio %.2f (target <= 1.5)\n",
      runs, Median(tavolet), Median(minimal), Median(tavolet) / Median(minimal));
  return 0;
}
