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

#include <string>
#include <string_view>

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
  void ParseOwned(char* buffer, size_t size, const std::string& sourceName);
  pugi::xml_document FDoc;
};

/** The text with characters forbidden in XML 1.0 removed and invalid UTF-8
 *  sequences replaced by U+FFFD. */
std::string SanitizeXmlText(std::string_view text);
