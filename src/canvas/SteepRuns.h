#pragma once
// The pixels of a steep line of width 1, marked in a bit mask of the picture:
// bit y % 64 of word (y / 64) · stride + x stands for pixel (x, y). A steep
// line is a chain of vertical runs, one per column, and each run becomes an
// or of one mask word or of two neighbouring ones. Many steep lines of one
// colour (the plumb lines of a flight) cover the same pixels again and again:
// marked first, each pixel is written once.

#include <cstddef>
#include <cstdint>

namespace trelvano {

// A line from pixel (x, y) on, `count` rows in direction yDir (±1). Its
// column steps by xDir (±1) whenever the error numerator r, growing by twoDm
// a row, reaches twoD; it starts below twoD.
struct SteepLine {
  int x, y, yDir, xDir;
  int64_t count, r, twoDm, twoD;
};

// Words the mask must have before its first word and after its last one,
// besides a spare word row below the picture's last: where the processor
// allows, runs are marked four columns at a time, and the last four may
// reach past the line's end (they or nothing there).
inline constexpr ptrdiff_t kSteepMaskSlack = 4;

enum class RunMarking { Fastest, Portable };

// Marks the line's pixels and returns the column of its last one. Both
// markings set the same bits; Portable is the plain loop.
int markSteepLine(uint64_t* mask, ptrdiff_t stride, const SteepLine& line, RunMarking how = RunMarking::Fastest);

}  // namespace trelvano
