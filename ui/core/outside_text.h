// Texts the program did not write (a queue's name, a printer's state
// message, a print service's or the system's error text), made safe to
// show in a sentence, here and nowhere else: such a text is shown as its
// own characters, and can't hide, reverse or stretch the message around it.
// The message functions (messages.h) and the judging of a job's fate
// (job_fate.h) pass every such text they are given through this.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ui {

// How much of an outside text a message shows, in characters.
inline constexpr std::size_t kNameCharacters = 100;     // a printer's, a server's name
inline constexpr std::size_t kMessageCharacters = 200;  // a printer's or a service's words
// A part of a sentence the program composed around outside texts already
// made safe (a printer's faults with its message, a pool's members), or
// a whole message given as a reason: bounded, but never cut in practice.
inline constexpr std::size_t kComposedCharacters = 600;

// `text` as a person may see it in a sentence:
// - every control character (C0 and DEL, C1, and the line and paragraph
//   separators) a space;
// - every format character (Unicode's General_Category Cf, as of Unicode
//   15.1) taken out: the bidirectional marks, embeddings, overrides and
//   isolates, which turn the text around them; the zero-width space, the
//   word joiner, the byte order mark, the invisible operators, the soft
//   hyphen, the tags and the rest, which show nothing and would fill a
//   name with nothing a person sees, or make two names that look the same
//   differ. Only the zero-width non-joiner and joiner (U+200C, U+200D),
//   which scripts and emoji need between two of their characters, stay
//   where they stand alone between two characters that may need them
//   (neither ASCII nor a space); of several in a row, the first;
// - every lone surrogate U+FFFD;
// - and, when it has more than `most` characters, cut to `most` characters,
//   the last of them an ellipsis.
// Text that was not valid UTF-8 already shows U+FFFD where it was broken
// (FromUtf8). ShownAtMost(ShownAtMost(t, n), n) is ShownAtMost(t, n).
std::u16string ShownAtMost(std::u16string_view text, std::size_t most);

// A name as ShownAtMost makes it, at most kNameCharacters; a name that would show
// nothing but spaces (made of format characters, controls or spaces) is
// shown by its characters' numbers instead, "U+200B U+200B", so that it is
// never shown as "" and two such names can be told apart.
std::u16string ShownName(std::u16string_view name);
inline std::u16string ShownMessage(std::u16string_view words) {
  return ShownAtMost(words, kMessageCharacters);
}

}  // namespace ui
