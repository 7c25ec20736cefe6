// The URL encoders on 1 MB of mixed Shift-JIS text (kana, kanji, ASCII, half-width kana).
#include <benchmark/benchmark.h>

#include <string>

#include "actions/launch/url_encoding.h"

namespace {

const std::string& MixedText() {
  static const std::string text = [] {
    const std::string piece = "\x82\xA0\x88\x9F URL?q=abc&x=1 \xB1\xB2 \x8A\xBF\x8E\x9A";
    std::string t;
    while (t.size() < (1u << 20)) t += piece;
    return t;
  }();
  return text;
}

template <std::string (*Encode)(std::string_view, LeadBytePredicate)>
void EncodeMegabyte(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Encode(MixedText(), IsCp932LeadByte));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(MixedText().size()));
}
BENCHMARK_TEMPLATE(EncodeMegabyte, UrlEncodeSjis)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(EncodeMegabyte, UrlEncodeJis)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(EncodeMegabyte, UrlEncodeEuc)->Unit(benchmark::kMillisecond);

// The byte stage of the UTF-8 encoder (the runtime's conversion runs only on Windows).
void PercentEncodeUtf8Megabyte(benchmark::State& state) {
  const std::string utf8 = Utf16UnitsToUtf8(std::vector<uint16_t>(350000, 0x3042)) + "abc";
  for (auto _ : state) benchmark::DoNotOptimize(PercentEncodeUtf8Bytes(utf8));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(utf8.size()));
}
BENCHMARK(PercentEncodeUtf8Megabyte)->Unit(benchmark::kMillisecond);

}  // namespace
