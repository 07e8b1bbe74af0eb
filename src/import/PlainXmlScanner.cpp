#include "import/PlainXmlScanner.h"

#include "import/XmlByteRuns.h"

#include <cstring>

namespace trelvano {

namespace {

constexpr uint64_t kSpaces = 1ull << ' ' | 1ull << '\t' | 1ull << '\n' | 1ull << '\r';
constexpr bool isSpace(unsigned c) { return c <= ' ' && (kSpaces >> c & 1) != 0; }
// ASCII names only; a name with other characters is left to the full reader.
constexpr bool isNameStart(unsigned c) { return ((c | 0x20) - 'a') < 26u || c == '_'; }

constexpr bool isXmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

int digitValue(unsigned c, bool hex) {
  if (c >= '0' && c <= '9') return int(c - '0');
  if (!hex) return -1;
  if (c >= 'a' && c <= 'f') return int(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return int(c - 'A' + 10);
  return -1;
}

std::string_view view(const unsigned char* from, const unsigned char* to) {
  return {reinterpret_cast<const char*>(from), size_t(to - from)};
}

size_t colonIn(std::string_view name) {
  for (size_t i = 0; i < name.size(); ++i)
    if (name[i] == ':') return i;
  return std::string_view::npos;
}

std::string_view prefixOf(std::string_view name) {
  const size_t colon = colonIn(name);
  return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

std::string_view withoutPrefix(std::string_view name) {
  const size_t colon = colonIn(name);
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool startsWith(const unsigned char* p, const unsigned char* end, std::string_view text) {
  return size_t(end - p) >= text.size() && std::memcmp(p, text.data(), text.size()) == 0;
}

bool equalsIgnoringCase(std::string_view a, std::string_view lowerCase) {
  if (a.size() != lowerCase.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if ((a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] + 32) : a[i]) != lowerCase[i]) return false;
  return true;
}

}  // namespace

PlainXmlScanner::PlainXmlScanner(std::string_view bytes)
    : pos_(reinterpret_cast<const unsigned char*>(bytes.data())), end_(pos_ + bytes.size()) {
  if (startsWith(pos_, end_, "\xEF\xBB\xBF")) pos_ += 3;
  declined_ = !readDeclaration(pos_);
}

PlainXmlScanner::Token PlainXmlScanner::decline() {
  declined_ = true;
  return Token::Declined;
}

inline bool PlainXmlScanner::skipSpaces(const unsigned char*& p) const {
  const unsigned char* const start = p;
  while (p < end_ && isSpace(*p)) ++p;
  return p != start;
}

// `<?xml version="1.0"` with an optional UTF-8 encoding and standalone, in
// this order; any other declaration is the full reader's.
bool PlainXmlScanner::readDeclaration(const unsigned char*& p) {
  if (!startsWith(p, end_, "<?xml") || end_ - p < 6 || !isSpace(p[5])) return true;
  p += 5;
  auto value = [&](std::string_view name, std::string_view& text) {
    if (!startsWith(p, end_, name)) return false;
    p += name.size();
    skipSpaces(p);
    if (p == end_ || *p != '=') return false;
    ++p;
    skipSpaces(p);
    if (p == end_ || (*p != '"' && *p != '\'')) return false;
    const unsigned char* const close = static_cast<const unsigned char*>(std::memchr(p + 1, *p, end_ - p - 1));
    if (!close) return false;
    text = view(p + 1, close);
    p = close + 1;
    return true;
  };
  std::string_view text;
  skipSpaces(p);
  if (!value("version", text) || text != "1.0") return false;
  bool encoding = false, standalone = false;
  for (;;) {
    const bool space = skipSpaces(p);
    if (startsWith(p, end_, "?>")) {
      p += 2;
      return true;
    }
    if (!space) return false;
    if (!encoding && !standalone && startsWith(p, end_, "encoding")) {
      if (!value("encoding", text) || !equalsIgnoringCase(text, "utf-8")) return false;
      encoding = true;
    } else if (!standalone && startsWith(p, end_, "standalone")) {
      if (!value("standalone", text) || (text != "yes" && text != "no")) return false;
      standalone = true;
    } else {
      return false;
    }
  }
}

inline PlainXmlScanner::Token PlainXmlScanner::readStartTag(const unsigned char*& p) {
  ++p;
  if (depth_ == kMaxDepth) return decline();
  tagHasColon_ = false;
  tagHasXmlns_ = false;
  const std::string_view name = readName(p);
  if (name.empty()) return decline();
  attributeCount_ = 0;
  bool selfClosing = false;
  for (;;) {
    const bool space = skipSpaces(p);
    if (p == end_) return decline();
    if (*p == '>') {
      ++p;
      break;
    }
    if (*p == '/') {
      if (end_ - p < 2 || p[1] != '>') return decline();
      p += 2;
      selfClosing = true;
      break;
    }
    if (!space || attributeCount_ == kMaxAttributes) return decline();
    Attribute& a = attributes_[attributeCount_];
    a.name = readName(p);
    if (a.name.empty()) return decline();
    tagHasXmlns_ = tagHasXmlns_ || (a.name.size() >= 5 && a.name.substr(0, 5) == "xmlns");
    skipSpaces(p);
    if (p == end_ || *p != '=') return decline();
    ++p;
    skipSpaces(p);
    if (p == end_ || (*p != '"' && *p != '\'')) return decline();
    const unsigned char quote = *p++;
    const unsigned char* const start = p;
    a.hasReferences = false;
    for (;;) {
      p = xmlruns::runEnd<xmlruns::Value>(p, end_);
      if (p == end_) return decline();
      const unsigned char c = *p;
      if (c == quote) break;
      if (c == '"' || c == '\'' || isSpace(c)) {
        ++p;
      } else if (c == '&') {
        if (!readReference(p)) return decline();
        a.hasReferences = true;
      } else if (c >= 0x80) {
        if (!checkUtf8(p)) return decline();
      } else {
        return decline();  // '<' or a control character
      }
    }
    a.rawValue = view(start, p);
    ++p;
    for (int k = 0; k < attributeCount_; ++k)
      if (attributes_[k].name == a.name) return decline();
    ++attributeCount_;
  }
  const int namespacesBefore = namespaceCount_;
  if ((tagHasColon_ || tagHasXmlns_) && !checkNamespaces(name)) return decline();
  OpenElement& e = open_[depth_++];
  e.name = name.data();
  e.size = uint32_t(name.size());
  e.localStart = tagHasColon_ ? uint32_t(name.size() - withoutPrefix(name).size()) : 0;
  e.namespaceCount = namespacesBefore;
  localName_ = name.substr(e.localStart);
  eventDepth_ = depth_;
  pendingEnd_ = selfClosing;
  return Token::StartElement;
}

inline PlainXmlScanner::Token PlainXmlScanner::readEndTag(const unsigned char*& p) {
  p += 2;
  if (depth_ == 0) return decline();
  const OpenElement& e = open_[depth_ - 1];
  const std::string_view name = readName(p);
  if (name.size() != e.size || !xmlruns::sameBytes(name.data(), e.name, e.size, end_)) return decline();
  skipSpaces(p);
  if (p == end_ || *p != '>') return decline();
  ++p;
  return closeElement();
}

inline PlainXmlScanner::Token PlainXmlScanner::closeElement() {
  eventDepth_ = depth_;
  const OpenElement& e = open_[--depth_];
  namespaceCount_ = e.namespaceCount;
  localName_ = std::string_view(e.name + e.localStart, e.size - e.localStart);
  if (depth_ == 0) rootClosed_ = true;
  return Token::EndElement;
}

inline PlainXmlScanner::Token PlainXmlScanner::readText(const unsigned char*& p) {
  const unsigned char* const start = p;
  textHasReferences_ = false;
  textIsAscii_ = true;
  for (;;) {
    p = xmlruns::runEnd<xmlruns::Text>(p, end_);
    if (p == end_) return decline();  // the root is still open
    const unsigned char c = *p;
    if (c == '<') break;
    if (c == '&') {
      if (!readReference(p)) return decline();
      textHasReferences_ = true;
    } else if (c == ']') {
      if (startsWith(p, end_, "]]>")) return decline();
      ++p;
    } else if (isSpace(c)) {
      ++p;
    } else if (c >= 0x80) {
      if (!checkUtf8(p)) return decline();
      textIsAscii_ = false;
    } else {
      return decline();  // a control character
    }
  }
  text_ = view(start, p);
  eventDepth_ = depth_;
  return Token::Text;
}

// "<!-- … -->" without "--" inside; any other "<!" is the full reader's.
bool PlainXmlScanner::skipComment(const unsigned char*& p) const {
  if (!startsWith(p, end_, "<!--")) return false;
  p += 4;
  for (;;) {
    p = xmlruns::runEnd<xmlruns::Comment>(p, end_);
    if (p == end_) return false;
    const unsigned char c = *p;
    if (c == '-') {
      if (startsWith(p, end_, "--")) {
        if (!startsWith(p, end_, "-->")) return false;
        p += 3;
        return true;
      }
      ++p;
    } else if (isSpace(c)) {
      ++p;
    } else if (c >= 0x80) {
      if (!checkUtf8(p)) return false;
    } else {
      return false;
    }
  }
}

// A name with at most one colon, which has characters on either side;
// empty where there is none. Returned, not written through a reference:
// the store and the wider load after it cost a stall per name.
inline std::string_view PlainXmlScanner::readName(const unsigned char*& p) {
  const unsigned char* const start = p;
  if (start == end_ || !isNameStart(*start)) return {};
  unsigned colons;  // a bit for each colon of the name
  p = xmlruns::nameEnd(start, end_, colons);
  const std::string_view name = view(start, p);
  if (colons == 0) return name;
  tagHasColon_ = true;
  // One colon, not the last character (names never start with one).
  return (colons & (colons - 1)) == 0 && name.back() != ':' ? name : std::string_view();
}

// "&amp;", "&lt;", "&gt;", "&apos;", "&quot;" or a reference to a character XML allows.
bool PlainXmlScanner::readReference(const unsigned char*& p) const {
  const unsigned char* r = p + 1;
  if (r < end_ && *r == '#') {
    ++r;
    const bool hex = r < end_ && *r == 'x';
    if (hex) ++r;
    uint32_t value = 0;
    int count = 0;
    for (int d; r < end_ && count <= 8 && (d = digitValue(*r, hex)) >= 0; ++r, ++count)
      value = value * (hex ? 16 : 10) + uint32_t(d);
    if (count == 0 || count > 8 || r == end_ || *r != ';' || !isXmlChar(value)) return false;
    p = r + 1;
    return true;
  }
  for (std::string_view entity : {"amp;", "lt;", "gt;", "apos;", "quot;"}) {
    if (startsWith(r, end_, entity)) {
      p = r + entity.size();
      return true;
    }
  }
  return false;
}

// A UTF-8 sequence of a character XML allows: no overlong forms, no surrogates.
bool PlainXmlScanner::checkUtf8(const unsigned char*& p) const {
  static constexpr uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
  const unsigned first = *p;
  int length;
  uint32_t c;
  if (first < 0xC2) return false;
  if (first < 0xE0) {
    length = 2;
    c = first & 0x1F;
  } else if (first < 0xF0) {
    length = 3;
    c = first & 0x0F;
  } else if (first < 0xF5) {
    length = 4;
    c = first & 0x07;
  } else {
    return false;
  }
  if (end_ - p < length) return false;
  for (int k = 1; k < length; ++k) {
    if ((p[k] & 0xC0) != 0x80) return false;
    c = c << 6 | (p[k] & 0x3F);
  }
  if (c < kLeast[length] || !isXmlChar(c)) return false;
  p += length;
  return true;
}

bool PlainXmlScanner::declared(std::string_view prefix) const {
  if (prefix == "xml") return true;
  for (int i = namespaceCount_ - 1; i >= 0; --i)
    if (namespaces_[i].prefix == prefix) return true;
  return false;
}

// Namespace declarations of the tag first (they hold for its own names),
// then every prefix used must be declared.
bool PlainXmlScanner::checkNamespaces(std::string_view element) {
  constexpr std::string_view kXmlns = "xmlns";
  for (int i = 0; i < attributeCount_; ++i) {
    const Attribute& a = attributes_[i];
    if (a.name.substr(0, kXmlns.size()) != kXmlns) continue;
    const bool isDefault = a.name.size() == kXmlns.size();
    if (!isDefault && a.name[kXmlns.size()] != ':') continue;
    // The reserved names are the full reader's to judge.
    if (a.hasReferences || a.rawValue.find("www.w3.org/XML/1998/namespace") != std::string_view::npos ||
        a.rawValue.find("www.w3.org/2000/xmlns") != std::string_view::npos)
      return false;
    if (isDefault) continue;
    const std::string_view prefix = a.name.substr(kXmlns.size() + 1);
    if (prefix == "xml" || prefix == kXmlns || a.rawValue.empty() || namespaceCount_ == kMaxNamespaces) return false;
    namespaces_[namespaceCount_++].prefix = prefix;
  }
  if (!tagHasColon_) return true;
  const std::string_view elementPrefix = prefixOf(element);
  if (!elementPrefix.empty() && (elementPrefix == kXmlns || !declared(elementPrefix))) return false;
  for (int i = 0; i < attributeCount_; ++i) {
    const std::string_view prefix = prefixOf(attributes_[i].name);
    if (prefix.empty() || prefix == kXmlns) continue;
    if (!declared(prefix)) return false;
    // Two prefixes may name one namespace: whether a:x and b:x clash takes the URIs.
    for (int k = 0; k < attributeCount_; ++k)
      if (k != i && withoutPrefix(attributes_[k].name) == withoutPrefix(attributes_[i].name)) return false;
  }
  return true;
}

PlainXmlScanner::Token PlainXmlScanner::next() {
  if (declined_) return Token::Declined;
  if (pendingEnd_) {
    pendingEnd_ = false;
    return closeElement();
  }
  // The position lives in a register while a token is read: through the
  // member, every byte read would have to reload it (bytes alias anything).
  const unsigned char* p = pos_;
  const Token token = readToken(p);
  pos_ = p;
  return token;
}

inline PlainXmlScanner::Token PlainXmlScanner::readToken(const unsigned char*& p) {
  for (;;) {
    if (p == end_) return rootClosed_ ? Token::EndOfDocument : decline();
    if (*p != '<') {
      if (depth_ > 0) return readText(p);
      if (!isSpace(*p)) return decline();
      ++p;
      continue;
    }
    if (end_ - p < 2) return decline();
    if (p[1] == '/') return readEndTag(p);
    if (p[1] == '!') {
      if (!skipComment(p)) return decline();
      continue;
    }
    if (rootClosed_) return decline();  // a second root
    return readStartTag(p);               // "<?" fails at the name
  }
}

}  // namespace trelvano
