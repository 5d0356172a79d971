#include "model/General.h"

#include "core/Files.h"
#include "core/TextUtils.h"

#include <vector>

std::string BoolToText(bool value) { return value ? "true" : "false"; }

bool TextToBool(std::string_view text) { return SameText(text, "true"); }

namespace {

bool IsBlank(unsigned char c) { return c >= 1 && c <= 32; }

// Splits a value list: comma separated, single-quoted items with '' standing
// for one quote. The text holds no NUL (the caller cuts it there), so every
// round consumes at least one byte and the loop always ends.
std::vector<std::string> SplitItems(std::string_view s) {
  std::vector<std::string> items;
  const size_t n = s.size();
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < n && IsBlank(static_cast<unsigned char>(s[i]))) ++i;
  };
  skipBlanks();
  while (i < n) {
    std::string item;
    if (s[i] == '\'') {
      ++i;
      while (i < n) {
        if (s[i] == '\'') {
          if (i + 1 < n && s[i + 1] == '\'') {
            item += '\'';
            i += 2;
            continue;
          }
          ++i;  // the closing quote
          break;
        }
        item += s[i++];
      }
    } else {
      const size_t start = i;
      while (i < n && static_cast<unsigned char>(s[i]) > 32 && s[i] != ',') ++i;
      item.assign(s.substr(start, i - start));
    }
    items.push_back(std::move(item));
    skipBlanks();
    if (i < n && s[i] == ',') {
      if (i == n - 1) items.emplace_back();
      ++i;
      skipBlanks();
    }
  }
  return items;
}

void InsertItems(std::string_view inner, TStringList& list) {
  int pos = 0;
  for (const std::string& v : SplitItems(inner)) list.Insert(pos++, v + "=" + v);
}

// The characters from position `from` (0-based) up to but not including the last one.
std::string_view Inner(std::string_view text, size_t from) {
  if (text.size() <= from + 1) return {};
  return text.substr(from, text.size() - from - 1);
}

}  // namespace

void ParseEnumSet(std::string_view typeText, TStringList& list, std::string& kind) {
  kind.clear();
  // A NUL byte ends the text.
  if (const size_t nul = typeText.find('\0'); nul != std::string_view::npos) typeText = typeText.substr(0, nul);
  if (LowerCase(typeText.substr(0, 4)) == "enum") {
    InsertItems(Inner(typeText, 5), list);
    kind = "enum";
  }
  if (LowerCase(typeText.substr(0, 3)) == "set") {
    InsertItems(Inner(typeText, 4), list);
    kind = "set";
  }
}

void CopyFileByStream(const std::string& sourceFile, const std::string& targetFile) {
  CopyFileContent(sourceFile, targetFile);
}

void CopyFolderFiles(const std::string& sourceFolder, const std::string& targetFolder, const std::string& mask) {
  for (const std::string& name : FindFiles(sourceFolder, mask))
    CopyFileByStream(sourceFolder + name, targetFolder + name);
}

std::string GetAppFolder() { return ExtractFilePath(GetExecutablePath()); }
