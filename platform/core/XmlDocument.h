#pragma once
/** A small XML document service over pugixml, shaped after what the program's
 *  readers and writers ask of an XML DOM.
 *
 *  Reading: UTF-8 or UTF-16 with a byte-order mark. A child asked for by name
 *  that is absent reads as an empty element. Whitespace-only element texts are
 *  kept, and line breaks inside texts come back as written.
 *  Writing: UTF-8 without byte-order mark. Characters that XML 1.0 forbids are
 *  dropped and invalid UTF-8 becomes U+FFFD, so every saved file parses again. */

#include <pugixml.hpp>

#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TXmlNode {
public:
  TXmlNode() = default;
  explicit TXmlNode(pugi::xml_node node) : FNode(node) {}

  /** A node that stands for an absent element: no name, no text, no children. */
  bool IsNull() const { return !FNode; }
  std::string NodeName() const { return FNode.name(); }

  /** The element's text; empty for an absent element. */
  std::string Text() const;
  void SetText(std::string_view text);

  bool HasAttribute(const char* name) const;
  /** The attribute's value; an absent attribute raises EXMLDocError. */
  std::string Attribute(const char* name) const;
  /** Sets (or adds, behind the existing ones) an attribute. */
  void SetAttribute(const char* name, std::string_view value);

  /** Child elements, every name counted. */
  int ChildCount() const;
  /** Child element at index; outside the children raises EListError. */
  TXmlNode Child(int index) const;
  /** First child element with that name, or a null node. */
  TXmlNode ChildByName(const char* name) const { return TXmlNode(FNode.child(name)); }
  /** Text of the named child, empty when the child is absent. */
  std::string ChildText(const char* name) const { return ChildByName(name).Text(); }

  TXmlNode AddChild(const char* name);
  /** Adds a child element holding text. */
  TXmlNode AddChild(const char* name, std::string_view text);

  /** Iterates the child elements. */
  template <class F> void ForEachChild(F&& f) const {
    for (pugi::xml_node c = FNode.first_child(); c; c = c.next_sibling())
      if (c.type() == pugi::node_element) f(TXmlNode(c));
  }

  pugi::xml_node Raw() const { return FNode; }

private:
  pugi::xml_node FNode;
};

class TXmlDocument {
public:
  TXmlDocument() = default;
  TXmlDocument(const TXmlDocument&) = delete;
  TXmlDocument& operator=(const TXmlDocument&) = delete;

  /** Empties the document. */
  void Clear() { FDoc.reset(); }
  /** Parses the named file; a missing, unreadable or malformed file raises
   *  EXMLDocError, whose text names the file and the fault. */
  void LoadFromFile(const std::string& fileName);
  void LoadFromString(std::string_view text, const std::string& sourceName = "text");

  /** The document element; a null node for an empty document. */
  TXmlNode DocumentElement() const { return TXmlNode(FDoc.document_element()); }
  /** Empties the document and gives it a document element of that name. */
  TXmlNode CreateDocumentElement(const char* name);

  std::string SaveToString() const;
  /** Saves through a temporary file renamed over fileName; failures raise EFCreateError. */
  void SaveToFile(const std::string& fileName) const;

private:
  friend class TXmlTree;  // hands over what its own scan does not take
  void ParseOwned(char* buffer, size_t size, const std::string& sourceName);
  pugi::xml_document FDoc;
};

class TXmlTree;

/** An element of a TXmlTree; a light handle that stays valid as long as the tree. */
class TXmlElement {
public:
  TXmlElement() = default;

  /** A handle that stands for an absent element: no name, no text, no children. */
  bool IsNull() const { return FTree == nullptr; }
  std::string_view NodeName() const;
  bool NameIs(std::string_view name) const;
  /** The element's own text and CDATA sections, not those of elements inside it. */
  std::string_view Text() const;

  bool HasAttribute(std::string_view name) const;
  /** The attribute's value; an absent attribute raises EXMLDocError. */
  std::string_view Attribute(std::string_view name) const;

  /** Child elements, every name counted. */
  int ChildCount() const;
  TXmlElement FirstChild() const;
  TXmlElement NextSibling() const;
  /** First child element with that name, or a null element. */
  TXmlElement ChildByName(std::string_view name) const;
  template <class F> void ForEachChild(F&& f) const {
    for (TXmlElement c = FirstChild(); !c.IsNull(); c = c.NextSibling()) f(c);
  }

private:
  friend class TXmlTree;
  TXmlElement(const TXmlTree* tree, uint32_t index, uint32_t limit) : FTree(tree), FIndex(index), FLimit(limit) {}
  const char* FindAttribute(std::string_view name, uint32_t& length) const;

  const TXmlTree* FTree = nullptr;
  uint32_t FIndex = 0;
  uint32_t FLimit = 0;  // the end of the parent: no sibling from here on
};

