// TXmlTree must read what TXmlDocument reads: the same names, texts,
// attributes and children, and the same errors.

#include "core/Exception.h"
#include "core/XmlDocument.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const char* const kAttributeNames[] = {"a", "b", "c:d", "x.y"};

/** Everything a reader can ask of an element and of the ones inside it. */
template <class Element>
void Describe(const Element& e, std::string& out) {
  out += "<" + std::string(e.NodeName());
  for (const char* name : kAttributeNames)
    if (e.HasAttribute(name)) out += " " + std::string(name) + "=[" + std::string(e.Attribute(name)) + "]";
  out += " children=" + std::to_string(e.ChildCount()) + " text=[" + std::string(e.Text()) + "]>";
  for (int i = 0; i < e.ChildCount(); ++i) Describe(e.Child(i), out);
  out += "</>";
}

/** What TXmlDocument makes of text, or its error. */
std::string ThroughDocument(const std::string& text) {
  try {
    TXmlDocument doc;
    doc.LoadFromString(text, "in.xml");
    std::string out;
    Describe(doc.DocumentElement(), out);
    return out;
  } catch (const EXMLDocError& e) {
    return "error: " + e.Message();
  }
}

/** The same through TXmlTree; children are reached by index there too. */
struct TTreeElement {
  TXmlElement E;
  std::string_view NodeName() const { return E.NodeName(); }
  std::string_view Text() const { return E.Text(); }
  bool HasAttribute(const char* name) const { return E.HasAttribute(name); }
  std::string_view Attribute(const char* name) const { return E.Attribute(name); }
  int ChildCount() const { return E.ChildCount(); }
  TTreeElement Child(int index) const {
    TXmlElement c = E.FirstChild();
    for (int i = 0; i < index; ++i) c = c.NextSibling();
    return {c};
  }
};

std::string ThroughTree(const std::string& text) {
  try {
    TXmlTree tree;
    tree.LoadFromString(text, "in.xml");
    std::string out;
    Describe(TTreeElement{tree.DocumentElement()}, out);
    return out;
  } catch (const EXMLDocError& e) {
    return "error: " + e.Message();
  }
}

TEST(XmlTree, ReadsTextsAsTheDocumentDoes) {
  const struct {
    const char* Xml;
    const char* Text;  // of the document element
  } cases[] = {
      {"<r>plain</r>", "plain"},
      {"<r>  padded \t</r>", "  padded \t"},
      {"<r> </r>", " "},                               // whitespace alone is kept
      {"<r><!--c--> \r\n</r>", " \r\n"},               // a comment is no content
      {"<r> <!--c--></r>", ""},                         // whitespace before markup is not
      {"<r><a/> </r>", ""},                             // nor behind an element
      {"<r>x<!--c-->y</r>", "xy"},                      // pieces join
      {"<r>x<a>inner</a> y</r>", "x y"},                // without the text inside elements
      {"<r><![CDATA[<&>]]> </r>", "<&>"},
      {"<r>a<![CDATA[]]>b<![CDATA[c]]></r>", "abc"},
      {"<r>&lt;&gt;&amp;&quot;&apos;</r>", "<>&\"'"},
      {"<r>&#65;&#x42;&#x10FFFF;&#0067;</r>", "AB\xF4\x8F\xBF\xBF" "C"},
      {"<r>line\r\nline\rline</r>", "line\r\nline\rline"},
      {"\xEF\xBB\xBF<?xml version=\"1.0\"?><!--c--><?pi x?><r>bom</r><!--after-->\n", "bom"},
      {"<?xml version='1.0' encoding='UTF-8'?><r>declared</r>", "declared"},
      {"<?xml version='1.0' encoding='ISO-8859-1'?><r>Z\xFCrich</r>", "Z\xC3\xBCrich"},
      {"<?xml version='1.0' encoding=\"LATIN1\"?><r>Z\xFCrich</r>", "Z\xC3\xBCrich"},
      {"<?xml version='1.0' encoding='windows-1252'?><r>Z\xC3\xBCrich</r>", "Z\xC3\xBCrich"},  // read as UTF-8
      {"<!DOCTYPE r [<!ENTITY e 'x'>]><r>typed</r>", "typed"},
      {"<r>a&unknown;b & c</r>", "a&unknown;b & c"},  // left as written, as pugixml does
      {"<r>one</r><r>two</r>", "one"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Xml);
    TXmlTree tree;
    tree.LoadFromString(c.Xml);
    EXPECT_EQ(tree.DocumentElement().Text(), c.Text);
    EXPECT_EQ(ThroughTree(c.Xml), ThroughDocument(c.Xml));
  }
}

