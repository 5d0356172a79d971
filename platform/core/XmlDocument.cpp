#include "core/XmlDocument.h"

#include "core/Exception.h"
#include "core/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Keeps whitespace-only texts; leaves line breaks and attribute whitespace as
// written (the writer escapes what would otherwise be normalised away).
constexpr unsigned kParseFlags =
    (pugi::parse_default | pugi::parse_ws_pcdata_single) & ~pugi::parse_eol & ~pugi::parse_wconv_attribute;

constexpr unsigned kFormatFlags = pugi::format_indent;

bool ValidXmlChar(uint32_t cp) {
  if (cp < 0x20) return cp == 0x09 || cp == 0x0A || cp == 0x0D;
  if (cp >= 0xD800 && cp <= 0xDFFF) return false;
  if (cp == 0xFFFE || cp == 0xFFFF) return false;
  return cp <= 0x10FFFF;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}
}  // namespace

std::string SanitizeXmlText(std::string_view text) {
  // Fast path: plain ASCII without control characters.
  bool clean = true;
  for (unsigned char c : text)
    if (c >= 0x80 || (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D)) {
      clean = false;
      break;
    }
  if (clean) return std::string(text);

  std::string out;
  out.reserve(text.size());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    uint32_t cp = 0;
    size_t len = 0;
    if (c < 0x80) { cp = c; len = 1; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
    bool ok = len > 0 && i + len <= n;
    for (size_t k = 1; ok && k < len; ++k) {
      const unsigned char cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (cc & 0x3F);
    }
    // Reject overlong forms.
    if (ok && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)))
      ok = false;
    if (!ok) {
      AppendUtf8(out, 0xFFFD);
      ++i;
      continue;
    }
    if (ValidXmlChar(cp)) out.append(text.substr(i, len));
    i += len;
  }
  return out;
}

std::string TXmlNode::Text() const {
  // Concatenate the text children, so a text split around CRs reads whole.
  std::string text;
  for (pugi::xml_node c = FNode.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) text += c.value();
  return text;
}

void TXmlNode::SetText(std::string_view text) {
  for (pugi::xml_node c = FNode.first_child(); c;) {
    pugi::xml_node next = c.next_sibling();
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) FNode.remove_child(c);
    c = next;
  }
  const std::string clean = SanitizeXmlText(text);
  if (clean.empty()) return;
  FNode.append_child(pugi::node_pcdata).set_value(clean.c_str());
}

bool TXmlNode::HasAttribute(const char* name) const { return static_cast<bool>(FNode.attribute(name)); }

std::string TXmlNode::Attribute(const char* name) const {
  const pugi::xml_attribute a = FNode.attribute(name);
  if (!a)
    throw EXMLDocError("Attribute \"" + std::string(name) + "\" is missing on element \"" +
                       std::string(FNode.name()) + "\"");
  return a.value();
}

void TXmlNode::SetAttribute(const char* name, std::string_view value) {
  pugi::xml_attribute a = FNode.attribute(name);
  if (!a) a = FNode.append_attribute(name);
  a.set_value(SanitizeXmlText(value).c_str());
}

int TXmlNode::ChildCount() const {
  int n = 0;
  for (pugi::xml_node c = FNode.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element) ++n;
  return n;
}

TXmlNode TXmlNode::Child(int index) const {
  int n = 0;
  if (index >= 0)
    for (pugi::xml_node c = FNode.first_child(); c; c = c.next_sibling())
      if (c.type() == pugi::node_element && n++ == index) return TXmlNode(c);
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TXmlNode TXmlNode::AddChild(const char* name) { return TXmlNode(FNode.append_child(name)); }

TXmlNode TXmlNode::AddChild(const char* name, std::string_view text) {
  TXmlNode child = AddChild(name);
  child.SetText(text);
  return child;
}

void TXmlDocument::LoadFromFile(const std::string& fileName) {
  // Read straight into a buffer the document will own and parse it in place:
  // no second copy of what may be a large file.
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EXMLDocError("Cannot open file \"" + fileName + "\": " + std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw EXMLDocError("Cannot read file \"" + fileName + "\": not a regular file");
  }
  const size_t size = static_cast<size_t>(st.st_size);
  char* buffer = static_cast<char*>(pugi::get_memory_allocation_function()(size ? size : 1));
  if (!buffer) {
    ::close(fd);
    throw EXMLDocError("Out of memory reading \"" + fileName + "\"");
  }
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, buffer + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // an error, or the file shrank while we read it
    done += static_cast<size_t>(n);
  }
  const int err = errno;
  ::close(fd);
  if (done != size) {
    pugi::get_memory_deallocation_function()(buffer);
    throw EXMLDocError("Cannot read file \"" + fileName + "\": " + std::strerror(err));
  }
  ParseOwned(buffer, size, fileName);
}

void TXmlDocument::LoadFromString(std::string_view text, const std::string& sourceName) {
  char* buffer = static_cast<char*>(pugi::get_memory_allocation_function()(text.size() ? text.size() : 1));
  if (!buffer) throw EXMLDocError("Out of memory reading \"" + sourceName + "\"");
  std::memcpy(buffer, text.data(), text.size());
  ParseOwned(buffer, text.size(), sourceName);
}

void TXmlDocument::ParseOwned(char* buffer, size_t size, const std::string& sourceName) {
  FDoc.reset();
  // The document takes the buffer over, whatever the outcome.
  const pugi::xml_parse_result r = FDoc.load_buffer_inplace_own(buffer, size, kParseFlags, pugi::encoding_auto);
  if (!r) {
    FDoc.reset();
    throw EXMLDocError("\"" + sourceName + "\" is not a well-formed XML document: " +
                       r.description() + " at offset " + std::to_string(r.offset));
  }
  if (!FDoc.document_element()) {
    FDoc.reset();
    throw EXMLDocError("\"" + sourceName + "\" has no document element");
  }
}

TXmlNode TXmlDocument::CreateDocumentElement(const char* name) {
  FDoc.reset();
  return TXmlNode(FDoc.append_child(name));
}

namespace {
// Collects pugixml's output in one string. pugixml writes a CR inside element
// text as it is, and XML parsers turn CR LF into LF; writing it as a character
// reference keeps multi-line texts intact. pugixml emits a raw CR only from
// text content (indentation uses LF) and escapes CRs in attribute values itself.
class TStringWriter : public pugi::xml_writer {
public:
  explicit TStringWriter(std::string& out) : FOut(out) {}
  void write(const void* data, size_t size) override {
    std::string_view chunk(static_cast<const char*>(data), size);
    for (size_t cr; (cr = chunk.find('\r')) != std::string_view::npos; chunk.remove_prefix(cr + 1)) {
      FOut.append(chunk.substr(0, cr));
      FOut.append("&#13;");
    }
    FOut.append(chunk);
  }

private:
  std::string& FOut;
};
}  // namespace

std::string TXmlDocument::SaveToString() const {
  std::string out;
  TStringWriter writer(out);
  FDoc.save(writer, "\t", kFormatFlags, pugi::encoding_utf8);
  return out;
}

void TXmlDocument::SaveToFile(const std::string& fileName) const {
  WriteFileAtomic(fileName, SaveToString());
}
