#include "import/TextLines.h"

namespace trelvano {

int lineNumberAt(const char* begin, const char* pos) {
  int line = 1;
  for (const char* p = begin; p < pos;) {
    const char* e = findLineEnd(p, pos);
    if (e == pos) break;
    ++line;
    p = afterLineEnd(e, pos);
  }
  return line;
}

RunError atFileLine(const RunError& e, const QString& fileName, int line) {
  return e.withDetail(QStringLiteral("Datei %1, Zeile %2").arg(fileName).arg(line));
}

RunError inFile(const RunError& e, const QString& fileName) {
  return e.withDetail(QStringLiteral("Datei %1").arg(fileName));
}

std::string_view trimmedBlanks(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  size_t first = 0, end = text.size();
  while (first < end && blank(text[first])) ++first;
  while (end > first && blank(text[end - 1])) --end;
  return text.substr(first, end - first);
}

}  // namespace trelvano