TEST(XmlTree, AttributesChildrenAndOtherEncodings) {
  TXmlTree tree;
  tree.LoadFromString("<r b='1 &amp; 2' a=\"\t&#x41;\r\n\" a='second'><x/><!--c--><y a=''>t</y><x>u</x></r>");
  const TXmlElement r = tree.DocumentElement();
  EXPECT_EQ(r.Attribute("a"), "\tA\r\n");  // the first of two with one name
  EXPECT_EQ(r.Attribute("b"), "1 & 2");
  EXPECT_THROW(r.Attribute("c"), EXMLDocError);
  EXPECT_EQ(r.ChildCount(), 3);
  EXPECT_EQ(r.ChildByName("x").Text(), "");
  EXPECT_EQ(r.ChildByName("y").Attribute("a"), "");
  EXPECT_EQ(r.FirstChild().NextSibling().NextSibling().Text(), "u");
  EXPECT_TRUE(r.ChildByName("z").IsNull());
  EXPECT_EQ(r.ChildByName("z").Text(), "");
  EXPECT_EQ(r.ChildByName("z").ChildCount(), 0);

  // UTF-16 with a byte-order mark, both byte orders.
  for (const bool little : {true, false}) {
    std::string utf16 = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char c : std::string("<r v=\"\xE4\">x</r>")) {
      const std::string unit = c == '\xE4' ? std::string("\xE4\0", 2) : std::string{c, '\0'};
      utf16 += little ? unit : std::string{unit[1], unit[0]};
    }
    tree.LoadFromString(utf16);
    EXPECT_EQ(tree.DocumentElement().Attribute("v"), "\xC3\xA4");
    EXPECT_EQ(tree.DocumentElement().Text(), "x");
  }
}

TEST(XmlTree, FaultsRaiseWhatTheDocumentRaises) {
  using namespace std::string_literals;
  for (const std::string& text : std::vector<std::string>{"", "   ", "<A>", "<A></B>", "not xml", "<A><B></A>", "<!-- only a comment -->",
                                 "<A x=1/>", "<A x='1'y='2'/>", "<A></AB>", "<AB></A>", "<A>&#</A", "<A><![CDATA[x</A>", "<1A/>",
                                 "<A>\0</A>"s}) {
    SCOPED_TRACE(text);
    const std::string result = ThroughTree(text);
    EXPECT_EQ(result.rfind("error: ", 0), 0u) << result;
    EXPECT_EQ(result, ThroughDocument(text));
  }
  TXmlTree tree;
  try {
    tree.LoadFromFile("/nonexistent/file.xml");
    ADD_FAILURE() << "no error";
  } catch (const EXMLDocError& e) {
    EXPECT_NE(e.Message().find("/nonexistent/file.xml"), std::string::npos);
  }
  EXPECT_TRUE(tree.DocumentElement().IsNull());
  // A fault found late leaves nothing of the earlier document or of the
  // part read before it.
  tree.LoadFromString("<a><b>earlier</b></a>");
  EXPECT_THROW(tree.LoadFromString("<a><b>late</b><c></a>"), EXMLDocError);
  EXPECT_TRUE(tree.DocumentElement().IsNull());
}

// ------------------------------------------------------------ random input

class TRandomXml {
public:
  explicit TRandomXml(unsigned seed) : FRng(seed) {}

