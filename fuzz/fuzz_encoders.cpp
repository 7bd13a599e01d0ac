// One libFuzzer target per encoder, chosen at build time by FUZZ_TARGET:
// every encoder on arbitrary bytes, checking what the encoders promise.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "barcode/barcode.h"
#include "decode.h"

using fuzzcheck::Check;

namespace {

bool Digits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}
bool Binary(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == '0' || c == '1'; });
}

[[maybe_unused]] void CheckDigitTarget(const std::string& data) {
  const std::string c = barcode::CheckDigit(data);
  if (!Digits(data)) return Check(c.empty(), "non-digits give no check digit");
  Check(c.size() == 1 && Digits(c), "one check digit");
  Check(fuzzcheck::WeighsTen(data + c), "check digit completes the sum");
}

[[maybe_unused]] void UpcaTarget(const std::string& data) {
  const std::string p = barcode::EncodeUPCA(data);
  if (data.size() != 12 || !Digits(data)) return Check(p.empty(), "UPC-A refuses");
  Check(p.size() == 95 && Binary(p), "UPC-A has 95 modules");
  Check(fuzzcheck::DecodeEan13(p) == "0" + data, "UPC-A reads back");
}

[[maybe_unused]] void Ean13Target(const std::string& data) {
  const std::string p = barcode::EncodeEAN13(data);
  if (data.size() != 13 || !Digits(data)) return Check(p.empty(), "EAN-13 refuses");
  Check(p.size() == 95 && Binary(p), "EAN-13 has 95 modules");
  Check(fuzzcheck::DecodeEan13(p) == data, "EAN-13 reads back");
}

[[maybe_unused]] void I2of5Target(const std::string& input) {
  if (input.empty()) return;
  const bool addCheck = input[0] & 1;
  const std::string original = input.substr(1);
  std::string data = original;
  const std::string p = barcode::EncodeI2of5(data, addCheck);
  const auto first = original.find_first_not_of(' ');
  const std::string trimmed =
      first == std::string::npos ? "" : original.substr(first, original.find_last_not_of(' ') - first + 1);
  if (p.empty()) {
    Check(data == trimmed, "refused data is trimmed, nothing more");
    Check(!Digits(trimmed) || (trimmed.size() % 2 == 1) != addCheck, "refused for a reason");
    return;
  }
  Check(Digits(trimmed) && data.size() % 2 == 0, "accepted data is even digits");
  Check(data.substr(0, trimmed.size()) == trimmed, "data keeps its digits");
  Check(data.size() == trimmed.size() + (addCheck ? 1 : 0), "check digit appended");
  if (addCheck) Check(fuzzcheck::WeighsTen(data), "mod-10 check");
  Check(p.size() == 4 + 9 * data.size() + 5 && Binary(p), "4 + 9 D + 5 modules");
  Check(fuzzcheck::DecodeI2of5(p) == data, "I2of5 reads back");
}

[[maybe_unused]] void Code39Target(const std::string& text) {
  const std::string p = barcode::EncodeCode39(text);
  std::string kept;
  for (char c : text) {
    if (c == '*') continue;
    const bool known = std::string_view("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%").find(c) !=
                       std::string_view::npos;
    kept += known ? c : ' ';  // unknown characters print as a space
  }
  Check(p.size() == 16 * (kept.size() + 2) && Binary(p), "16 (n + 2) modules");
  Check(fuzzcheck::DecodeCode39(p) == kept, "Code 39 reads back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(bytes), size);
  FUZZ_TARGET(input);
  return 0;
}
