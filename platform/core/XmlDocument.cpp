#include "core/XmlDocument.h"

#include "core/Exception.h"
#include "core/Files.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

/** Writes cp as UTF-8 (up to four bytes) and answers the length. Code points
 *  of surrogates get their three-byte form, as pugixml gives them. */
size_t EncodeUtf8(uint32_t cp, char* out) {
  if (cp < 0x80) {
    out[0] = char(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = char(0xC0 | (cp >> 6));
    out[1] = char(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = char(0xE0 | (cp >> 12));
    out[1] = char(0x80 | ((cp >> 6) & 0x3F));
    out[2] = char(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = char(0xF0 | (cp >> 18));
  out[1] = char(0x80 | ((cp >> 12) & 0x3F));
  out[2] = char(0x80 | ((cp >> 6) & 0x3F));
  out[3] = char(0x80 | (cp & 0x3F));
  return 4;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  char bytes[4];
  out.append(bytes, EncodeUtf8(cp, bytes));
}

// TXmlTree's scan compares names eight bytes at a time and may read that far
// past the text's closing zero.
constexpr size_t kPadding = 8;

/** A buffer from pugixml's allocator for size bytes of text, followed by a
 *  closing zero and the scan's padding, all zero. */
TXmlTree::TBuffer AllocateText(size_t size, const std::string& sourceName) {
  TXmlTree::TBuffer buffer(static_cast<char*>(pugi::get_memory_allocation_function()(size + 1 + kPadding)));
  if (!buffer) throw EXMLDocError("Out of memory reading \"" + sourceName + "\"");
  std::memset(buffer.get() + size, 0, 1 + kPadding);
  return buffer;
}

/** Closes a file on every way out. */
struct TFileHandle {
  int Fd;
  ~TFileHandle() {
    if (Fd >= 0) ::close(Fd);
  }
};

/** Reads a whole file into a buffer from AllocateText. */
TXmlTree::TBuffer ReadWholeFile(const std::string& fileName, size_t& size) {
  const TFileHandle file{::open(fileName.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.Fd < 0) throw EXMLDocError("Cannot open file \"" + fileName + "\": " + std::strerror(errno));
  struct stat st {};
  if (::fstat(file.Fd, &st) != 0 || !S_ISREG(st.st_mode))
    throw EXMLDocError("Cannot read file \"" + fileName + "\": not a regular file");
  size = static_cast<size_t>(st.st_size);
  TXmlTree::TBuffer buffer = AllocateText(size, fileName);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(file.Fd, buffer.get() + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // an error, or the file shrank while we read it
    done += static_cast<size_t>(n);
  }
  if (done != size) throw EXMLDocError("Cannot read file \"" + fileName + "\": " + std::strerror(errno));
  return buffer;
}

TXmlTree::TBuffer CopyToBuffer(std::string_view text, const std::string& sourceName) {
  TXmlTree::TBuffer buffer = AllocateText(text.size(), sourceName);
  std::memcpy(buffer.get(), text.data(), text.size());
  return buffer;
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
  // Parse in place in a buffer the document takes over: no second copy of
  // what may be a large file.
  size_t size = 0;
  TXmlTree::TBuffer buffer = ReadWholeFile(fileName, size);
  ParseOwned(buffer.release(), size, fileName);
}

void TXmlDocument::LoadFromString(std::string_view text, const std::string& sourceName) {
  ParseOwned(CopyToBuffer(text, sourceName).release(), text.size(), sourceName);
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

// ---------------------------------------------------------------- TXmlTree

namespace {

enum : uint8_t {
  kSpace = 1,        // the whitespace of XML
  kSymbol = 2,       // a character of a name
  kStartSymbol = 4,  // a character that may start a name
  kTextEnd = 8,      // ends a run of plain text: '<', '&' or the closing zero
};

// The name characters are pugixml's, so that every name it reads is one
// that the scan reads too.
constexpr std::array<uint8_t, 256> MakeCharClasses() {
  std::array<uint8_t, 256> t{};
  for (int c : {' ', '\t', '\r', '\n'}) t[c] |= kSpace;
  for (int c = 0; c < 256; ++c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80 || c == '_' || c == ':')
      t[c] |= kSymbol | kStartSymbol;
    else if ((c >= '0' && c <= '9') || c == '-' || c == '.')
      t[c] |= kSymbol;
  }
  for (int c : {int('<'), int('&'), 0}) t[c] |= kTextEnd;
  return t;
}
constexpr std::array<uint8_t, 256> kCharClass = MakeCharClasses();

inline bool Is(char c, uint8_t cls) { return kCharClass[static_cast<unsigned char>(c)] & cls; }

inline char* SkipSpace(char* p) {
  while (Is(*p, kSpace)) ++p;
  return p;
}

/** Whether the length bytes at a and b, both in a padded text, are equal;
 *  a zero byte in a, such as the closing one, differs from any name byte. */
inline bool SameBytes(const char* a, const char* b, size_t length) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  // Eight bytes at a time; the padding keeps the reads inside the buffer.
  uint64_t x, y;
  for (; length >= 8; a += 8, b += 8, length -= 8) {
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    if (x != y) return false;
  }
  if (length == 0) return true;
  std::memcpy(&x, a, 8);
  std::memcpy(&y, b, 8);
  return ((x ^ y) & (~uint64_t(0) >> (64 - 8 * length))) == 0;
#else
  for (size_t i = 0; i < length; ++i)
    if (a[i] != b[i]) return false;
  return true;
#endif
}

/** The end of the name that starts at p. */
inline char* NameEnd(char* p) {
  while (Is(*p, kSymbol)) ++p;
  return p;
}

/** The position behind the end tag at p when it closes the element of that
 *  name, else null. */
inline char* EndTagEnd(char* p, const char* name, size_t length) {
  if (p[1] != '/' || !SameBytes(p + 2, name, length)) return nullptr;
  p = SkipSpace(p + 2 + length);
  return *p == '>' ? p + 1 : nullptr;
}

/** Whether the zero-terminated text at p starts with literal. */
inline bool StartsWith(const char* p, std::string_view literal) {
  for (char c : literal)
    if (*p++ != c) return false;
  return true;
}

/** Reads the reference at p (at its '&'): what it stands for goes to out, up
 *  to four bytes, and the answer is the reference's length, up to its ';'.
 *  0 for a reference the scan leaves to pugixml: an unknown entity, a
 *  malformed one, or a character number that is 0 or beyond Unicode. */
size_t ReadReference(const char* const at, char* out, size_t& length) {
  const char* p = at + 1;
  if (*p == '#') {
    const bool hex = p[1] == 'x';
    p += hex ? 2 : 1;
    uint32_t cp = 0;
    const char* digits = p;
    for (;; ++p) {
      const unsigned c = static_cast<unsigned char>(*p);
      unsigned digit;
      if (c - '0' <= 9)
        digit = c - '0';
      else if (hex && (c | 0x20) - 'a' <= 5)
        digit = (c | 0x20) - 'a' + 10;
      else
        break;
      cp = cp * (hex ? 16 : 10) + digit;
      if (cp > 0x10FFFF) return 0;
    }
    if (*p != ';' || p == digits || cp == 0) return 0;
    length = EncodeUtf8(cp, out);
    return static_cast<size_t>(p + 1 - at);
  }
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"quot;", '"'}, {"apos;", '\''}};
  for (const auto& [name, c] : kEntities)
    if (StartsWith(p, name)) {
      out[0] = c;
      length = 1;
      return 1 + name.size();
    }
  return 0;
}

/** Steps p over the reference at it (at its '&'); false for a reference the
 *  scan leaves to pugixml. */
inline bool SkipReference(char*& p) {
  char c[4];
  size_t n;
  const size_t taken = ReadReference(p, c, n);
  p += taken;
  return taken != 0;
}

/** The end of the run of text at p: the '<' behind it, or null when the
 *  text runs to the end or holds a reference the scan leaves to pugixml.
 *  blank tells whether the run is whitespace alone, references whether it
 *  holds any. */
char* TextEnd(char* p, bool& blank, bool& references) {
  p = SkipSpace(p);
  blank = *p == '<';
  references = false;
  if (blank) return p;
  for (;;) {
    while (!Is(*p, kTextEnd)) ++p;
    if (*p != '&') break;
    if (!SkipReference(p)) return nullptr;
    references = true;
  }
  return *p == '<' ? p : nullptr;
}

/** Replaces the references of text by what they stand for, in place; they
 *  were checked during the scan. Answers the new length. */
size_t DecodeInPlace(char* text, size_t length) {
  const char* r = text;
  const char* const end = text + length;
  char* w = text;
  while (r < end) {
    if (*r != '&') {
      *w++ = *r++;
      continue;
    }
    char c[4];
    size_t n = 0;
    r += ReadReference(r, c, n);
    std::memcpy(w, c, n);  // never longer than the reference it replaces
    w += n;
  }
  return static_cast<size_t>(w - text);
}

void AppendText(std::string& out, const char* text, size_t length, bool references) {
  const size_t at = out.size();
  out.append(text, length);
  if (references) out.resize(at + DecodeInPlace(out.data() + at, length));
}

/** The first occurrence of what from from on, or null; a zero byte on the
 *  way ends the search, as it ends pugixml's. */
inline char* Find(char* from, const char* end, std::string_view what) {
  auto* found = static_cast<char*>(memmem(from, static_cast<size_t>(end - from), what.data(), what.size()));
  return found && !std::memchr(from, 0, static_cast<size_t>(found - from)) ? found : nullptr;
}

/** Steps over a comment or processing instruction at p (at its '<'):
 *  answers the position behind it, or null for anything else or one
 *  without its end. */
char* SkipMarkup(char* p, const char* end) {
  if (p[1] == '?') {
    if (!Is(p[2], kStartSymbol)) return nullptr;
    p = Find(NameEnd(p + 3), end, "?>");
    return p ? p + 2 : nullptr;
  }
  if (StartsWith(p + 1, "!--")) {
    p = Find(p + 4, end, "-->");
    return p ? p + 3 : nullptr;
  }
  return nullptr;
}

/** Whether the XML declaration at the start of text may name Latin-1, the
 *  one encoding pugixml converts for on its name (other names it reads as
 *  UTF-8). Any mention of one of its names counts. */
bool MayDeclareLatin1(char* text, const char* end) {
  if (!StartsWith(text, "<?xml")) return false;
  const char* close = Find(text, end, "?>");
  if (!close) return true;  // a declaration without its end: pugixml's to judge
  std::string declaration(text, static_cast<size_t>(close - text));
  for (char& c : declaration) c = static_cast<char>(c | 0x20);
  return declaration.find("8859") != std::string::npos || declaration.find("latin") != std::string::npos;
}

/** Whether the zero-terminated text is whitespace alone. */
bool Blank(const char* text) {
  while (Is(*text, kSpace)) ++text;
  return *text == 0;
}

/** Appends text with '&', '<' and quote, if any, escaped. */
void AppendEscaped(std::string& out, const char* text, char quote) {
  for (; *text; ++text) {
    if (*text == '&') out += "&amp;";
    else if (*text == '<') out += "&lt;";
    else if (*text == quote) out += "&quot;";
    else out += *text;
  }
}

/** The element in a plain form that the scan takes: UTF-8, the texts and
 *  attribute values escaped. Text of whitespace alone, which pugixml may
 *  keep beside other nodes where the scan would not, goes as CDATA. */
std::string PlainForm(const pugi::xml_node root, size_t sizeHint) {
  std::string out;
  out.reserve(sizeHint);
  pugi::xml_node n = root;
  for (;;) {
    if (n.type() == pugi::node_element) {
      out.append("<").append(n.name());
      for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        out.append(" ").append(a.name()).append("=\"");
        AppendEscaped(out, a.value(), '"');
        out += '"';
      }
      if (n.first_child()) {
        out += '>';
        n = n.first_child();
        continue;
      }
      out += "/>";
    } else if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
      const char* text = n.value();
      if (Blank(text))
        out.append("<![CDATA[").append(text).append("]]>");
      else
        AppendEscaped(out, text, 0);
    }
    // On to the next node, closing the elements left on the way.
    while (n != root && !n.next_sibling()) {
      n = n.parent();
      out.append("</").append(n.name()).append(">");
    }
    if (n == root) return out;
    n = n.next_sibling();
  }
}

}  // namespace

