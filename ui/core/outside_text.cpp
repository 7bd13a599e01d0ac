// Outside texts made safe to show.
#include "ui/core/outside_text.h"

#include "ui/core/text.h"

namespace ui {
namespace {

constexpr bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

constexpr bool IsControl(char16_t u) {
  return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

// Embeddings, overrides and their pop (U+202A to U+202E), isolates and
// theirs (U+2066 to U+2069): each would turn the text after it around.
constexpr bool IsBidiControl(char16_t u) {
  return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

constexpr char16_t kEllipsis = u'\u2026';

}  // namespace

std::u16string Shown(std::u16string_view text, std::size_t most) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (IsHigh(u) && i + 1 < text.size() && IsLow(text[i + 1])) {
      out += u;
      out += text[++i];
    } else if (IsHigh(u) || IsLow(u)) {
      out += u'\uFFFD';
    } else if (IsControl(u)) {
      out += u' ';
    } else if (!IsBidiControl(u)) {
      out += u;
    }
  }
  std::size_t characters = 0;
  LeftCharacters(out, most + 1, &characters);
  if (characters <= most) return out;
  std::u16string cut(most > 0 ? LeftCharacters(out, most - 1) : std::u16string_view());
  while (!cut.empty() && cut.back() == u' ') cut.pop_back();
  if (most > 0) cut += kEllipsis;
  return cut;
}

}  // namespace ui
