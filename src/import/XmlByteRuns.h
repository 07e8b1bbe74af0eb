#pragma once
// Finding where a run of ordinary bytes in XML ends, 16 bytes at a time where
// SSE2 is there. A byte-by-byte loop pays a mispredicted branch at the end of
// nearly every name, value and text; a mask and a bit count do not.
// Each kind of run stops at the same bytes either way.

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trelvano {

namespace xmlruns {

// A name goes on over ASCII letters, digits, '.', '-', '_' and ':'.
struct Name {
  static bool stops(unsigned c) {
    const unsigned lower = c | 0x20;
    return !((lower >= 'a' && lower <= 'z') || (c >= '0' && c <= ':') || c == '-' || c == '.' || c == '_');
  }
#if defined(__SSE2__)
  static unsigned mask(__m128i v) {
    const __m128i lower = _mm_or_si128(v, _mm_set1_epi8(0x20));
    const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(lower, _mm_set1_epi8('a' - 1)),
                                         _mm_cmplt_epi8(lower, _mm_set1_epi8('z' + 1)));
    const __m128i digitOrColon =
        _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(v, _mm_set1_epi8(':' + 1)));
    const __m128i punctuation = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('-')),
                                                          _mm_cmpeq_epi8(v, _mm_set1_epi8('.'))),
                                             _mm_cmpeq_epi8(v, _mm_set1_epi8('_')));
    return ~unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, digitOrColon), punctuation))) & 0xFFFF;
  }
#endif
};

// The stops of text and attribute values: control characters (tab, line
// feed and carriage return among them), non-ASCII bytes and the listed ones.
template <char A, char B, char C, char D>
struct Content {
  static bool stops(unsigned c) { return c < 0x20 || c >= 0x80 || c == unsigned(A) || c == unsigned(B) || c == unsigned(C) || c == unsigned(D); }
#if defined(__SSE2__)
  static unsigned mask(__m128i v) {
    // Signed: non-ASCII bytes are below 0x20 too.
    const __m128i special = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(A)), _mm_cmpeq_epi8(v, _mm_set1_epi8(B))),
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(C)), _mm_cmpeq_epi8(v, _mm_set1_epi8(D))));
    return unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)), special)));
  }
#endif
};

using Text = Content<'<', '&', ']', '<'>;
using Value = Content<'<', '&', '"', '\''>;
using Comment = Content<'-', '-', '-', '-'>;

// The first byte in [p, end) where a run of kind R stops, or end.
template <class R>
inline const unsigned char* runEnd(const unsigned char* p, const unsigned char* end) {
#if defined(__SSE2__)
  while (end - p >= 16) {
    const unsigned m = R::mask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    if (m != 0) return p + __builtin_ctz(m);
    p += 16;
  }
#endif
  while (p < end && !R::stops(*p)) ++p;
  return p;
}

// The end of the name at p (its first character checked by the caller), and
// in `colons` a bit for each colon in it, bit 0 for p itself.
inline const unsigned char* nameEnd(const unsigned char* p, const unsigned char* end, unsigned& colons) {
#if defined(__SSE2__)
  if (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned stops = Name::mask(v);
    if (stops != 0) {
      const unsigned length = unsigned(__builtin_ctz(stops));
      colons = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(':')))) & ((1u << length) - 1);
      return p + length;
    }
  }
#endif
  const unsigned char* const start = p;
  p = runEnd<Name>(p, end);
  colons = 0;
  for (const unsigned char* c = start; c < p; ++c)
    if (*c == ':') colons |= c - start < 32 ? 1u << (c - start) : 0x80000000u | 1u;  // long names: "two" colons
  return p;
}

// Whether the `size` bytes at a and b are equal; b lies before a, a before end.
// Names are short: one compare of 16 bytes instead of a call of memcmp.
inline bool sameBytes(const char* a, const char* b, uint32_t size, const unsigned char* end) {
#if defined(__SSE2__)
  if (size <= 16 && reinterpret_cast<const unsigned char*>(a) + 16 <= end) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
    const unsigned equal = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)));
    const unsigned wanted = (1u << size) - 1;
    return (equal & wanted) == wanted;
  }
#endif
  for (uint32_t i = 0; i < size; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

}  // namespace xmlruns

}  // namespace trelvano
