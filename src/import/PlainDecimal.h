#pragma once
// The decimals GPX writers emit ("-12.5", "400"), read straight from the
// bytes to the double QString::toDouble gives. Other forms (exponents, "+",
// ".5", blanks, more than 40 characters) are left to the XML reader.

#include <string_view>

namespace trelvano {

// The number at p: its value in `value` and the position behind its last
// digit, or nullptr where no plain decimal starts at p.
const char* readPlainDecimal(const char* p, const char* end, double& value);

// Whether all of `text` is one plain decimal, with its value in `value`.
inline bool plainDecimal(std::string_view text, double& value) {
  const char* const end = text.data() + text.size();
  return !text.empty() && readPlainDecimal(text.data(), end, value) == end;
}

}  // namespace trelvano
