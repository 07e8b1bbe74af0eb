#include "canvas/SteepRuns.h"

#include <algorithm>
#include <array>
#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TRELVANO_FOUR_RUNS_AT_A_TIME 1
#include <immintrin.h>
#endif

namespace trelvano {

namespace {

// Word masks of the rows from bit k on, and of the rows up to bit k: loads
// from a table leave the shift register free for the loops below.
constexpr auto kRowsFrom = [] {
  std::array<uint64_t, 64> t{};
  for (int k = 0; k < 64; ++k) t[k] = ~uint64_t{0} << k;
  return t;
}();
constexpr auto kRowsTo = [] {
  std::array<uint64_t, 64> t{};
  for (int k = 0; k < 64; ++k) t[k] = ~uint64_t{0} >> (63 - k);
  return t;
}();

// Rows top … bottom of one column, at most 64 of them. The second word is a
// branch, not an or of nothing: few runs cross a word, and the or of nothing
// costs a load and a store.
inline void markRun(uint64_t* column, ptrdiff_t stride, int top, int bottom) {
  uint64_t* const word = column + (top >> 6) * stride;
  const uint64_t from = kRowsFrom[top & 63], to = kRowsTo[bottom & 63];
  if ((top >> 6) == (bottom >> 6)) {
    word[0] |= from & to;
  } else {
    word[0] |= from;
    word[stride] |= to;
  }
}

// The runs of a line whose runs are at most 64 rows long, one per column
// from `column` (the mask word of the line's first column in word row 0) on.
// The first run goes from row `first` to row `last`, kDir 1 downwards, −1
// upwards, and the line ends at row `end`. Every later column starts with
// r < twoDm and holds q or q + 1 rows, where twoD = q · twoDm + rem. Whether
// a run is the longer one is a select, not a branch: it follows the line's
// slope in no pattern a branch predictor learns. Returns the word of the
// last column in row 0.
template <int kDir>
uint64_t* markShortRuns(uint64_t* column, ptrdiff_t stride, ptrdiff_t xDir, int first, int last, int end, int64_t r,
                        int64_t q, int64_t rem, int64_t twoDm) {
  for (;;) {
    markRun(column, stride, kDir > 0 ? first : last, kDir > 0 ? last : first);
    if (last == end) return column;
    column += xDir;
    // r steps down by rem modulo twoDm; the run is longer when it wraps.
    // Written as a select, the chain from one column to the next is two
    // instructions.
    const int64_t down = r - rem;
    const bool longer = down < 0;
    r = longer ? down + twoDm : down;
    const int length = static_cast<int>(q - 1) + longer;  // rows beyond the first
    first = last + kDir;
    last = kDir > 0 ? std::min(first + length, end) : std::max(first - length, end);
  }
}

// Runs of any length (nearly vertical lines), from row `top` with n rows.
int markLongRuns(uint64_t* mask, ptrdiff_t stride, int x, int top, int64_t n, const SteepLine& l, int64_t r, int64_t q,
                 int64_t rem) {
  for (int64_t count = l.count;;) {
    const int last = top + static_cast<int>(n) - 1;
    const int w0 = top >> 6, w1 = last >> 6;
    uint64_t* word = mask + w0 * stride + x;
    const uint64_t from = kRowsFrom[top & 63], to = kRowsTo[last & 63];
    if (w0 == w1) {
      *word |= from & to;
    } else {
      *word |= from;
      for (int w = w0 + 1; w < w1; ++w) *(word += stride) = ~uint64_t{0};
      *(word + stride) |= to;
    }
    count -= n;
    if (count <= 0) return x;
    x += l.xDir;
    const bool longer = r < rem;
    n = std::min(count, q + (longer ? 1 : 0));
    r += (longer ? l.twoDm : 0) - rem;
    top = l.yDir > 0 ? last + 1 : static_cast<int>(top - n);
  }
}

#ifdef TRELVANO_FOUR_RUNS_AT_A_TIME
bool fourRunsAtATime() {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
}

// markShortRuns for runs of at most 16 rows, after the first column, four
// columns at a time. Rows are counted as u = kDir · y, so the line runs
// downwards in u; b is the u of the last row marked, uEnd that of the
// line's end (b < uEnd). With rem · i = F_i · twoDm + R_i, column i after
// the one that ended at b ends at u = b + i · q + F_i + [R_i > r]: the four
// runs come from one comparison with r. They span at most 64 rows, so they
// touch two neighbouring word rows at most.
template <int kDir>
__attribute__((target("avx2"))) uint64_t* markFourRunsAtATime(uint64_t* column, ptrdiff_t stride, ptrdiff_t xDir, int b,
                                                              int uEnd, int r, int q, int rem, int twoDm) {
  int K[5] = {0}, R[5] = {0};  // i · q + F_i and R_i
  for (int i = 1; i <= 4; ++i) {
    K[i] = K[i - 1] + q;
    R[i] = R[i - 1] + rem;
    if (R[i] >= twoDm) {
      R[i] -= twoDm;
      ++K[i];
    }
  }
  // Column i starts one row after column i − 1 ends.
  const __m128i kTop = _mm_setr_epi32(1 + K[0], 1 + K[1], 1 + K[2], 1 + K[3]);
  const __m128i rTop = _mm_setr_epi32(R[0], R[1], R[2], R[3]);
  const __m128i kBottom = _mm_setr_epi32(K[1], K[2], K[3], K[4]);
  const __m128i rBottom = _mm_setr_epi32(R[1], R[2], R[3], R[4]);
  const __m128i end = _mm_set1_epi32(uEnd), beyondEnd = _mm_set1_epi32(128), zero = _mm_setzero_si128();
  const __m256i ones = _mm256_set1_epi64x(-1);
  // The four words in memory order: ascending columns, or descending ones reversed.
  const ptrdiff_t firstWord = xDir > 0 ? 1 : -4;
  for (;;) {
    const __m128i rv = _mm_set1_epi32(r), bv = _mm_set1_epi32(b);
    const __m128i uTop = _mm_sub_epi32(_mm_add_epi32(bv, kTop), _mm_cmpgt_epi32(rTop, rv));
    const __m128i uBottom = _mm_min_epi32(_mm_sub_epi32(_mm_add_epi32(bv, kBottom), _mm_cmpgt_epi32(rBottom, rv)), end);
    const __m128i beyond = _mm_cmpgt_epi32(uTop, end);  // columns past the line's last
    const int bNext = b + K[4] + (R[4] > r ? 1 : 0);
    __m128i top = uTop, bottom = uBottom;
    int highest = b + 1;  // the group's top row
    if (kDir < 0) {
      top = _mm_sub_epi32(zero, uBottom);
      bottom = _mm_sub_epi32(zero, uTop);
      highest = -std::min(bNext, uEnd);
    }
    const int w0 = highest >> 6;
    // Rows relative to word row w0, in [0, 128); none for columns past the end.
    const __m128i base = _mm_set1_epi32(w0 * 64);
    __m128i relTop = _mm_sub_epi32(top, base);
    const __m128i relBottom = _mm_sub_epi32(bottom, base);
    relTop = _mm_or_si128(_mm_andnot_si128(beyond, relTop), _mm_and_si128(beyond, beyondEnd));
    // Shifts of 64 and more give 0: the bits of each run in word rows w0 and w0 + 1.
    const __m256i loFrom = _mm256_sllv_epi64(ones, _mm256_cvtepu32_epi64(relTop));
    const __m256i loTo = _mm256_srlv_epi64(
        ones, _mm256_cvtepu32_epi64(_mm_max_epi32(_mm_sub_epi32(_mm_set1_epi32(63), relBottom), zero)));
    const __m256i hiFrom =
        _mm256_sllv_epi64(ones, _mm256_cvtepu32_epi64(_mm_max_epi32(_mm_sub_epi32(relTop, _mm_set1_epi32(64)), zero)));
    const __m256i hiTo = _mm256_srlv_epi64(ones, _mm256_cvtepu32_epi64(_mm_sub_epi32(_mm_set1_epi32(127), relBottom)));
    __m256i lo = _mm256_and_si256(loFrom, loTo), hi = _mm256_and_si256(hiFrom, hiTo);
    if (xDir < 0) {
      lo = _mm256_permute4x64_epi64(lo, 0x1B);
      hi = _mm256_permute4x64_epi64(hi, 0x1B);
    }
    // Both word rows, always: about every third group crosses into the
    // second, too often for a branch to guess.
    auto* const at = reinterpret_cast<__m256i*>(column + firstWord + w0 * stride);
    auto* const below = reinterpret_cast<__m256i*>(column + firstWord + (w0 + 1) * stride);
    _mm256_storeu_si256(at, _mm256_or_si256(_mm256_loadu_si256(at), lo));
    _mm256_storeu_si256(below, _mm256_or_si256(_mm256_loadu_si256(below), hi));
    if (bNext >= uEnd) {
      const int past = __builtin_popcount(_mm_movemask_ps(_mm_castsi128_ps(beyond)));
      return column + (4 - past) * xDir;
    }
    b = bNext;
    r -= R[4];
    if (r < 0) r += twoDm;
    column += 4 * xDir;
  }
}
#endif

}  // namespace

int markSteepLine(uint64_t* mask, ptrdiff_t stride, const SteepLine& l, RunMarking how) {
  const int64_t twoDm = l.twoDm, twoD = l.twoD;
  // Pixels in the first column: until the error numerator reaches twoD.
  // Every later column holds q or q + 1, where twoD = q · twoDm + rem.
  int64_t n = l.count, q = 0, rem = 0;
  const bool small = twoD < (int64_t{1} << 31);  // every quantity of the line fits 32 bits
  if (twoDm != 0 && small) {
    // 32-bit divisions (nothing here exceeds 2^32): a fraction of the time
    // of 64-bit ones, once per line.
    const uint32_t d = static_cast<uint32_t>(twoDm), whole = static_cast<uint32_t>(twoD);
    n = std::min<int64_t>(n, (whole - static_cast<uint32_t>(l.r) + d - 1) / d);
    q = whole / d;
    rem = whole % d;
  } else if (twoDm != 0) {
    n = std::min(n, (twoD - l.r + twoDm - 1) / twoDm);
    q = twoD / twoDm;
    rem = twoD % twoDm;
  }
  const int64_t r = l.r + n * twoDm - twoD;
  if (twoDm == 0 || q >= 64)
    return markLongRuns(mask, stride, l.x, l.yDir > 0 ? l.y : static_cast<int>(l.y - (n - 1)), n, l, r, q, rem);

  uint64_t* const column = mask + l.x;
  const int first = l.y, last = static_cast<int>(l.y + l.yDir * (n - 1));
  const int end = static_cast<int>(l.y + l.yDir * (l.count - 1));
#ifdef TRELVANO_FOUR_RUNS_AT_A_TIME
  if (how == RunMarking::Fastest && q <= 15 && small && last != end && fourRunsAtATime()) {
    markRun(column, stride, std::min(first, last), std::max(first, last));
    uint64_t* const lastColumn =
        l.yDir > 0 ? markFourRunsAtATime<1>(column, stride, l.xDir, last, end, static_cast<int>(r), static_cast<int>(q),
                                            static_cast<int>(rem), static_cast<int>(twoDm))
                   : markFourRunsAtATime<-1>(column, stride, l.xDir, -last, -end, static_cast<int>(r),
                                             static_cast<int>(q), static_cast<int>(rem), static_cast<int>(twoDm));
    return static_cast<int>(lastColumn - mask);
  }
#else
  (void)how;
#endif
  uint64_t* const lastColumn = l.yDir > 0
                                   ? markShortRuns<1>(column, stride, l.xDir, first, last, end, r, q, rem, twoDm)
                                   : markShortRuns<-1>(column, stride, l.xDir, first, last, end, r, q, rem, twoDm);
  return static_cast<int>(lastColumn - mask);
}

}  // namespace trelvano
