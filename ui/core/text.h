// Texts cut by characters as a person counts them: a surrogate pair is one.
#pragma once

#include <QString>

namespace ui {

// The first `count` characters of `text`, where a surrogate pair counts as
// one character and is never split; `taken`, when given, gets how many
// characters that is.
QString LeftCharacters(const QString& text, qsizetype count, qsizetype* taken = nullptr);

}  // namespace ui
