#pragma once
// Text files of both readers: a line ends at CR, LF or CR LF (CR CR LF is a
// line end followed by an empty line); a Ctrl-Z ends the text.

#include "model/RunError.h"

#include <QString>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace trelvano {

constexpr char kCtrlZ = '\x1a';

// End of the text in [begin, end): the first Ctrl-Z, or `end`.
inline const char* textEnd(const char* begin, const char* end) {
  if (begin == end) return end;
  const void* z = std::memchr(begin, kCtrlZ, static_cast<size_t>(end - begin));
  return z ? static_cast<const char*>(z) : end;
}

// The first CR, LF or Ctrl-Z at or after p, or `end`.
inline const char* findLineEnd(const char* p, const char* end) {
  // Eight bytes at a time: a word without a byte below 27 holds none of them.
  while (end - p >= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    if ((w - 0x1B1B1B1B1B1B1B1BULL) & ~w & 0x8080808080808080ULL) {
      for (int k = 0; k < 8; ++k)
        if (p[k] == '\r' || p[k] == '\n' || p[k] == kCtrlZ) return p + k;
    }
    p += 8;
  }
  while (p < end && *p != '\r' && *p != '\n' && *p != kCtrlZ) ++p;
  return p;
}

// The start of the next line, given the CR or LF found by findLineEnd.
inline const char* afterLineEnd(const char* lineEnd, const char* end) {
  if (lineEnd == end) return end;
  if (*lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n') return lineEnd + 2;
  return lineEnd + 1;
}

// 1-based number of the line that holds position `pos` of a text without
// Ctrl-Z (line ends before it counted once each).
int lineNumberAt(const char* begin, const char* pos);

// The error with "Datei <name>, Zeile <line>" as detail.
RunError atFileLine(const RunError& e, const QString& fileName, int line);
// The error with "Datei <name>" as detail, where no single line is to blame.
RunError inFile(const RunError& e, const QString& fileName);

// `text` without the ASCII blanks QStringView::trimmed removes at either end
// (tab … carriage return, space).
std::string_view trimmedBlanks(std::string_view text);

}  // namespace trelvano