void TXmlTree::TBufferFree::operator()(char* p) const { pugi::get_memory_deallocation_function()(p); }

/** An element whose end tag has not come yet, with the text read so far. */
struct TXmlTree::TOpenElement {
  uint32_t Index;
  char* Text;
  size_t TextLength;
  int32_t Joined;   // its piece of FJoined once the text has two pieces, else -1
  bool HasChild;    // an element, a CDATA section or text seen inside
  bool HasText;
  bool References;  // Text holds references still to replace
};

void TXmlTree::LoadFromFile(const std::string& fileName) {
  size_t size = 0;
  TBuffer buffer = ReadWholeFile(fileName, size);
  Load(std::move(buffer), size, fileName);
}

void TXmlTree::LoadFromString(std::string_view text, const std::string& sourceName) {
  Load(CopyToBuffer(text, sourceName), text.size(), sourceName);
}

void TXmlTree::Load(TBuffer buffer, size_t size, const std::string& sourceName) {
  FBuffer.reset();
  if (!Scan(buffer.get(), size)) {
    // Beyond the scan: pugixml reads the input (and reports its faults), and
    // the plain form of what it read is scanned instead.
    Clear();  // a fault leaves the tree empty
    TXmlDocument document;
    document.ParseOwned(buffer.release(), size, sourceName);
    const std::string plain = PlainForm(document.DocumentElement().Raw(), size);
    buffer = CopyToBuffer(plain, sourceName);
    if (!Scan(buffer.get(), plain.size())) {
      Clear();
      throw EXMLDocError("\"" + sourceName + "\" could not be read");
    }
  }
  DecodeReferences();
  FBuffer = std::move(buffer);
}

