// Texts cut by characters: surrogate pairs are never split.
#include "ui/core/text.h"

namespace ui {

QString LeftCharacters(const QString& text, qsizetype count, qsizetype* taken) {
  qsizetype i = 0;
  qsizetype n = 0;
  for (; n < count && i < text.size(); ++n) {
    // A surrogate pair is one character, a lone surrogate one too.
    const bool pair =
        text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    i += pair ? 2 : 1;
  }
  if (taken) *taken = n;
  return text.left(i);
}

}  // namespace ui