  std::string Document() {
    std::string out;
    if (Chance(10)) out += "\xEF\xBB\xBF";
    if (Chance(4))
      out += OneOf({"<?xml version=\"1.0\"?>", "<?xml version='1.0' encoding='utf-8'?>",
                    "<?xml version=\"1.0\" encoding = \"latin1\" ?>", "<?xml encoding='UTF-16'?>",
                    "<?xml version='1.0' encoding='ISO-8859-1'?>", "<?xml encoding=\"iso-8859-15\"?>",
                    "<?xml version=\"1.0\" encoding=\"windows-1252\"?>", "<?xml encoding='Latin-1'?>"});
    out += Misc();
    if (Chance(15)) out += "<!DOCTYPE r>";
    out += Element(0);
    out += Misc();
    if (Chance(15)) out += OneOf({"<r/>", "tail", "<", "</r>"});
    return Damage(out);
  }

private:
  bool Chance(int oneIn) { return Pick(oneIn) == 0; }
  size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(FRng); }
  std::string OneOf(std::initializer_list<const char*> items) { return items.begin()[Pick(items.size())]; }

  std::string Name() {
    if (Chance(40)) return OneOf({"1a", "-a", ".a", ""});
    return OneOf({"a", "ab", "b", "Row", "Rows", "c:d", "x.y", "_u", "n-1", "\xC3\xA4"});
  }

  std::string Text() {
    std::string out;
    for (size_t i = Pick(4); i > 0; --i)
      out += OneOf({"plain", " ", "\t", "\r\n", "\n", "&lt;", "&gt;", "&amp;", "&quot;", "&apos;", "&#65;",
                    "&#x42;", "&#x10FFFF;", "&#0;", "&#x110000;", "&#;", "&#x;", "&bogus;", "&", "&#12",
                    "&#X41;", "&#xd800;", "&#0000065;", "]]>", ">", "\"", "'", "Z\xC3\xBCrich", "\x01", "="});
    return out;
  }

  std::string Space() { return OneOf({"", " ", "\n\t", "\r\n  "}); }

  std::string Misc() {
    std::string out = Space();
    for (size_t i = Pick(3); i > 0; --i) {
      out += OneOf({"<!-- note -->", "<?pi some data?>", "<?x?>", "<!---->", "<!-- a -- b -->", " "});
      out += Space();
    }
    return out;
  }

  std::string Attributes() {
    std::string out;
    for (size_t i = Pick(4); i > 0; --i) {
      const char* quote = Chance(2) ? "\"" : "'";
      out += Chance(20) ? "" : " ";
      out += Chance(3) ? OneOf({"a", "b"}) : OneOf({"c:d", "x.y", "1x", "a"});
      out += Space() + (Chance(30) ? "" : "=") + Space();
      out += Chance(30) ? "" : quote;
      out += Text();
      out += quote;
    }
    return out + Space();
  }

  std::string Element(int depth) {
    const std::string name = Name();
    std::string out = "<" + name + Attributes();
    if (Chance(4)) return out + (Chance(30) ? "/ >" : "/>");
    out += ">";
    for (size_t i = Pick(depth < 4 ? 5 : 2); i > 0; --i) {
      switch (Pick(6)) {
        case 0: out += depth < 4 ? Element(depth + 1) : Text(); break;
        case 1: out += "<!--" + Text() + "-->"; break;
        case 2: out += "<![CDATA[" + Text() + (Chance(20) ? "]>" : "]]>"); break;
        case 3: out += OneOf({"<?pi data?>", "<?xml version='1.0'?>", "<? bad?>", "<!x>"}); break;
        case 4: out += Space(); break;
        default: out += Text(); break;
      }
    }
    return out + "</" + (Chance(25) ? Name() : name) + Space() + ">";
  }

  // Now and then a byte lost, added or changed, or the end cut off.
  std::string Damage(std::string s) {
    if (s.empty() || !Chance(4)) return s;
    const size_t at = Pick(s.size());
    switch (Pick(4)) {
      case 0: s.erase(at, 1); break;
      case 1: s.insert(at, 1, "<>&/\"'= \0!?-]"[Pick(14)]); break;
      case 2: s[at] = "<>&/\"'= \0"[Pick(9)]; break;
      default: s.resize(at); break;
    }
    return s;
  }

  std::mt19937 FRng;
};

TEST(XmlTree, RandomInputReadsAsTheDocumentReadsIt) {
  int read = 0, refused = 0;
  for (unsigned seed = 1; seed <= 20000 && !HasFailure(); ++seed) {
    const std::string xml = TRandomXml(seed).Document();
    const std::string expected = ThroughDocument(xml);
    EXPECT_EQ(ThroughTree(xml), expected) << "seed " << seed << ", input:\n" << xml;
    (expected.rfind("error: ", 0) == 0 ? refused : read)++;
  }
  // Both outcomes must be common, or the inputs do not do their job.
  EXPECT_GE(read, 5000);
  EXPECT_GE(refused, 5000);
}

}  // namespace
