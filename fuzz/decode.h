// Minimal scanners for the fuzz targets: read a bar pattern back into the
// characters it carries, from the symbologies' own rules and not from the
// encoders' tables, so that a target can check that what was encoded is what
// a scanner would read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fuzzcheck {

// 95 modules -> the 13 EAN-13 digits (a UPC-A symbol reads with a leading 0).
std::optional<std::string> DecodeEan13(std::string_view bars);
// Start, pairs, stop -> the digits.
std::optional<std::string> DecodeI2of5(std::string_view bars);
// Framed Code 39 -> its text; characters are read by their widths.
std::optional<std::string> DecodeCode39(std::string_view bars);

// Whether digits ending in their check digit weigh a multiple of ten (weight
// 1 on the check digit, then 3, 1, 3, ... leftwards); false for a non-digit.
bool WeighsTen(std::string_view digits);

// Fails the fuzz run (abort) with a message when `ok` is false.
void Check(bool ok, const char* what);

}  // namespace fuzzcheck
