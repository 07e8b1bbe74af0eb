#pragma once
// The vectors a reader fills are reserved once for the most entries a file of
// its size can hold, and give back what the file did not use: a flight costs
// memory in proportion to its points.

#include <QtGlobal>
#include <algorithm>
#include <cstddef>
#include <vector>

namespace trelvano {

// Room for one entry per `shortestLine` bytes (and one more), at most `most`.
template <class T>
void reserveForFile(std::vector<T>& v, qsizetype bytes, int shortestLine, int most) {
  v.reserve(static_cast<size_t>(std::min<qsizetype>(bytes / shortestLine + 1, most)));
}

template <class T>
void fitToSize(std::vector<T>& v) {
  if (v.capacity() - v.size() > v.size() / 4) v.shrink_to_fit();
}

}  // namespace trelvano
