// Texts cut by characters, upper-cased, converted and filled in.
#include "ui/core/text.h"

#include <array>
#include <utility>
#include <vector>

namespace ui {
namespace {

constexpr bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Letters outside ASCII whose full upper case (Unicode's SpecialCasing) is
// made of ASCII letters only.
constexpr std::array<std::pair<char16_t, std::u16string_view>, 10> kUpperIntoAscii = {{
    {u'\u00DF', u"SS"},   // sharp s
    {u'\u0131', u"I"},    // dotless i
    {u'\u017F', u"S"},    // long s
    {u'\uFB00', u"FF"},   {u'\uFB01', u"FI"}, {u'\uFB02', u"FL"},
    {u'\uFB03', u"FFI"},  {u'\uFB04', u"FFL"},
    {u'\uFB05', u"ST"},   {u'\uFB06', u"ST"},
}};

}  // namespace

std::u16string_view LeftCharacters(std::u16string_view text, std::size_t count,
                                   std::size_t* taken) {
  std::size_t i = 0;
  std::size_t n = 0;
  for (; n < count && i < text.size(); ++n) {
    // A surrogate pair is one character, a lone surrogate one too.
    const bool pair = IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1]);
    i += pair ? 2 : 1;
  }
  if (taken) *taken = n;
  return text.substr(0, i);
}

std::u16string UpperCase(std::u16string_view text) {
  std::u16string upper;
  upper.reserve(text.size());
  for (const char16_t u : text) {
    if (u >= u'a' && u <= u'z') {
      upper += static_cast<char16_t>(u - u'a' + u'A');
      continue;
    }
    bool mapped = false;
    if (u > 0x7F)
      for (const auto& [from, to] : kUpperIntoAscii)
        if (u == from) {
          upper += to;
          mapped = true;
          break;
        }
    if (!mapped) upper += u;
  }
  return upper;
}

std::u16string FromUtf8(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    int extra = -1;  // continuation bytes that follow
    char32_t c = 0;
    if (b < 0x80) {
      extra = 0;
      c = b;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1;
      c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2;
      c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3;
      c = b & 0x07;
    }
    bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < utf8.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto cb = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
      ok = (cb & 0xC0) == 0x80;
      c = (c << 6) | (cb & 0x3F);
    }
    // Overlong forms, surrogates and what lies past U+10FFFF are not UTF-8.
    constexpr std::array<char32_t, 4> kLeast = {0, 0x80, 0x800, 0x10000};
    if (ok && extra > 0 && (c < kLeast[static_cast<std::size_t>(extra)] || c > 0x10FFFF ||
                            (c >= 0xD800 && c <= 0xDFFF)))
      ok = false;
    if (!ok) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsHigh(text[i]) || IsLow(text[i])) {
      c = 0xFFFD;  // a lone surrogate
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string Fill(std::u16string_view pattern, std::initializer_list<std::u16string_view> args) {
  const std::vector<std::u16string_view> all(args);
  std::u16string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : u'\0';
    if (pattern[i] == u'%' && next >= u'1' && next <= u'9' &&
        static_cast<std::size_t>(next - u'1') < all.size()) {
      out += all[static_cast<std::size_t>(next - u'1')];
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string XmlText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += u"&quot;"; break;
      case u'\'': out += u"&apos;"; break;
      default:
        if ((c >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r') && c != 0xFFFE && c != 0xFFFF)
          out += c;
    }
  }
  return ToUtf8(out);  // a lone surrogate as U+FFFD
}

std::u16string Number(long long n) {
  const std::string digits = std::to_string(n);
  return {digits.begin(), digits.end()};
}

std::u16string ShellWord(std::u16string_view word) {
  const auto plain = [](char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           std::u16string_view(u"@%+=:,./_-").find(c) != std::u16string_view::npos;
  };
  bool asItIs = !word.empty();
  for (const char16_t c : word) asItIs = asItIs && plain(c);
  if (asItIs) return std::u16string(word);
  std::u16string quoted = u"'";
  for (const char16_t c : word) quoted += c == u'\'' ? std::u16string(u"'\\''") : std::u16string(1, c);
  return quoted + u'\'';
}

}  // namespace ui
