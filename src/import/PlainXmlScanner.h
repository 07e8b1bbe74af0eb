#pragma once
// A one-pass reader of the plain XML that GPS units and phones write: UTF-8,
// an optional leading <?xml?> declaration, elements with namespace prefixes,
// attributes in either quotes, text with the five predefined entities and
// character references, comments. It checks the well-formedness of all it
// passes on. Anything else (DOCTYPE, CDATA, processing instructions, other
// encodings, non-ASCII names, very deep nesting) and every fault end in
// Declined, so that a full XML reader reads the file and names the fault.
// Works on the bytes in place: nothing is copied or allocated.

#include <cstdint>
#include <string_view>

namespace trelvano {

class PlainXmlScanner {
 public:
  enum class Token { StartElement, EndElement, Text, EndOfDocument, Declined };

  struct Attribute {
    std::string_view name;      // as written, with its prefix
    std::string_view rawValue;  // between the quotes, references not resolved
    bool hasReferences;         // rawValue holds an entity or character reference
  };

  static constexpr int kMaxDepth = 256;
  static constexpr int kMaxAttributes = 32;
  static constexpr int kMaxNamespaces = 64;  // prefixes declared in scope at once

  explicit PlainXmlScanner(std::string_view bytes);

  Token next();

  // StartElement, EndElement: the element's name without prefix, and its
  // depth (1 = root). Text: the depth of the element around it.
  std::string_view localName() const { return localName_; }
  int depth() const { return eventDepth_; }

  // StartElement: its attributes (namespace declarations among them).
  int attributeCount() const { return attributeCount_; }
  const Attribute& attribute(int i) const { return attributes_[i]; }

  // Text: as written, references not resolved; only inside the root.
  std::string_view text() const { return text_; }
  bool textHasReferences() const { return textHasReferences_; }
  bool textIsAscii() const { return textIsAscii_; }

  // Elements open now: after an EndElement, its parent's depth.
  int openDepth() const { return depth_; }

  // For a caller that reads a whole element of a shape it checks itself:
  // the bytes not yet read (none right after "<…/>" or a fault), and skip()
  // to go on behind what it read.
  std::string_view unread() const {
    if (declined_ || pendingEnd_) return {};
    return {reinterpret_cast<const char*>(pos_), size_t(end_ - pos_)};
  }
  void skip(size_t bytes) { pos_ += bytes; }

 private:
  // Scalars, not string_views: GCC copies a view it has just stored with a
  // wider load, which stalls on every tag.
  struct OpenElement {
    const char* name;     // qualified, as written
    uint32_t size;        // of the name
    uint32_t localStart;  // behind the prefix's colon, 0 without prefix
    int namespaceCount;   // declarations in scope before it
  };

  Token decline();
  // Readers of the bytes at p, which they move behind what they read.
  bool skipSpaces(const unsigned char*& p) const;
  bool readDeclaration(const unsigned char*& p);
  Token readToken(const unsigned char*& p);
  Token readStartTag(const unsigned char*& p);
  Token readEndTag(const unsigned char*& p);
  Token readText(const unsigned char*& p);
  Token closeElement();
  bool skipComment(const unsigned char*& p) const;
  std::string_view readName(const unsigned char*& p);
  bool readReference(const unsigned char*& p) const;
  bool checkUtf8(const unsigned char*& p) const;
  bool checkNamespaces(std::string_view element);
  bool declared(std::string_view prefix) const;

  const unsigned char* pos_;
  const unsigned char* const end_;
  bool declined_ = false;
  bool rootClosed_ = false;
  bool pendingEnd_ = false;  // the start tag just given was "<…/>"
  bool tagHasColon_ = false;  // the tag being read has prefixed names
  bool tagHasXmlns_ = false;  // … or namespace declarations
  int depth_ = 0;
  int eventDepth_ = 0;
  std::string_view localName_;
  std::string_view text_;
  bool textHasReferences_ = false;
  bool textIsAscii_ = true;
  int attributeCount_ = 0;
  int namespaceCount_ = 0;
  Attribute attributes_[kMaxAttributes];
  OpenElement open_[kMaxDepth];
  struct Namespace {
    std::string_view prefix;
  } namespaces_[kMaxNamespaces];
};

}  // namespace trelvano
