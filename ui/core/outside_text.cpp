// Outside texts made safe to show.
#include "ui/core/outside_text.h"

#include <algorithm>
#include <array>

#include "ui/core/text.h"

namespace ui {
namespace {

constexpr bool IsHigh(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool IsLow(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

constexpr bool IsControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

struct Range {
  char32_t first;
  char32_t last;
};

// The format characters (General_Category Cf) of Unicode 15.1, ascending.
constexpr std::array<Range, 21> kFormat = {{
    {0x00AD, 0x00AD},    // soft hyphen
    {0x0600, 0x0605},    // Arabic number signs and marks, set before digits
    {0x061C, 0x061C},    // Arabic letter mark
    {0x06DD, 0x06DD},    // Arabic end of ayah
    {0x070F, 0x070F},    // Syriac abbreviation mark
    {0x0890, 0x0891},    // Arabic pound and piastre marks above
    {0x08E2, 0x08E2},    // Arabic disputed end of ayah
    {0x180E, 0x180E},    // Mongolian vowel separator
    {0x200B, 0x200F},    // zero-width space, non-joiner, joiner; the two direction marks
    {0x202A, 0x202E},    // embeddings, overrides and their pop
    {0x2060, 0x2064},    // word joiner, invisible operators
    {0x2066, 0x206F},    // isolates and their pop; the deprecated shaping controls
    {0xFEFF, 0xFEFF},    // zero-width no-break space (byte order mark)
    {0xFFF9, 0xFFFB},    // interlinear annotation
    {0x110BD, 0x110BD},  // Kaithi number sign
    {0x110CD, 0x110CD},  // Kaithi number sign above
    {0x13430, 0x1343F},  // Egyptian hieroglyph format controls
    {0x1BCA0, 0x1BCA3},  // shorthand format controls
    {0x1D173, 0x1D17A},  // musical beams, ties, slurs and phrases
    {0xE0001, 0xE0001},  // language tag
    {0xE0020, 0xE007F},  // tags
}};
static_assert(std::adjacent_find(kFormat.begin(), kFormat.end(), [](Range a, Range b) {
                return a.first > a.last || a.last >= b.first;
              }) == kFormat.end());

constexpr bool IsFormat(char32_t c) {
  const auto* r = std::lower_bound(kFormat.begin(), kFormat.end(), c,
                                   [](const Range& range, char32_t x) { return range.last < x; });
  return r != kFormat.end() && c >= r->first;
}

constexpr bool IsJoiner(char32_t c) { return c == 0x200C || c == 0x200D; }

// The space separators (General_Category Zs).
constexpr bool IsSpace(char32_t c) {
  return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

// A character a joiner may stand beside: a script's or an emoji's.
constexpr bool MayJoin(char32_t c) { return c >= 0x80 && !IsSpace(c) && !IsJoiner(c); }

constexpr char16_t kEllipsis = u'\u2026';

// The character at `i` (a surrogate pair's whole, or a lone surrogate as
// itself), `i` moved past it.
char32_t Next(std::u16string_view text, std::size_t& i) {
  const char32_t u = text[i++];
  if (IsHigh(u) && i < text.size() && IsLow(text[i]))
    return 0x10000 + ((u - 0xD800) << 10) + (text[i++] - 0xDC00);
  return u;
}

void Append(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
}

}  // namespace

std::u16string ShownAtMost(std::u16string_view text, std::size_t most) {
  // What may be seen, the joiners still among it.
  std::u32string seen;
  seen.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = Next(text, i);
    if (IsHigh(c) || IsLow(c)) c = 0xFFFD;
    if (IsControl(c))
      seen += U' ';
    else if (!IsFormat(c) || IsJoiner(c))
      seen += c;
  }
  std::u16string out;
  out.reserve(seen.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (!IsJoiner(seen[i])) {
      Append(out, seen[i]);
      continue;
    }
    std::size_t after = i;
    while (after < seen.size() && IsJoiner(seen[after])) ++after;
    if (i > 0 && MayJoin(seen[i - 1]) && after < seen.size() && MayJoin(seen[after]))
      Append(out, seen[i]);
    i = after - 1;
  }
  std::size_t characters = 0;
  LeftCharacters(out, most + 1, &characters);
  if (characters <= most) return out;
  std::u16string cut(most > 0 ? LeftCharacters(out, most - 1) : std::u16string_view());
  // A joiner before the ellipsis would join nothing.
  while (!cut.empty() && (cut.back() == u' ' || IsJoiner(cut.back()))) cut.pop_back();
  if (most > 0) cut += kEllipsis;
  return cut;
}

std::u16string ShownName(std::u16string_view name) {
  std::u16string shown = ShownAtMost(name, kNameCharacters);
  if (name.empty() || !std::all_of(shown.begin(), shown.end(), IsSpace)) return shown;
  // Nothing to see: its characters by their numbers, as many as fit whole.
  std::u16string numbers;
  std::size_t whole = 0;  // what fits with an ellipsis after it
  for (std::size_t i = 0; i < name.size() && numbers.size() <= kNameCharacters;) {
    const char32_t c = Next(name, i);
    if (!numbers.empty()) numbers += u' ';
    numbers += u"U+";
    for (int shift = c > 0xFFFF ? (c > 0xFFFFF ? 20 : 16) : 12; shift >= 0; shift -= 4)
      numbers += u"0123456789ABCDEF"[(c >> shift) & 0xF];
    if (numbers.size() < kNameCharacters) whole = numbers.size();
  }
  if (numbers.size() <= kNameCharacters) return numbers;
  numbers.resize(whole);
  return numbers + kEllipsis;
}

}  // namespace ui