// Takes the plain subset of XML that the project files are made of: UTF-8,
// elements, attributes, text with the five entities and character numbers,
// CDATA sections, comments and processing instructions. Answers false, with
// the text untouched, for anything else; references are replaced afterwards,
// when the scan has gone through.
bool TXmlTree::Scan(char* text, size_t size) {
  Clear();
  if (size >= UINT32_MAX) return false;  // beyond the table's indices
  FElements.reserve(size / 16 + 1);       // project files take some 28 bytes an element

  const char* const end = text + size;  // *end is 0
  char* p = text;
  if (StartsWith(p, "\xEF\xBB\xBF")) p += 3;
  if (MayDeclareLatin1(p, end)) return false;

  // Before the document element: whitespace, comments, processing instructions.
  for (;;) {
    p = SkipSpace(p);
    if (*p != '<') return false;
    if (Is(p[1], kStartSymbol)) break;
    if (!(p = SkipMarkup(p, end))) return false;
  }

  // Each step answers the position behind what it read, or null.
  std::vector<TOpenElement> open;
  if (!(p = OpenElement(p, open))) return false;
  while (!open.empty()) {
    // A run of text, then markup. Whitespace counts only when it is all there is.
    char* const run = p;
    bool blank, references;
    if (!(p = TextEnd(run, blank, references))) return false;
    if (p != run && (!blank || (p[1] == '/' && !open.back().HasChild)))
      AddText(open.back(), run, static_cast<size_t>(p - run), references);

    if (p[1] == '/') {
      p = CloseElement(p, open.back());
      open.pop_back();
    } else if (Is(p[1], kStartSymbol)) {
      p = OpenElement(p, open);
    } else if (StartsWith(p + 1, "![CDATA[")) {
      char* const data = p + 9;
      p = Find(data, end, "]]>");
      if (p) {
        AddText(open.back(), data, static_cast<size_t>(p - data), false);
        p += 3;
      }
    } else {
      p = SkipMarkup(p, end);
    }
    if (!p) return false;
  }

  // After it: the same as before it, up to the end.
  for (;;) {
    p = SkipSpace(p);
    if (p == end) return true;
    if (*p != '<' || !(p = SkipMarkup(p, end))) return false;
  }
}

