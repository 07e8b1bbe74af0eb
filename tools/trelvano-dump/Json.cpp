#include "Json.h"

#include <cerrno>

#include <charconv>
#include <cmath>

namespace trelvano {

void JsonWriter::separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_) put(',');
  first_ = false;
}

void JsonWriter::key(const char* name) {
  separate();
  string(QString::fromUtf8(name));
  put(':');
  afterKey_ = true;
}

void JsonWriter::value(double v) {
  if (!std::isfinite(v)) {
    null();
    return;
  }
  separate();
  char tmp[32];
  const auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
  raw(tmp, r.ptr - tmp);
}

void JsonWriter::value(int v) { value(static_cast<long long>(v)); }

void JsonWriter::value(long long v) {
  separate();
  char tmp[24];
  const auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
  raw(tmp, r.ptr - tmp);
}

void JsonWriter::value(bool v) {
  separate();
  if (v)
    raw("true", 4);
  else
    raw("false", 5);
}

void JsonWriter::null() {
  separate();
  raw("null", 4);
}

void JsonWriter::value(const QString& s) {
  separate();
  string(s);
}

void JsonWriter::string(const QString& s) {
  put('"');
  const QByteArray utf8 = s.toUtf8();
  for (const char ch : utf8) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      put('\\');
      put(ch);
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      raw(esc, 6);
    } else {
      put(ch);
    }
  }
  put('"');
}

void JsonWriter::flush() {
  errno = 0;
  if (!buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), out_) != buf_.size() && error_ == 0)
    error_ = errno ? errno : EIO;
  buf_.clear();
  if (std::fflush(out_) != 0 && error_ == 0) error_ = errno ? errno : EIO;
}

bool JsonWriter::finish() {
  flush();
  if (std::ferror(out_) && error_ == 0) error_ = EIO;
  return error_ == 0;
}

}  // namespace trelvano
