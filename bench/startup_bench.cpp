// Tavolet's start-up under Wine: from process start to its icon in the notification area,
// less the fixed 2,000 ms pause; the median of several runs. startup_bench [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    TempFolder folder;
    TavoletProcess tavolet;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!tavolet.Start(folder.Path()) || !tavolet.WaitForIcon(20000)) {
      std::fprintf(stderr, "run %d: Tavolet did not show its icon\n", i + 1);
      return 1;
    }
    QueryPerformanceCounter(&end);
    times.push_back((end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart - 2000.0);
    tavolet.ExitFromMenu();
  }
  std::sort(times.begin(), times.end());
  std::printf("Tavolet start-up under Wine (process start to icon, minus the 2000 ms pause):\n");
  std::printf("  median %.0f ms, min %.0f ms, max %.0f ms over %d runs\n", times[times.size() / 2],
              times.front(), times.back(), runs);
  return 0;
}
