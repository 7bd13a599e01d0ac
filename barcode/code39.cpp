// Code 39 with "*" start/stop characters and no check character.
#include <array>
#include <cstdint>
#include <cstring>

#include "barcode/barcode.h"

namespace barcode {
namespace {

struct Row {
  char character;
  std::string_view widths;  // bar, space, bar, ... : N narrow, W wide
};

// The 43 data characters and the start/stop character.
constexpr std::array<Row, 44> kRows = {{
    {'0', "NNNWWNWNN"}, {'1', "WNNWNNNNW"}, {'2', "NNWWNNNNW"}, {'3', "WNWWNNNNN"},
    {'4', "NNNWWNNNW"}, {'5', "WNNWWNNNN"}, {'6', "NNWWWNNNN"}, {'7', "NNNWNNWNW"},
    {'8', "WNNWNNWNN"}, {'9', "NNWWNNWNN"}, {'A', "WNNNNWNNW"}, {'B', "NNWNNWNNW"},
    {'C', "WNWNNWNNN"}, {'D', "NNNNWWNNW"}, {'E', "WNNNWWNNN"}, {'F', "NNWNWWNNN"},
    {'G', "NNNNNWWNW"}, {'H', "WNNNNWWNN"}, {'I', "NNWNNWWNN"}, {'J', "NNNNWWWNN"},
    {'K', "WNNNNNNWW"}, {'L', "NNWNNNNWW"}, {'M', "WNWNNNNWN"}, {'N', "NNNNWNNWW"},
    {'O', "WNNNWNNWN"}, {'P', "NNWNWNNWN"}, {'Q', "NNNNNNWWW"}, {'R', "WNNNNNWWN"},
    {'S', "NNWNNNWWN"}, {'T', "NNNNWNWWN"}, {'U', "WWNNNNNNW"}, {'V', "NWWNNNNNW"},
    {'W', "WWWNNNNNN"}, {'X', "NWNNWNNNW"}, {'Y', "WWNNWNNNN"}, {'Z', "NWWNWNNNN"},
    {'-', "NWNNNNWNW"}, {'.', "WWNNNNWNN"}, {' ', "NWWNNNWNN"}, {'$', "NWNWNWNNN"},
    {'/', "NWNWNNNWN"}, {'+', "NWNNNWNWN"}, {'%', "NNNWNWNWN"}, {'*', "NWNNWNWNN"},
}};

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
  Modules space{};
  for (const Row& r : kRows)
    if (r.character == ' ') space = Expand(r.widths);
  for (auto& m : t.byByte) m = space;  // unknown characters print as a space
  for (const Row& r : kRows)
    t.byByte[static_cast<std::uint8_t>(r.character)] = Expand(r.widths);
  return t;
}

constexpr Table kTable = MakeTable();

const Modules& Of(char c) { return kTable.byByte[static_cast<std::uint8_t>(c)]; }

char* Put(char* out, char c) {
  std::memcpy(out, Of(c).data(), sizeof(Modules));
  return out + sizeof(Modules);
}

std::size_t CountStars(std::string_view text) {
  std::size_t stars = 0;
  if (text.size() < 32) {  // cheaper than a call
    for (char c : text) stars += c == '*';
    return stars;
  }
  const char* const end = text.data() + text.size();
  for (const char* s = text.data(); s != end; ++s, ++stars) {
    s = static_cast<const char*>(std::memchr(s, '*', static_cast<std::size_t>(end - s)));
    if (s == nullptr) break;
  }
  return stars;
}

}  // namespace

BarPattern EncodeCode39(std::string_view text) {
  const std::size_t kept = text.size() - CountStars(text);
  BarPattern out(sizeof(Modules) * (kept + 2), '\0');
  char* p = Put(out.data(), '*');
  // A star is written too, but the cursor stays, so what follows overwrites
  // it; there is always room, as the stop character is still to come.
  for (char c : text) {
    std::memcpy(p, Of(c).data(), sizeof(Modules));
    p += c == '*' ? 0 : sizeof(Modules);
  }
  Put(p, '*');
  return out;
}

}  // namespace barcode