// Reads the start tag at p and appends the element; it stays open unless the
// tag closes it.
char* TXmlTree::OpenElement(char* p, std::vector<TOpenElement>& open) {
  const char* const name = p + 1;
  char* q = NameEnd(p + 2);
  const auto nameLength = static_cast<uint32_t>(q - name);
  const auto index = static_cast<uint32_t>(FElements.size());
  FElements.push_back({name, nullptr, nameLength, 0, index + 1, static_cast<uint32_t>(FAttributes.size())});
  if (!open.empty()) open.back().HasChild = true;
  for (;;) {
    const char* const gap = q;
    q = SkipSpace(q);
    if (*q == '>') {
      // Most elements hold a text alone: those are read here, the others
      // the general way.
      char* const run = q + 1;
      bool blank, references;
      char* const text = TextEnd(run, blank, references);
      if (!text) return nullptr;
      if (char* const after = EndTagEnd(text, name, nameLength)) {
        if (text != run) {
          TRecord& r = FElements[index];
          r.Text = run;
          r.TextLength = static_cast<uint32_t>(text - run);
          if (references) FElementsToDecode.push_back(index);
        }
        return after;
      }
      open.push_back({index, nullptr, 0, -1, false, false, false});
      return run;
    }
    if (*q == '/') return q[1] == '>' ? q + 2 : nullptr;
    if (q == gap || !Is(*q, kStartSymbol)) return nullptr;  // attributes stand apart
    const char* const attribute = q;
    q = NameEnd(q + 1);
    const auto attributeLength = static_cast<uint32_t>(q - attribute);
    q = SkipSpace(q);
    if (*q != '=') return nullptr;
    q = SkipSpace(q + 1);
    const char quote = *q;
    if (quote != '"' && quote != '\'') return nullptr;
    char* const value = ++q;
    bool references = false;
    for (;;) {
      while (*q != quote && *q != '&' && *q != 0) ++q;
      if (*q != '&') break;
      if (!SkipReference(q)) return nullptr;
      references = true;
    }
    if (*q == 0) return nullptr;
    if (references) FAttributesToDecode.push_back(static_cast<uint32_t>(FAttributes.size()));
    FAttributes.push_back({attribute, value, attributeLength, static_cast<uint32_t>(q - value)});
    ++q;
  }
}

