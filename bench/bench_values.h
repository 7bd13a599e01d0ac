// The values that both our encoders and the libzint peer encode.
#pragma once

#include <cstddef>
#include <string_view>

namespace bench {

// A 13-digit value as typed: ITF-14 and Code 39 of all of it, UPC-A of the
// first 11 digits and EAN-13 of those followed by "0", each with its check digit.
inline constexpr std::string_view kValue13 = "1234567890123";

// The longest text the window passes to the Code 39 encoder: the value box's
// limit, 32,767 characters.
inline constexpr std::size_t kLongCode39 = 32767;

// The longest Code 39 text that libzint accepts.
inline constexpr std::size_t kZintCode39Max = 85;

}  // namespace bench
