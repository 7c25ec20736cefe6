// Key-file load and save with 1,000 entries, and FindById over 1,000 entries.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "hotkeys/hotkey_table.h"
#include "hotkeys/key_file.h"

namespace {

constexpr int kEntries = 1000;

void FillTable(HotKeyTable& table) {
  HotKeyEntry source;
  for (int i = 0; i < kEntries; ++i) {
    source.virtualKey = 0x41 + i % 26;
    source.modifiers = i % 16;
    source.actionType = 1 + i % 14;
    source.target = "C:\\Program Files\\Example\\program" + std::to_string(i) + ".exe";
    table.Add(&source);
  }
}

std::string TempFile() {
  char pattern[] = "/tmp/tavolet-bench-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd >= 0) close(fd);
  return pattern;
}

void KeyFileSave1000(benchmark::State& state) {
  HotKeyTable table;
  FillTable(table);
  const std::string path = TempFile();
  for (auto _ : state) benchmark::DoNotOptimize(table.Save(path));
  std::remove(path.c_str());
}
BENCHMARK(KeyFileSave1000)->Unit(benchmark::kMicrosecond);

void KeyFileLoad1000(benchmark::State& state) {
  const std::string path = TempFile();
  {
    HotKeyTable table;
    FillTable(table);
    table.Save(path);
  }
  HotKeyTable table;
  for (auto _ : state) benchmark::DoNotOptimize(table.Load(path));
  std::remove(path.c_str());
}
BENCHMARK(KeyFileLoad1000)->Unit(benchmark::kMicrosecond);

void FindById1000(benchmark::State& state) {
  HotKeyTable table;
  FillTable(table);
  int32_t id = 0;
  for (auto _ : state) {
    id = id % kEntries + 1;  // every id in turn: the average walk is half the table
    benchmark::DoNotOptimize(table.FindById(id));
  }
}
BENCHMARK(FindById1000);

}  // namespace
