#pragma once
// A minimal JSON writer for trelvano-dump: numbers with round-trip precision,
// non-finite numbers as null, strings escaped.

#include <QString>
#include <cstdio>
#include <string>

namespace trelvano {

class JsonWriter {
 public:
  explicit JsonWriter(std::FILE* out) : out_(out) {}
  ~JsonWriter() { flush(); }

  // Writes what is left and flushes the stream; false when any write failed
  // (error() then gives its errno).
  bool finish();
  int error() const { return error_; }
  void put(char c) {
    buf_ += c;
    if (buf_.size() > 1 << 16) flush();
  }

  void beginObject() {
    separate();
    put('{');
    first_ = true;
  }
  void endObject() {
    put('}');
    first_ = false;
  }
  void beginArray() {
    separate();
    put('[');
    first_ = true;
  }
  void endArray() {
    put(']');
    first_ = false;
  }
  void key(const char* name);
  void value(double v);
  void value(int v);
  void value(long long v);
  void value(bool v);
  void value(const QString& s);
  void null();
  // A key and its value in one call.
  template <class T>
  void field(const char* name, const T& v) {
    key(name);
    value(v);
  }
  void flush();

 private:
  void separate();
  void string(const QString& s);
  void raw(const char* s, size_t n) {
    buf_.append(s, n);
    if (buf_.size() > 1 << 16) flush();
  }

  std::FILE* out_;
  std::string buf_;
  bool first_ = true;
  bool afterKey_ = false;
  int error_ = 0;  // errno of the first failed write, 0 while none failed
};

}  // namespace trelvano
