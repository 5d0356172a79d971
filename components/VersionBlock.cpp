#include "components/VersionBlock.h"

#include <algorithm>

namespace {

constexpr size_t kHeaderSize = 6;  // total length, value length, type
constexpr std::uint16_t kBinary = 0, kText = 1;

size_t Align4(size_t pos) { return (pos + 3) & ~size_t{3}; }

std::u16string ToUtf16(const std::string& s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    char32_t cp = c;
    size_t n = 1;
    if (c >= 0xF0) {
      cp = c & 0x07;
      n = 4;
    } else if (c >= 0xE0) {
      cp = c & 0x0F;
      n = 3;
    } else if (c >= 0xC0) {
      cp = c & 0x1F;
      n = 2;
    }
    for (size_t k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string ToUtf8(const std::u16string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[++i] - 0xDC00);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

// Writing ------------------------------------------------------------------------

void Put16(TVersionBlock& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(TVersionBlock& b, std::uint32_t v) {
  Put16(b, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(b, static_cast<std::uint16_t>(v >> 16));
}

void Pad(TVersionBlock& b) { b.resize(Align4(b.size()), 0); }

void PutText(TVersionBlock& b, const std::u16string& s) {
  for (char16_t c : s) Put16(b, c);
  Put16(b, 0);
}

/** Starts a block at the next boundary; End sets its length. */
size_t Begin(TVersionBlock& b, std::uint16_t valueLength, std::uint16_t type, const std::string& key) {
  Pad(b);
  const size_t start = b.size();
  Put16(b, 0);
  Put16(b, valueLength);
  Put16(b, type);
  PutText(b, ToUtf16(key));
  Pad(b);
  return start;
}

void End(TVersionBlock& b, size_t start) {
  const auto length = static_cast<std::uint16_t>(b.size() - start);
  b[start] = static_cast<std::uint8_t>(length & 0xFF);
  b[start + 1] = static_cast<std::uint8_t>(length >> 8);
}

std::string Hex4(unsigned v) {
  static const char* digits = "0123456789ABCDEF";
  std::string s(4, '0');
  for (int i = 3; i >= 0; --i, v >>= 4) s[static_cast<size_t>(i)] = digits[v & 15];
  return s;
}

// Reading ------------------------------------------------------------------------

std::uint16_t Get16(const TVersionBlock& b, size_t pos) {
  return static_cast<std::uint16_t>(b[pos] | (b[pos + 1] << 8));
}

/** One block as its header tells it, within limit. */
struct TBlock {
  size_t Start = 0;
  size_t End = 0;  // Start + total length
  std::uint16_t ValueLength = 0;
  std::uint16_t Type = 0;
  std::u16string Key;
  size_t ValueStart = 0;
  size_t ValueBytes() const { return Type == kText ? 2 * size_t{ValueLength} : ValueLength; }
  size_t ChildrenStart() const { return Align4(ValueStart + ValueBytes()); }
};

/** The block at pos, or nothing when the walk ends there (length 0) or the
 *  header, key or value do not fit inside limit. */
std::optional<TBlock> ReadBlock(const TVersionBlock& b, size_t pos, size_t limit) {
  limit = std::min(limit, b.size());
  if (pos + kHeaderSize > limit) return std::nullopt;
  TBlock block;
  block.Start = pos;
  const std::uint16_t length = Get16(b, pos);
  if (length < kHeaderSize || pos + length > limit) return std::nullopt;
  block.End = pos + length;
  block.ValueLength = Get16(b, pos + 2);
  block.Type = Get16(b, pos + 4);
  size_t at = pos + kHeaderSize;
  for (;; at += 2) {
    if (at + 2 > block.End) return std::nullopt;  // the key runs past the block
    const std::uint16_t c = Get16(b, at);
    if (c == 0) break;
    block.Key += static_cast<char16_t>(c);
  }
  block.ValueStart = Align4(at + 2);
  if (block.ValueBytes() > 0 && block.ValueStart + block.ValueBytes() > block.End) return std::nullopt;
  return block;
}

bool SameKey(const std::u16string& a, const std::string& b) {
  const std::u16string w = ToUtf16(b);
  if (a.size() != w.size()) return false;
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(w[i])) return false;
  return true;
}

/** Four hexadecimal digits of key from first; 0 when any is missing or not a digit. */
std::uint16_t HexAt(const std::u16string& key, size_t first) {
  if (key.size() < first + 4) return 0;
  unsigned v = 0;
  for (size_t i = first; i < first + 4; ++i) {
    const char16_t c = key[i];
    int d = -1;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    if (c >= u'a' && c <= u'f') d = c - u'a' + 10;
    if (c >= u'A' && c <= u'F') d = c - u'A' + 10;
    if (d < 0) return 0;
    v = v * 16 + static_cast<unsigned>(d);
  }
  return static_cast<std::uint16_t>(v);
}

}  // namespace

TVersionBlock BuildVersionBlock(const TVSFixedFileInfo& fixed, const std::vector<TVersionStrings>& tables) {
  TVersionBlock b;
  const size_t root = Begin(b, 13 * 4, kBinary, "VS_VERSION_INFO");
  for (std::uint32_t v : {fixed.dwSignature, fixed.dwStrucVersion, fixed.dwFileVersionMS, fixed.dwFileVersionLS,
                          fixed.dwProductVersionMS, fixed.dwProductVersionLS, fixed.dwFileFlagsMask,
                          fixed.dwFileFlags, fixed.dwFileOS, fixed.dwFileType, fixed.dwFileSubtype,
                          fixed.dwFileDateMS, fixed.dwFileDateLS})
    Put32(b, v);
  const size_t info = Begin(b, 0, kText, "StringFileInfo");
  for (const TVersionStrings& t : tables) {
    const size_t table = Begin(b, 0, kText, Hex4(t.Language) + Hex4(t.CodePage));
    for (const auto& [key, value] : t.Strings) {
      const std::u16string text = ToUtf16(value);
      const size_t entry = Begin(b, static_cast<std::uint16_t>(text.size() + 1), kText, key);
      PutText(b, text);
      End(b, entry);
    }
    End(b, table);
  }
  End(b, info);
  const size_t vars = Begin(b, 0, kText, "VarFileInfo");
  const size_t translation = Begin(b, 4, kBinary, "Translation");
  Put16(b, tables.empty() ? 0 : tables.front().Language);
  Put16(b, tables.empty() ? 0 : tables.front().CodePage);
  End(b, translation);
  End(b, vars);
  End(b, root);
  return b;
}

bool ReadVersionHeader(const TVersionBlock& b, TVersionHeader& header) {
  header = TVersionHeader{};
  const auto root = ReadBlock(b, 0, b.size());
  if (!root || !SameKey(root->Key, "VS_VERSION_INFO")) return false;
  // The fixed information, as far as the value holds it.
  std::uint32_t fixed[13] = {};
  const size_t words = std::min<size_t>(root->ValueBytes() / 4, 13);
  for (size_t i = 0; i < words; ++i) {
    const size_t at = root->ValueStart + 4 * i;
    fixed[i] = Get16(b, at) | (static_cast<std::uint32_t>(Get16(b, at + 2)) << 16);
  }
  TVSFixedFileInfo& f = header.FixedInfo;
  std::uint32_t* fields[] = {&f.dwSignature,        &f.dwStrucVersion,     &f.dwFileVersionMS, &f.dwFileVersionLS,
                             &f.dwProductVersionMS, &f.dwProductVersionLS, &f.dwFileFlagsMask, &f.dwFileFlags,
                             &f.dwFileOS,           &f.dwFileType,         &f.dwFileSubtype,   &f.dwFileDateMS,
                             &f.dwFileDateLS};
  for (size_t i = 0; i < 13; ++i) *fields[i] = fixed[i];
  const auto next = ReadBlock(b, root->ChildrenStart(), root->End);
  if (!next) return false;
  if (!SameKey(next->Key, "StringFileInfo")) return true;  // no string table first: language 0, code page 0
  const auto table = ReadBlock(b, next->ChildrenStart(), next->End);
  if (!table) return false;
  header.Language = HexAt(table->Key, 0);
  header.CodePage = HexAt(table->Key, 4);
  return true;
}

std::optional<std::string> QueryVersionString(const TVersionBlock& b, const std::string& path) {
  auto block = ReadBlock(b, 0, b.size());
  if (!block) return std::nullopt;
  size_t from = 0;
  while (from < path.size()) {
    const size_t to = std::min(path.find('\\', from), path.size());
    const std::string part = path.substr(from, to - from);
    from = to + 1;
    if (part.empty()) continue;
    std::optional<TBlock> found;
    for (size_t pos = block->ChildrenStart(); pos < block->End && !found;) {
      const auto child = ReadBlock(b, pos, block->End);
      if (!child) return std::nullopt;
      if (SameKey(child->Key, part)) found = child;
      pos = Align4(child->End);
    }
    if (!found) return std::nullopt;
    block = found;
  }
  std::u16string text;
  if (block->Type == kText)
    for (size_t i = 0; i < block->ValueLength; ++i) {
      const std::uint16_t c = Get16(b, block->ValueStart + 2 * i);
      if (c == 0) break;
      text += static_cast<char16_t>(c);
    }
  return ToUtf8(text);
}
