#include "core/Exception.h"
#include "core/XmlDocument.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlDocument, TextsAndAttributesSurviveARoundTrip) {
  for (const std::string t : {"", " ", "   \t ", "\r\n", "line1\r\nline2\nline3\rline4", "  leading and trailing  ",
                              "<&>\"'", "]]> and &amp; literally", "tab\there",
                              "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x98\x80"}) {
    TXmlDocument doc;
    doc.CreateDocumentElement("Root").AddChild("Value", t).SetAttribute("attr", t);
    TXmlDocument back;
    back.LoadFromString(doc.SaveToString());
    const TXmlNode v = back.DocumentElement().ChildByName("Value");
    EXPECT_EQ(v.Text(), t);
    EXPECT_EQ(v.Attribute("attr"), t);
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
  const std::string clean = "abcd\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" "e";
  EXPECT_EQ(back.DocumentElement().ChildText("V"), clean);
  EXPECT_EQ(back.DocumentElement().Child(0).Attribute("a"), clean);
}

TEST(XmlDocument, ChildrenAndStrictAttributes) {
  TXmlDocument doc;
  doc.LoadFromString("<A><B x=\"\">text</B><!-- c --><C/><B>second</B></A>");
  const TXmlNode a = doc.DocumentElement();
  EXPECT_EQ(a.ChildCount(), 3);
  EXPECT_EQ(a.Child(2).Text(), "second");
  EXPECT_THROW(a.Child(3), EListError);
  EXPECT_THROW(a.Child(-1), EListError);
  EXPECT_EQ(a.ChildText("B"), "text");
  EXPECT_TRUE(a.ChildByName("Missing").IsNull());
  EXPECT_EQ(a.ChildText("Missing"), "");
  EXPECT_EQ(a.ChildByName("B").Attribute("x"), "");
  EXPECT_THROW(a.ChildByName("B").Attribute("y"), EXMLDocError);
}

TEST(XmlDocument, ReadsLineBreaksAndAttributeWhitespaceAsWritten) {
  TXmlDocument plain;
  plain.LoadFromString("<R v=\"a\r\n\tb\">c\r\nd</R>");
  EXPECT_EQ(plain.DocumentElement().Text(), "c\r\nd");
  EXPECT_EQ(plain.DocumentElement().Attribute("v"), "a\r\n\tb");
}

TEST(XmlDocument, MalformedInputRaisesWithTheReason) {
  for (const char* text : {"", "<A>", "<A></B>", "not xml", "<A><B></A>", "<!-- only a comment -->"}) {
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

}  // namespace
