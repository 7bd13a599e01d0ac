// The core's UTF-16 texts at Qt's edge, and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace ui {

inline QString Qt16(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string Std16(const QString& text) { return text.toStdU16String(); }

}  // namespace ui
