#pragma once
// Reading a logger file field by field, the way the logger's files have always
// been read: every field is a signed integer; digits count, a minus sign
// counts before the first non-zero digit, every other character is ignored.

#include "import/TextLines.h"
#include "model/RunError.h"

#include <cstdint>

namespace trelvano {

// A position in the text of a logger file. `end` is the end of the text (the
// first Ctrl-Z or the end of the bytes); at the end, reading hands out a
// Ctrl-Z without moving on.
struct LoggerCursor {
  const char* pos;
  const char* end;
  bool FieldEndedLine = false;  // set by a field that stopped at a line end, not at ';'
  bool DigitSeen = false;       // set by a field that held a digit; cleared by the reader's caller
};

// Reads one field: characters up to and including ';', or up to (not
// including) a line end or the end of the text; then it sets FieldEndedLine.
// A field that begins at a line end consumes it and runs on into the next
// line. An LF directly after a CR the field has just read belongs to that CR
// and does not stop it, so CR LF, CR and LF files read alike. Throws
// "Integerüberlauf" when the digits exceed the 32-bit range.
inline int32_t ReadLoggerField(LoggerCursor& c) {
  const char* p = c.pos;
  const char* const end = c.end;

  // The usual field: an optional minus, up to ten digits, then ';' or a line
  // end. It reads the same as the loop below, without its checks per character.
  if (end - p >= 12) {
    const bool minus = *p == '-';
    const char* const digits = p + minus;
    int n = 0;
    uint64_t v = 0;
    for (; n < 10; ++n) {
      const unsigned d = static_cast<unsigned char>(digits[n]) - unsigned{'0'};
      if (d > 9) break;
      v = v * 10 + d;
    }
    const char* const q = digits + n;
    c.DigitSeen |= n != 0;
    if (v <= INT32_MAX && q > p) {
      const int32_t value = static_cast<int32_t>(minus ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
      if (*q == ';') {
        c.pos = q + 1;
        return value;
      }
      if (*q == '\r' || *q == '\n') {
        c.pos = q;
        c.FieldEndedLine = true;
        return value;
      }
    }
  }

  int32_t value = 0;
  bool negative = false;
  for (;;) {
    const char ch = p == end ? kCtrlZ : *p++;
    const unsigned digit = static_cast<unsigned char>(ch) - unsigned{'0'};
    if (digit <= 9) {
      c.DigitSeen = true;
      if (__builtin_mul_overflow(value, 10, &value) ||
          __builtin_add_overflow(value, static_cast<int32_t>(digit), &value)) {
        c.pos = p;
        throw RunError::intOverflow();
      }
    } else if (ch == ';') {
      c.pos = p;
      return negative ? -value : value;
    } else if (ch == '-' && value == 0) {
      negative = true;
    }
    if (p == end || *p == '\r' || (*p == '\n' && ch != '\r')) break;
  }
  c.pos = p;
  c.FieldEndedLine = true;
  return negative ? -value : value;
}

// Skips the rest of the line and its line end.
inline void skipLine(LoggerCursor& c) {
  const char* p = c.pos;
  while (p < c.end) {
    const char ch = *p++;
    if (ch == '\n') break;
    if (ch == '\r') {
      if (p < c.end && *p == '\n') ++p;
      break;
    }
  }
  c.pos = p;
}

inline bool atTextEnd(const LoggerCursor& c) { return c.pos >= c.end; }

}  // namespace trelvano
