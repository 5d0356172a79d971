#include "generator/PhpText.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, unsigned char c) {
  out += kHex[c >> 4];
  out += kHex[c & 0x0F];
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool HasControl(std::string_view text) {
  for (char c : text)
    if (IsControl(static_cast<unsigned char>(c))) return true;
  return false;
}

// "$MyDb_shop", or a variable-variable for names PHP cannot take as they are.
// A name with a line break goes into a double-quoted literal: the saved page
// turns raw line breaks into CR LF, which would change the name.
std::string PhpVariable(std::string_view prefix, std::string_view database) {
  const std::string name = std::string(prefix) + std::string(database);
  if (IsPhpNameTail(database)) return "$" + name;
  if (HasControl(name)) return "${\"" + PhpDoubleQuoted(name) + "\"}";
  return "${'" + PhpSingleQuoted(name) + "'}";
}

}  // namespace

std::string PhpSingleQuoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\\' || c == '\'') out += '\\';
    out += c;
  }
  return out;
}

std::string PhpDoubleQuoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '$': out += "\\$"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        // Other control bytes as \xHH, so the literal never holds a raw
        // line break or an invisible byte.
        if (IsControl(c)) {
          out += "\\x";
          AppendHexByte(out, c);
        } else {
          out += ch;
        }
    }
  }
  return out;
}

std::string HtmlAttribute(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string JsSingleQuoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\'': out += "\\'"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      // Hex escapes keep the text inert inside an HTML attribute and a
      // script element: no quote ends the attribute, no "</script>" ends the
      // element, no entity is decoded.
      case '"':
      case '<':
      case '>':
      case '&':
        out += "\\x";
        AppendHexByte(out, c);
        break;
      default:
        if (IsControl(c)) {
          out += "\\x";
          AppendHexByte(out, c);
        } else if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(text[i + 2]) == 0xA8 ||
                    static_cast<unsigned char>(text[i + 2]) == 0xA9)) {
          // U+2028 and U+2029 end a line in older JavaScript.
          out += static_cast<unsigned char>(text[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
          i += 2;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

std::string SqlIdentifier(std::string_view name) {
  std::string out = "`";
  for (char c : name) {
    if (c == '`') out += '`';
    out += c;
  }
  out += '`';
  return out;
}

std::string SqlStringBody(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    switch (c) {
      case '\'': out += "''"; break;
      case '\\': out += "\\\\"; break;
      case '\0': out += "\\0"; break;
      default: out += c;
    }
  }
  return out;
}

std::string UrlEncode(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                            c == '-' || c == '_' || c == '.' || c == '~';
    if (unreserved) {
      out += ch;
    } else {
      out += '%';
      AppendHexByte(out, c);
    }
  }
  return out;
}

std::string FormName(std::string_view column) {
  std::string out;
  out.reserve(column.size());
  for (char ch : column) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') {
      out += ch;
    } else {
      out += '-';
      AppendHexByte(out, c);
    }
  }
  return out;
}

bool IsPhpNameTail(std::string_view name) {
  // PHP names take ASCII letters, digits, "_" and every byte from 0x80 up.
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                    c >= 0x80;
    if (!ok) return false;
  }
  return true;
}

std::string PhpDbLinkVar(std::string_view database) { return PhpVariable("MyDb_", database); }

std::string PhpDbNameVar(std::string_view database) { return PhpVariable("dbname_", database); }
