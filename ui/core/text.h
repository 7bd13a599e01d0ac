// The core's texts: UTF-16 (std::u16string), as both platforms' text boxes
// hold them. Cut by characters as a person counts them (a surrogate pair is
// one), converted to and from UTF-8, and filled in from numbered places.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ui {

// The first `count` characters of `text`, where a surrogate pair counts as
// one character and is never split; `taken`, when given, gets how many
// characters that is.
std::u16string_view LeftCharacters(std::u16string_view text, std::size_t count,
                                   std::size_t* taken = nullptr);

// `text` in upper case. The ASCII letters, and the letters outside ASCII
// whose upper case is ASCII letters ("ß" -> "SS", the long s, the dotless i
// and the Latin ligatures "ﬁ" -> "FI", as Unicode's full case mapping has
// them); every other character is left as it is. Only ASCII characters are
// in the Code 39 set, so no other upper case can make a value valid there.
std::u16string UpperCase(std::u16string_view text);

// UTF-8 and back; what is not valid in the one becomes U+FFFD in the other.
std::u16string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view text);

// Each "%1" to "%9" in `pattern` replaced by that argument.
std::u16string Fill(std::u16string_view pattern, std::initializer_list<std::u16string_view> args);

// `text` as XML character data, in UTF-8: "&", "<", ">" and both quotes as
// references, so that no text can open an element or end an attribute, and
// what XML 1.0 allows nowhere, even as a reference (the C0 controls but tab,
// line feed and carriage return; U+FFFE, U+FFFF), left out.
std::string XmlText(std::u16string_view text);

// A whole number in decimal.
std::u16string Number(long long n);

// `word` as a shell takes it as one word, for a command a message suggests
// ("cupsenable Q"): as it is when every character of it is one no shell
// gives a meaning to, else in single quotes. A queue's name, which others
// choose, may hold "<", ";" or "$".
std::u16string ShellWord(std::u16string_view word);

}  // namespace ui
