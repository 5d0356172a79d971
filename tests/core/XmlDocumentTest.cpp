#include "core/Exception.h"
#include "core/XmlDocument.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Saves a document holding `text` as element text and as attribute value,
// parses it again and answers both.
std::pair<std::string, std::string> RoundTrip(const std::string& text) {
  TXmlDocument doc;
  TXmlNode root = doc.CreateDocumentElement("Root");
  root.AddChild("Value", text).SetAttribute("attr", text);
  TXmlDocument back;
  back.LoadFromString(doc.SaveToString());
  TXmlNode v = back.DocumentElement().ChildByName("Value");
  return {v.Text(), v.Attribute("attr")};
}

TEST(XmlDocument, TextsAndAttributesSurviveARoundTrip) {
  const std::string texts[] = {
      "",
      " ",
      "   \t ",
      "\r\n",
      "line1\r\nline2\nline3\rline4",
      "  leading and trailing  ",
      "<&>\"'",
      "]]> and &amp; literally",
      "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x98\x80",
      "tab\there",
  };
  for (const auto& t : texts) {
    const auto [text, attr] = RoundTrip(t);
    EXPECT_EQ(text, t);
    EXPECT_EQ(attr, t);
  }
}

TEST(XmlDocument, ForbiddenCharactersAreNeverWritten) {
  const std::string dirty = std::string("a\x01" "b\x0B" "c\0d", 7) + "\xEF\xBF\xBE" + "\xFF" + "\xC0\xAF" + "e";
  TXmlDocument doc;
  doc.CreateDocumentElement("Root").AddChild("V", dirty).SetAttribute("a", dirty);
  const std::string xml = doc.SaveToString();
  for (unsigned char c : xml) EXPECT_TRUE(c >= 0x20 || c == '\t' || c == '\n') << int(c);
  EXPECT_EQ(xml.find("&#1;"), std::string::npos);
  TXmlDocument back;
  back.LoadFromString(xml);
  // Controls and U+FFFE dropped, invalid bytes replaced by U+FFFD.
  EXPECT_EQ(back.DocumentElement().ChildText("V"), "abcd\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" "e");
  EXPECT_EQ(SanitizeXmlText("plain"), "plain");
}

TEST(XmlDocument, AbsentChildrenReadEmptyAndAttributesAreStrict) {
  TXmlDocument doc;
  doc.LoadFromString("<A><B x=\"\">text</B><!-- c --><C/><B>second</B></A>");
  TXmlNode a = doc.DocumentElement();
  EXPECT_EQ(a.NodeName(), "A");
  EXPECT_EQ(a.ChildCount(), 3);
  EXPECT_EQ(a.Child(2).Text(), "second");
  EXPECT_THROW(a.Child(3), EListError);
  EXPECT_THROW(a.Child(-1), EListError);
  EXPECT_EQ(a.ChildText("B"), "text");
  EXPECT_TRUE(a.ChildByName("Missing").IsNull());
  EXPECT_EQ(a.ChildText("Missing"), "");
  EXPECT_EQ(a.ChildByName("Missing").ChildCount(), 0);
  EXPECT_TRUE(a.ChildByName("B").HasAttribute("x"));
  EXPECT_EQ(a.ChildByName("B").Attribute("x"), "");
  EXPECT_THROW(a.ChildByName("B").Attribute("y"), EXMLDocError);
  int n = 0;
  a.ForEachChild([&](TXmlNode) { ++n; });
  EXPECT_EQ(n, 3);
}

TEST(XmlDocument, ReadsUtf8AndUtf16WithByteOrderMark) {
  const std::string utf8 = "\xEF\xBB\xBF<R v=\"\xC3\xBC\"/>";
  // "<R v="ü"/>" in UTF-16 LE with BOM.
  std::string utf16 = "\xFF\xFE";
  for (char16_t c : std::u16string(u"<R v=\"\u00FC\"/>")) {
    utf16 += char(c & 0xFF);
    utf16 += char(c >> 8);
  }
  for (const auto& data : {utf8, utf16}) {
    TXmlDocument doc;
    doc.LoadFromString(data);
    EXPECT_EQ(doc.DocumentElement().Attribute("v"), "\xC3\xBC");
  }
}

TEST(XmlDocument, MalformedInputRaisesWithTheReason) {
  const char* bad[] = {"", "<A>", "<A></B>", "not xml", "<A><B></A>", "<!-- only a comment -->"};
  for (const char* text : bad) {
    TXmlDocument doc;
    try {
      doc.LoadFromString(text, "sample.vrk");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const EXMLDocError& e) {
      EXPECT_NE(e.Message().find("sample.vrk"), std::string::npos) << e.Message();
    }
  }
  TXmlDocument doc;
  EXPECT_THROW(doc.LoadFromFile("/nonexistent/file.xml"), EXMLDocError);
}

TEST(XmlDocument, SaveToFileWritesUtf8WithoutByteOrderMark) {
  qftest::TempDir dir;
  TXmlDocument doc;
  doc.CreateDocumentElement("R").AddChild("T", "\xC3\xBC");
  doc.SaveToFile(dir.File("r.xml"));
  const std::string data = qftest::ReadFile(dir.File("r.xml"));
  ASSERT_GE(data.size(), 3u);
  EXPECT_NE(data.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(data.find("<T>\xC3\xBC</T>"), std::string::npos) << data;
  EXPECT_THROW(doc.SaveToFile(dir.File("no/such/dir.xml")), EFCreateError);
}

}  // namespace
