#include "import/PlainXmlScanner.h"

#include "import/XmlByteRuns.h"

#include <cstring>

namespace {

constexpr bool isSpace(unsigned c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
// ASCII names only; a name with other characters is left to the full reader.
constexpr bool isNameStart(unsigned c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

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

// Names are short: a plain loop beats a call of memcmp.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
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
  declined_ = !readDeclaration();
}

PlainXmlScanner::Token PlainXmlScanner::decline() {
  declined_ = true;
  return Token::Declined;
}

bool PlainXmlScanner::skipSpaces() {
  const unsigned char* p = pos_;
  while (p < end_ && isSpace(*p)) ++p;
  const bool skipped = p != pos_;
  pos_ = p;
  return skipped;
}

// `<?xml version="1.0"` with an optional UTF-8 encoding and standalone, in
// this order; any other declaration is the full reader's.
bool PlainXmlScanner::readDeclaration() {
  if (!startsWith(pos_, end_, "<?xml") || end_ - pos_ < 6 || !isSpace(pos_[5])) return true;
  pos_ += 5;
  auto value = [&](std::string_view name, std::string_view& text) {
    if (!startsWith(pos_, end_, name)) return false;
    pos_ += name.size();
    skipSpaces();
    if (pos_ == end_ || *pos_ != '=') return false;
    ++pos_;
    skipSpaces();
    if (pos_ == end_ || (*pos_ != '"' && *pos_ != '\'')) return false;
    const unsigned char* const close = static_cast<const unsigned char*>(std::memchr(pos_ + 1, *pos_, end_ - pos_ - 1));
    if (!close) return false;
    text = view(pos_ + 1, close);
    pos_ = close + 1;
    return true;
  };
  std::string_view text;
  skipSpaces();
  if (!value("version", text) || text != "1.0") return false;
  bool encoding = false, standalone = false;
  for (;;) {
    const bool space = skipSpaces();
    if (startsWith(pos_, end_, "?>")) {
      pos_ += 2;
      return true;
    }
    if (!space) return false;
    if (!encoding && !standalone && startsWith(pos_, end_, "encoding")) {
      if (!value("encoding", text) || !equalsIgnoringCase(text, "utf-8")) return false;
      encoding = true;
    } else if (!standalone && startsWith(pos_, end_, "standalone")) {
      if (!value("standalone", text) || (text != "yes" && text != "no")) return false;
      standalone = true;
    } else {
      return false;
    }
  }
}

PlainXmlScanner::Token PlainXmlScanner::next() {
  if (declined_) return Token::Declined;
  if (pendingEnd_) {
    pendingEnd_ = false;
    return closeElement();
  }
  for (;;) {
    if (pos_ == end_) return rootClosed_ ? Token::EndOfDocument : decline();
    if (*pos_ != '<') {
      if (depth_ > 0) return readText();
      if (!isSpace(*pos_)) return decline();
      ++pos_;
      continue;
    }
    if (end_ - pos_ < 2) return decline();
    if (pos_[1] == '/') return readEndTag();
    if (pos_[1] == '!') {
      if (!skipComment()) return decline();
      continue;
    }
    if (rootClosed_) return decline();  // a second root
    return readStartTag();               // "<?" fails at the name
  }
}

PlainXmlScanner::Token PlainXmlScanner::readStartTag() {
  ++pos_;
  if (depth_ == kMaxDepth) return decline();
  tagHasColon_ = false;
  tagHasXmlns_ = false;
  const std::string_view name = readName();
  if (name.empty()) return decline();
  attributeCount_ = 0;
  bool selfClosing = false;
  for (;;) {
    const bool space = skipSpaces();
    if (pos_ == end_) return decline();
    if (*pos_ == '>') {
      ++pos_;
      break;
    }
    if (*pos_ == '/') {
      if (end_ - pos_ < 2 || pos_[1] != '>') return decline();
      pos_ += 2;
      selfClosing = true;
      break;
    }
    if (!space || attributeCount_ == kMaxAttributes) return decline();
    Attribute& a = attributes_[attributeCount_];
    a.name = readName();
    if (a.name.empty()) return decline();
    tagHasXmlns_ = tagHasXmlns_ || (a.name.size() >= 5 && a.name.substr(0, 5) == "xmlns");
    skipSpaces();
    if (pos_ == end_ || *pos_ != '=') return decline();
    ++pos_;
    skipSpaces();
    if (pos_ == end_ || (*pos_ != '"' && *pos_ != '\'')) return decline();
    const unsigned char quote = *pos_++;
    const unsigned char* const start = pos_;
    a.hasReferences = false;
    for (;;) {
      pos_ = xmlruns::runEnd<xmlruns::Value>(pos_, end_);
      if (pos_ == end_) return decline();
      const unsigned char c = *pos_;
      if (c == quote) break;
      if (c == '"' || c == '\'' || isSpace(c)) {
        ++pos_;
      } else if (c == '&') {
        if (!readReference()) return decline();
        a.hasReferences = true;
      } else if (c >= 0x80) {
        if (!checkUtf8()) return decline();
      } else {
        return decline();  // '<' or a control character
      }
    }
    a.rawValue = view(start, pos_);
    ++pos_;
    for (int k = 0; k < attributeCount_; ++k)
      if (sameName(attributes_[k].name, a.name)) return decline();
    ++attributeCount_;
  }
  const int namespacesBefore = namespaceCount_;
  if ((tagHasColon_ || tagHasXmlns_) && !checkNamespaces(name)) return decline();
  OpenElement& e = open_[depth_++];
  e.name = name.data();
  e.size = uint32_t(name.size());
  e.localStart = uint32_t(name.size() - withoutPrefix(name).size());
  e.namespaceCount = namespacesBefore;
  localName_ = name.substr(e.localStart);
  eventDepth_ = depth_;
  pendingEnd_ = selfClosing;
  return Token::StartElement;
}

PlainXmlScanner::Token PlainXmlScanner::readEndTag() {
  pos_ += 2;
  if (depth_ == 0) return decline();
  const OpenElement& e = open_[depth_ - 1];
  if (!sameName(readName(), std::string_view(e.name, e.size))) return decline();
  skipSpaces();
  if (pos_ == end_ || *pos_ != '>') return decline();
  ++pos_;
  return closeElement();
}

PlainXmlScanner::Token PlainXmlScanner::closeElement() {
  eventDepth_ = depth_;
  const OpenElement& e = open_[--depth_];
  namespaceCount_ = e.namespaceCount;
  localName_ = std::string_view(e.name + e.localStart, e.size - e.localStart);
  if (depth_ == 0) rootClosed_ = true;
  return Token::EndElement;
}

PlainXmlScanner::Token PlainXmlScanner::readText() {
  const unsigned char* const start = pos_;
  textHasReferences_ = false;
  for (;;) {
    pos_ = xmlruns::runEnd<xmlruns::Text>(pos_, end_);
    if (pos_ == end_) return decline();  // the root is still open
    const unsigned char c = *pos_;
    if (c == '<') break;
    if (c == '&') {
      if (!readReference()) return decline();
      textHasReferences_ = true;
    } else if (c == ']') {
      if (startsWith(pos_, end_, "]]>")) return decline();
      ++pos_;
    } else if (isSpace(c)) {
      ++pos_;
    } else if (c >= 0x80) {
      if (!checkUtf8()) return decline();
    } else {
      return decline();  // a control character
    }
  }
  text_ = view(start, pos_);
  eventDepth_ = depth_;
  return Token::Text;
}

// "<!-- … -->" without "--" inside; any other "<!" is the full reader's.
bool PlainXmlScanner::skipComment() {
  if (!startsWith(pos_, end_, "<!--")) return false;
  pos_ += 4;
  for (;;) {
    pos_ = xmlruns::runEnd<xmlruns::Comment>(pos_, end_);
    if (pos_ == end_) return false;
    const unsigned char c = *pos_;
    if (c == '-') {
      if (startsWith(pos_, end_, "--")) {
        if (!startsWith(pos_, end_, "-->")) return false;
        pos_ += 3;
        return true;
      }
      ++pos_;
    } else if (isSpace(c)) {
      ++pos_;
    } else if (c >= 0x80) {
      if (!checkUtf8()) return false;
    } else {
      return false;
    }
  }
}

// A name with at most one colon, which has characters on either side;
// empty where there is none. Returned, not written through a reference:
// the store and the wider load after it cost a stall per name.
std::string_view PlainXmlScanner::readName() {
  const unsigned char* const start = pos_;
  if (start == end_ || !isNameStart(*start)) return {};
  const unsigned char* const p = xmlruns::runEnd<xmlruns::Name>(start + 1, end_);
  pos_ = p;
  const std::string_view name = view(start, p);
  const size_t colon = colonIn(name);
  if (colon == std::string_view::npos) return name;
  tagHasColon_ = true;
  if (colon + 1 < name.size() && colonIn(name.substr(colon + 1)) == std::string_view::npos) return name;
  return {};
}

// "&amp;", "&lt;", "&gt;", "&apos;", "&quot;" or a reference to a character XML allows.
bool PlainXmlScanner::readReference() {
  const unsigned char* p = pos_ + 1;
  if (p < end_ && *p == '#') {
    ++p;
    const bool hex = p < end_ && *p == 'x';
    if (hex) ++p;
    uint32_t value = 0;
    int count = 0;
    for (int d; p < end_ && count <= 8 && (d = digitValue(*p, hex)) >= 0; ++p, ++count)
      value = value * (hex ? 16 : 10) + uint32_t(d);
    if (count == 0 || count > 8 || p == end_ || *p != ';' || !isXmlChar(value)) return false;
    pos_ = p + 1;
    return true;
  }
  for (std::string_view entity : {"amp;", "lt;", "gt;", "apos;", "quot;"}) {
    if (startsWith(p, end_, entity)) {
      pos_ = p + entity.size();
      return true;
    }
  }
  return false;
}

// A UTF-8 sequence of a character XML allows: no overlong forms, no surrogates.
bool PlainXmlScanner::checkUtf8() {
  static constexpr uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
  const unsigned first = *pos_;
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
  if (end_ - pos_ < length) return false;
  for (int k = 1; k < length; ++k) {
    if ((pos_[k] & 0xC0) != 0x80) return false;
    c = c << 6 | (pos_[k] & 0x3F);
  }
  if (c < kLeast[length] || !isXmlChar(c)) return false;
  pos_ += length;
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
      if (k != i && sameName(withoutPrefix(attributes_[k].name), withoutPrefix(attributes_[i].name))) return false;
  }
  return true;
}
