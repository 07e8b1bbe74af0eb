#pragma once
// Logger lines read by their shape. A logger writes the fields of a column
// with the same number of digits line after line, so the last plain line
// (per field: a minus or not, and how many digits) makes a template for the
// next one: a digit wherever it had a digit, and the same byte wherever it
// had a minus, a ';' or its line end. A line that fits the template is
// checked sixteen bytes at a time and its fields read side by side, without
// a look at each byte to find where each one ends. A line of another shape
// is read field by field, and its shape taken for the next.
// Pays: a sixth off BM_LoadLogger32768Samples against reading every line field by field.

#include "import/LoggerField.h"
#include "import/PlainDigits.h"
#include "model/SampleRow.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trelvano {

struct LoggerLineShape {
  static constexpr int kLongest = kSampleColumns * 12;  // a minus, ten digits and a ';' per field
  int fields = 0;                                       // 0 while no shape is known
  int length = 0;                                       // bytes up to and including the last field's end
  // The template: the byte expected at each place, 0 where a digit belongs.
  alignas(16) unsigned char expected[kLongest] = {};
  alignas(16) unsigned char digit[kLongest] = {};  // 0xFF where a digit belongs
  struct Field {
    int first;     // its first digit, from the line's start
    int digits;    // 1 … 10
    int shift;     // 8 · (4 − digits) for up to 4 digits, 8 · (8 − digits) for up to 8, else 8 · (16 − digits)
    int32_t sign;  // −1 behind a minus, else 0
  } field[kSampleColumns] = {};
  int hits = 0, misses = 0;

  // A file whose lines keep changing their shape soon stops trying.
  bool worthTrying() const { return misses < 64 || misses * 4 < hits; }
};

// The shape of the line at p when its first `fields` fields are plain: an
// optional minus and 1 … 10 digits, each ended by ';', the last also by a
// line end. False for a line of any other form; then no shape is known.
inline bool learnLineShape(const char* p, const char* end, int fields, LoggerLineShape& shape) {
  shape.fields = 0;  // no shape while the template is half rewritten
  const char* const start = p;
  for (int f = 0; f < fields; ++f) {
    const bool minus = p < end && *p == '-';
    const char* const d = p + minus;
    int n = 0;
    while (n <= 10 && d + n < end && static_cast<unsigned char>(d[n] - '0') <= 9) ++n;
    if (n == 0 || n > 10 || d + n == end) return false;
    const char ended = d[n];
    if (ended != ';' && !(f == fields - 1 && (ended == '\r' || ended == '\n'))) return false;
    const int first = static_cast<int>(d - start);
    shape.field[f] = {first, n, 8 * ((n <= 4 ? 4 : n <= 8 ? 8 : 16) - n), minus ? -1 : 0};
    if (minus) {
      shape.expected[first - 1] = '-';
      shape.digit[first - 1] = 0;
    }
    std::memset(shape.expected + first, 0, static_cast<size_t>(n));
    std::memset(shape.digit + first, 0xFF, static_cast<size_t>(n));
    shape.expected[first + n] = static_cast<unsigned char>(ended);
    shape.digit[first + n] = 0;
    p = d + n + 1;
  }
  shape.fields = fields;
  shape.length = static_cast<int>(p - start);
  return true;
}

namespace logger_line_shape {

// Whether the `length` bytes at p fit the template.
inline bool fitsTemplate(const char* p, const LoggerLineShape& shape) {
#if defined(__SSE2__)
  const __m128i zero = _mm_set1_epi8('0'), nine = _mm_set1_epi8(9);
  unsigned misfit = 0;
  for (int at = 0; at < shape.length; at += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    const __m128i value = _mm_sub_epi8(bytes, zero);
    const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(value, nine), value);
    const __m128i isExpected =
        _mm_cmpeq_epi8(bytes, _mm_load_si128(reinterpret_cast<const __m128i*>(shape.expected + at)));
    const __m128i digitHere = _mm_load_si128(reinterpret_cast<const __m128i*>(shape.digit + at));
    const __m128i fits = _mm_or_si128(_mm_and_si128(digitHere, isDigit), _mm_andnot_si128(digitHere, isExpected));
    const int valid = shape.length - at;
    const unsigned counted = valid >= 16 ? 0xFFFFu : (1u << valid) - 1;
    misfit |= ~static_cast<unsigned>(_mm_movemask_epi8(fits)) & counted;
  }
  return misfit == 0;
#else
  for (int k = 0; k < shape.length; ++k) {
    const unsigned char b = static_cast<unsigned char>(p[k]);
    if (shape.digit[k] ? b - unsigned{'0'} > 9 : b != shape.expected[k]) return false;
  }
  return true;
#endif
}

}  // namespace logger_line_shape

// Reads the line at c.pos into row[0 …] when it fits the shape, and leaves
// the cursor where ReadLoggerField leaves it after the last field: behind
// its ';', or at its line end with FieldEndedLine set. Otherwise row may
// hold anything and the cursor is untouched.
inline bool readShapedLine(LoggerCursor& c, int32_t* row, const LoggerLineShape& shape) {
  // The template is checked sixteen bytes at a time, and a field's digits
  // read eight at a time from its first one (a quarter off
  // BM_LoadLogger32768Samples against a loop over the digits).
  if (shape.fields == 0 || c.end - c.pos < shape.length + 16) return false;
  const char* const p = c.pos;
  if (!logger_line_shape::fitsTemplate(p, shape)) return false;
  bool tooLarge = false;
  for (int f = 0; f < shape.fields; ++f) {
    const LoggerLineShape::Field& field = shape.field[f];
    const char* const d = p + field.first;
    int64_t v;
    if (field.digits <= 4) {  // most fields of a logger line
      v = fourDigits(fourDigitValues(d) << field.shift);
    } else if (field.digits <= 8) {
      v = static_cast<int64_t>(eightDigits(digitValues(d) << field.shift));
    } else {
      v = static_cast<int64_t>(eightDigits(digitValues(d))) * (field.digits == 9 ? 10 : 100) +
          static_cast<int64_t>(eightDigits(digitValues(d + 8) << field.shift));
      tooLarge |= v > INT32_MAX;
    }
    row[f] = static_cast<int32_t>((v ^ field.sign) - field.sign);
  }
  if (tooLarge) return false;  // ReadLoggerField's error
  const bool lineEnded = p[shape.length - 1] != ';';
  c.pos = p + shape.length - (lineEnded ? 1 : 0);
  c.FieldEndedLine |= lineEnded;
  c.DigitSeen = true;
  return true;
}

}  // namespace trelvano