// Reads the end tag at p, which must close e, and completes e's record.
char* TXmlTree::CloseElement(char* p, const TOpenElement& e) {
  TRecord& r = FElements[e.Index];
  if (!(p = EndTagEnd(p, r.Name, r.NameLength))) return nullptr;
  r.End = static_cast<uint32_t>(FElements.size());
  if (e.Joined >= 0) {
    std::string& joined = FJoined[static_cast<size_t>(e.Joined)];
    r.Text = joined.data();
    r.TextLength = static_cast<uint32_t>(joined.size());
  } else if (e.HasText) {
    r.Text = e.Text;
    r.TextLength = static_cast<uint32_t>(e.TextLength);
    if (e.References) FElementsToDecode.push_back(e.Index);
  }
  return p;
}

void TXmlTree::Clear() {
  FElements.clear();
  FAttributes.clear();
  FJoined.clear();
  FElementsToDecode.clear();
  FAttributesToDecode.clear();
}

void TXmlTree::AddText(TOpenElement& e, char* text, size_t length, bool references) {
  e.HasChild = true;
  if (!e.HasText) {
    e.HasText = true;
    e.Text = text;
    e.TextLength = length;
    e.References = references;
    return;
  }
  if (e.Joined < 0) {
    e.Joined = static_cast<int32_t>(FJoined.size());
    AppendText(FJoined.emplace_back(), e.Text, e.TextLength, e.References);
  }
  AppendText(FJoined[static_cast<size_t>(e.Joined)], text, length, references);
}

void TXmlTree::DecodeReferences() {
  for (uint32_t i : FElementsToDecode) {
    TRecord& r = FElements[i];
    r.TextLength = static_cast<uint32_t>(DecodeInPlace(r.Text, r.TextLength));
  }
  for (uint32_t i : FAttributesToDecode) {
    TAttribute& a = FAttributes[i];
    a.ValueLength = static_cast<uint32_t>(DecodeInPlace(a.Value, a.ValueLength));
  }
}

std::string_view TXmlElement::Attribute(std::string_view name) const {
  uint32_t length = 0;
  const char* value = FindAttribute(name, length);
  if (!value)
    throw EXMLDocError("Attribute \"" + std::string(name) + "\" is missing on element \"" +
                       std::string(NodeName()) + "\"");
  return {value, length};
}

int TXmlElement::ChildCount() const {
  int n = 0;
  for (TXmlElement c = FirstChild(); !c.IsNull(); c = c.NextSibling()) ++n;
  return n;
}
