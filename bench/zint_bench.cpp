// libzint as the peer of our encoders: the same symbologies of the same
// values, in the same run. Each symbol is encoded into a zint_symbol made
// once outside the timed loop and cleared before every encode, which is the
// cheapest way the library offers to encode again. libzint computes the
// check digits of ITF-14, UPC-A and EAN-13 itself, so it gets the data
// without them, where our side pays for CheckDigit and the concatenations.
//
// Before timing, every case checks that libzint encodes the same bars and
// spaces as ours. They match module for module but for Code 39, where
// libzint draws wide elements two modules wide (ours: three) and leaves out
// the gap after the stop character.
#include <benchmark/benchmark.h>
#include <zint.h>

#include <memory>
#include <string>
#include <vector>

#include "barcode/barcode.h"
#include "bench_values.h"

namespace {

struct Symbol {
  int symbology;
  std::string data;  // what libzint gets
  std::string ours;  // our pattern of the same symbol
};

std::vector<Symbol> FourSymbols() {
  const std::string value(bench::kValue13);
  std::string itf = value;
  const std::string u = value.substr(0, 11), e = u + "0";
  std::vector<Symbol> s;
  s.push_back({BARCODE_ITF14, value, barcode::EncodeI2of5(itf, true)});
  s.push_back({BARCODE_CODE39, value, barcode::EncodeCode39(value)});
  s.push_back({BARCODE_UPCA, u, barcode::EncodeUPCA(u + barcode::CheckDigit(u))});
  s.push_back({BARCODE_EANX, e, barcode::EncodeEAN13(e + barcode::CheckDigit(e))});
  return s;
}

// The widths of the alternating dark and light runs, dark first.
std::vector<int> Runs(const std::string& modules) {
  std::vector<int> runs;
  for (std::size_t i = 0; i < modules.size(); ++i) {
    if (i == 0 || modules[i] != modules[i - 1]) runs.push_back(0);
    ++runs.back();
  }
  return runs;
}

std::string ZintModules(const zint_symbol& z) {
  std::string m;
  for (int x = 0; x < z.width; ++x)
    m += (z.encoded_data[0][x >> 3] >> (x & 7) & 1) != 0 ? '1' : '0';
  return m;
}

// Empty when libzint encodes the same elements as we do; else what differs.
std::string Compare(const zint_symbol& z, const std::string& ours, int zintWide) {
  std::vector<int> a = Runs(ours), b = Runs(ZintModules(z));
  if (!a.empty() && a.size() % 2 == 0) a.pop_back();  // our trailing Code 39 gap
  for (int& w : a) w = w == 3 && zintWide == 2 ? 2 : w;
  if (a != b) return "libzint's elements differ from ours: " + ZintModules(z) + " vs " + ours;
  return {};
}

struct Zint {
  std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> s{ZBarcode_Create(), ZBarcode_Delete};
  explicit Zint(int symbology) { s->symbology = symbology; }
  int Encode(const std::string& data) {
    ZBarcode_Clear(s.get());
    return ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(data.data()),
                           static_cast<int>(data.size()));
  }
};

// libzint draws the wide elements of Code 39 two modules wide.
int ZintWide(int symbology) { return symbology == BARCODE_CODE39 ? 2 : 3; }

void BM_FourSymbolsOf13Digits_libzint(benchmark::State& state) {
  const std::vector<Symbol> symbols = FourSymbols();
  std::vector<Zint> z;
  z.reserve(symbols.size());
  for (const Symbol& s : symbols) {
    z.emplace_back(s.symbology);
    if (z.back().Encode(s.data) >= ZINT_ERROR) return state.SkipWithError(z.back().s->errtxt);
    const std::string diff = Compare(*z.back().s, s.ours, ZintWide(s.symbology));
    if (!diff.empty()) return state.SkipWithError(diff.c_str());
  }
  for (auto _ : state) {
    for (std::size_t k = 0; k < symbols.size(); ++k)
      benchmark::DoNotOptimize(z[k].Encode(symbols[k].data));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FourSymbolsOf13Digits_libzint);

// libzint refuses longer Code 39 text ("Input too long"), so the 32,766
// characters have no peer case; 85 is the longest both encode.
void BM_Code39Of85Characters_libzint(benchmark::State& state) {
  const std::string text(bench::kZintCode39Max, 'Z');
  Zint z(BARCODE_CODE39);
  if (z.Encode(text) >= ZINT_ERROR) return state.SkipWithError(z.s->errtxt);
  const std::string diff = Compare(*z.s, barcode::EncodeCode39(text), 2);
  if (!diff.empty()) return state.SkipWithError(diff.c_str());
  for (auto _ : state) {
    benchmark::DoNotOptimize(z.Encode(text));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_Code39Of85Characters_libzint);

}  // namespace
