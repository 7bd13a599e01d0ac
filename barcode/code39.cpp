// Code 39 with "*" start/stop characters and no check character.
#include <array>
#include <cstdint>
#include <cstring>

#include "barcode/barcode.h"

namespace barcode {
namespace {

// Bar, space, bar, ... of each character: N narrow, W wide. The 43 data
// characters in the order of the character set, then the start/stop "*".
constexpr std::array<std::string_view, 44> kWidths = {{
    "NNNWWNWNN", "WNNWNNNNW", "NNWWNNNNW", "WNWWNNNNN", "NNNWWNNNW", "WNNWWNNNN",  // 0-5
    "NNWWWNNNN", "NNNWNNWNW", "WNNWNNWNN", "NNWWNNWNN",                            // 6-9
    "WNNNNWNNW", "NNWNNWNNW", "WNWNNWNNN", "NNNNWWNNW", "WNNNWWNNN", "NNWNWWNNN",  // A-F
    "NNNNNWWNW", "WNNNNWWNN", "NNWNNWWNN", "NNNNWWWNN", "WNNNNNNWW", "NNWNNNNWW",  // G-L
    "WNWNNNNWN", "NNNNWNNWW", "WNNNWNNWN", "NNWNWNNWN", "NNNNNNWWW", "WNNNNNWWN",  // M-R
    "NNWNNNWWN", "NNNNWNWWN", "WWNNNNNNW", "NWWNNNNNW", "WWWNNNNNN", "NWNNWNNNW",  // S-X
    "WWNNWNNNN", "NWWNWNNNN",                                                    // Y-Z
    "NWNNNNWNW", "WWNNNNWNN", "NWWNNNWNN", "NWNWNWNNN", "NWNWNNNWN", "NWNNNWNWN",  // - . space $ / +
    "NNNWNWNWN", "NWNNWNWNN",                                                    // % *
}};
static_assert(kCode39Set.size() + 1 == kWidths.size());

// Each character's 15 modules followed by its one-module gap.
using Modules = std::array<char, 16>;

constexpr Modules Expand(std::string_view widths) {
  Modules m{};
  std::size_t at = 0;
  for (std::size_t e = 0; e < widths.size(); ++e) {
    const char module = e % 2 == 0 ? '1' : '0';
    const std::size_t width = widths[e] == 'W' ? 3 : 1;
    for (std::size_t k = 0; k < width; ++k) m[at++] = module;
  }
  m[at] = '0';
  return m;
}

struct Table {
  std::array<Modules, 256> byByte{};
};

constexpr Table MakeTable() {
  Table t;
  const Modules space = Expand(kWidths[kCode39Set.find(' ')]);
  for (auto& m : t.byByte) m = space;  // unknown characters print as a space
  for (std::size_t i = 0; i < kCode39Set.size(); ++i)
    t.byByte[static_cast<std::uint8_t>(kCode39Set[i])] = Expand(kWidths[i]);
  t.byByte[static_cast<std::uint8_t>('*')] = Expand(kWidths.back());
  return t;
}

constexpr Table kTable = MakeTable();

const Modules& Of(char c) { return kTable.byByte[static_cast<std::uint8_t>(c)]; }

char* Put(char* out, char c) {
  std::memcpy(out, Of(c).data(), sizeof(Modules));
  return out + sizeof(Modules);
}

}  // namespace

BarPattern EncodeCode39(std::string_view text) {
  // Room for every character: one pass, no count of the stars first. The
  // room that dropped stars would have taken is cut off at the end.
  BarPattern out(sizeof(Modules) * (text.size() + 2), '\0');
  char* p = Put(out.data(), '*');
  // A star is written too, but the cursor stays, so what follows overwrites
  // it; there is always room, as the stop character is still to come.
  for (char c : text) {
    std::memcpy(p, Of(c).data(), sizeof(Modules));
    p += c == '*' ? 0 : sizeof(Modules);
  }
  const std::size_t length = static_cast<std::size_t>(Put(p, '*') - out.data());
  if (length != out.size()) {
    out.resize(length);
    out.shrink_to_fit();
  }
  return out;
}

}  // namespace barcode
