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

// `text` with every control character (C0 and DEL, C1, and the line and
// paragraph separators) a space, the bidirectional embeddings, overrides
// and isolates (U+202A to U+202E, U+2066 to U+2069) removed, every lone
// surrogate U+FFFD, and, when it has more than `most` characters, cut to
// `most` characters, the last of them an ellipsis. Text that was not valid
// UTF-8 already shows U+FFFD where it was broken (FromUtf8). Shown(Shown(t,
// n), n) is Shown(t, n).
std::u16string Shown(std::u16string_view text, std::size_t most);

inline std::u16string ShownName(std::u16string_view name) { return Shown(name, kNameCharacters); }
inline std::u16string ShownMessage(std::u16string_view words) {
  return Shown(words, kMessageCharacters);
}

}  // namespace ui
