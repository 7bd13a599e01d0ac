// The encoders' speed: a keystroke's four symbols, and long Code 39 texts.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "barcode/barcode.h"
#include "bench_values.h"

namespace {

// What one keystroke costs the encoders for a 13-digit value: ITF-14,
// Code 39, and UPC-A and EAN-13 with their check digits, the texts derived
// as the window derives them (ui/form_state.cpp, DeriveState).
void BM_FourSymbolsOf13Digits(benchmark::State& state) {
  const std::string value(bench::kValue13);
  for (auto _ : state) {
    std::string itf = value;
    auto a = barcode::EncodeI2of5(itf, true);
    auto b = barcode::EncodeCode39(value);
    std::string upca = value.substr(0, 11);
    std::string ean13 = upca + '0';
    upca += barcode::CheckDigit(upca);
    ean13 += barcode::CheckDigit(ean13);
    auto c = barcode::EncodeUPCA(upca);
    auto d = barcode::EncodeEAN13(ean13);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    benchmark::DoNotOptimize(c);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_FourSymbolsOf13Digits);

void Code39Of(benchmark::State& state, std::size_t length) {
  const std::string text(length, 'Z');
  for (auto _ : state) {
    auto p = barcode::EncodeCode39(text);
    benchmark::DoNotOptimize(p);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_Code39Of85Characters(benchmark::State& state) { Code39Of(state, bench::kZintCode39Max); }
BENCHMARK(BM_Code39Of85Characters);

void BM_Code39Of32767Characters(benchmark::State& state) { Code39Of(state, bench::kLongCode39); }
BENCHMARK(BM_Code39Of32767Characters)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
