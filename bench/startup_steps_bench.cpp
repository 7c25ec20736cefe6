// Tavolet's start-up step by step, as InitInstance runs them after its pause (the stand-in
// desktop must run): COM, mixer listing, main dialog with its icon, key file, settings,
// Lintrel, Corvane's handshake. Each start is a fresh process (startup_steps_bench --once FILE
// writes one start's times), in a temporary folder with a key file of 20 entries; the median of
// several starts is printed.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "actions/sound/volume_mixer.h"
#include "app/main_app.h"
#include "hotkeys/key_file.h"
#include "tests/support/win_test_support.h"

namespace {

class TimedStart : public CMainApp {
 public:
  // Each step's time in ms; false when a step failed.
  bool Run(std::vector<double>& times) {
    LARGE_INTEGER frequency, last, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&last);
    auto lap = [&] {
      QueryPerformanceCounter(&now);
      times.push_back((now.QuadPart - last.QuadPart) * 1000.0 / frequency.QuadPart);
      last = now;
    };
    if (!ClaimSingleInstance()) return false;
    QueryPerformanceCounter(&last);
    EnterComApartment();
    lap();
    ListMixerControls();
    lap();
    CreateMainDialog();
    lap();
    LoadKeys();
    lap();
    LoadSettings();
    lap();
    const bool hooked = InstallSystemHook();
    lap();
    const bool attached = AttachDesktop();
    lap();
    VolumeMixer::Instance().Records();
    lap();
    ExitInstance();
    return hooked && attached;
  }
};

constexpr int kSteps = 8;
const char* const kNames[kSteps] = {
    "COM",           "mixer (put off)", "dialog and icon",   "key file (20)",
    "settings file", "Lintrel",         "Corvane handshake", "mixer listing at first use"};

// One start in this process; its times go to `output`.
int OneStart(const char* output) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  TempFolder folder;
  std::vector<KeyRecord> records(20);
  std::vector<const KeyRecord*> pointers;
  for (size_t i = 0; i < records.size(); ++i) {
    records[i].virtualKey = static_cast<uint32_t>(VK_F1 + i % 12);
    records[i].modifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT | (i >= 12 ? MOD_WIN : 0);
    records[i].actionType = 1;
    records[i].target = "C:\\Tools\\program.exe";
    pointers.push_back(&records[i]);
  }
  WriteBytes(folder.File("key.cfg"), EncodeKeyFile(pointers));
  SetCurrentDirectoryA(folder.Path().c_str());
  std::vector<double> times;
  bool started = false;
  {
    TimedStart app;
    app.m_hInstance = GetModuleHandleA(nullptr);
    app.m_nThreadID = GetCurrentThreadId();
    started = app.Run(times);
  }
  SetCurrentDirectoryA("C:\\");
  if (!started || times.size() != kSteps) return 1;
  std::string line;
  for (double t : times) line += std::to_string(t) + " ";
  return WriteBytes(output, line) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--once") return OneStart(argv[2]);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  std::vector<std::vector<double>> steps(kSteps);
  TempFolder results;
  const std::string output = results.File("times.txt");
  for (int run = 0; run < runs; ++run) {
    std::string line =
        "\"" + ProgramFolder() + "startup_steps_bench.exe\" --once \"" + output + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
      return 1;
    }
    const bool ended = WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(info.hProcess, 1);
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (code != 0) {
      std::fprintf(stderr, "start %d did not complete (a hook, or the desktop, missing)\n",
                   run + 1);
      return 1;
    }
    std::istringstream times(ReadBytes(output));
    for (auto& step : steps) {
      double t = 0;
      times >> t;
      step.push_back(t);
    }
  }
  std::printf("Tavolet's start-up by step, fresh process each (median of %d, ms):", runs);
  for (int i = 0; i < kSteps; ++i) {
    std::sort(steps[i].begin(), steps[i].end());
    std::printf("%s %s %.1f", i ? "," : "", kNames[i], steps[i][steps[i].size() / 2]);
  }
  std::printf("\n");
  return 0;
}
