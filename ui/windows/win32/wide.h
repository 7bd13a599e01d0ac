// The core's UTF-16 texts at the Win32 edge: wchar_t is UTF-16 on Windows, so
// a text passes as it is.
#pragma once

#include <string>
#include <string_view>

namespace ui {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is UTF-16 on Windows");

inline std::wstring Wide(std::u16string_view text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

inline std::u16string Std16(std::wstring_view text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

}  // namespace ui