/** A read-only element tree for reading large files fast: one pass over the
 *  text fills a flat table of elements whose names, texts and attribute
 *  values point into the loaded text. It reads what TXmlDocument reads from
 *  the same input: the same texts (an element's text and CDATA sections
 *  joined, whitespace-only text kept when it is the element's only content,
 *  line breaks as written), attributes, and errors with the same messages.
 *  The pass itself takes plain UTF-8; anything else (other encodings,
 *  document types, uncommon references, malformed input) goes through
 *  pugixml first and is read from its output. */
class TXmlTree {
public:
  TXmlTree() = default;
  TXmlTree(const TXmlTree&) = delete;
  TXmlTree& operator=(const TXmlTree&) = delete;

  /** Parses the named file; a missing, unreadable or malformed file raises
   *  EXMLDocError, whose text names the file and the fault. */
  void LoadFromFile(const std::string& fileName);
  void LoadFromString(std::string_view text, const std::string& sourceName = "text");

  /** The document element; a null element before a successful load. */
  TXmlElement DocumentElement() const { return FElements.empty() ? TXmlElement() : TXmlElement(this, 0, 1); }

  /** A text in a buffer from pugixml's allocator. */
  struct TBufferFree {
    void operator()(char* p) const;
  };
  using TBuffer = std::unique_ptr<char, TBufferFree>;

private:
  friend class TXmlElement;

  // An element's children follow it in the table up to its End; each
  // child's End is where the next one starts.
  struct TRecord {
    const char* Name;
    char* Text;
    uint32_t NameLength;
    uint32_t TextLength;
    uint32_t End;             // one past the last element inside this one
    uint32_t FirstAttribute;  // its attributes run up to the next element's first
  };
  struct TAttribute {
    const char* Name;
    char* Value;
    uint32_t NameLength;
    uint32_t ValueLength;
  };
  struct TOpenElement;

  void Load(TBuffer buffer, size_t size, const std::string& sourceName);
  void Clear();
  bool Scan(char* text, size_t size);
  char* OpenElement(char* p, std::vector<TOpenElement>& open);
  char* CloseElement(char* p, const TOpenElement& e);
  void AddText(TOpenElement& e, char* text, size_t length, bool references);
  void DecodeReferences();

  TBuffer FBuffer;
  std::vector<TRecord> FElements;  // in document order
  std::vector<TAttribute> FAttributes;
  std::deque<std::string> FJoined;  // texts made of several pieces
  std::vector<uint32_t> FElementsToDecode, FAttributesToDecode;
};

// Readers call these for every element. Inlined, a comparison with a literal
// name sees its length, and a large file reads measurably faster.

[[gnu::always_inline]] inline std::string_view TXmlElement::NodeName() const {
  if (!FTree) return {};
  const TXmlTree::TRecord& r = FTree->FElements[FIndex];
  return {r.Name, r.NameLength};
}

[[gnu::always_inline]] inline bool TXmlElement::NameIs(std::string_view name) const {
  if (!FTree) return false;
  const TXmlTree::TRecord& r = FTree->FElements[FIndex];
  return r.NameLength == name.size() && std::memcmp(r.Name, name.data(), name.size()) == 0;
}

[[gnu::always_inline]] inline std::string_view TXmlElement::Text() const {
  if (!FTree) return {};
  const TXmlTree::TRecord& r = FTree->FElements[FIndex];
  return {r.Text, r.TextLength};
}

[[gnu::always_inline]] inline TXmlElement TXmlElement::FirstChild() const {
  if (!FTree) return {};
  const uint32_t end = FTree->FElements[FIndex].End;
  return end == FIndex + 1 ? TXmlElement() : TXmlElement(FTree, FIndex + 1, end);
}

[[gnu::always_inline]] inline TXmlElement TXmlElement::NextSibling() const {
  if (!FTree) return {};
  const uint32_t next = FTree->FElements[FIndex].End;
  return next == FLimit ? TXmlElement() : TXmlElement(FTree, next, FLimit);
}

inline TXmlElement TXmlElement::ChildByName(std::string_view name) const {
  for (TXmlElement c = FirstChild(); !c.IsNull(); c = c.NextSibling())
    if (c.NameIs(name)) return c;
  return {};
}

inline const char* TXmlElement::FindAttribute(std::string_view name, uint32_t& length) const {
  if (!FTree) return nullptr;
  const uint32_t end = FIndex + 1 < FTree->FElements.size() ? FTree->FElements[FIndex + 1].FirstAttribute
                                                             : static_cast<uint32_t>(FTree->FAttributes.size());
  for (uint32_t i = FTree->FElements[FIndex].FirstAttribute; i < end; ++i) {
    const TXmlTree::TAttribute& a = FTree->FAttributes[i];
    if (a.NameLength == name.size() && std::memcmp(a.Name, name.data(), name.size()) == 0) {
      length = a.ValueLength;
      return a.Value;
    }
  }
  return nullptr;
}

inline bool TXmlElement::HasAttribute(std::string_view name) const {
  uint32_t length;
  return FindAttribute(name, length) != nullptr;
}

/** The text with characters forbidden in XML 1.0 removed and invalid UTF-8
 *  sequences replaced by U+FFFD. */
std::string SanitizeXmlText(std::string_view text);
