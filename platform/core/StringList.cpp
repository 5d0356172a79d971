#include "core/StringList.h"

#include "core/Exception.h"
#include "core/Files.h"

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStringList::operator[](int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)];
}

std::string& TStringList::operator[](int index) {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)];
}

int TStringList::Add(std::string line) {
  FItems.push_back(std::move(line));
  return Count() - 1;
}

void TStringList::Insert(int index, std::string line) {
  if (index < 0 || index > Count())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  FItems.insert(FItems.begin() + index, std::move(line));
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  FItems.erase(FItems.begin() + index);
}

int TStringList::IndexOf(std::string_view line) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i] == line) return static_cast<int>(i);
  return -1;
}

std::string TStringList::Text() const {
  size_t size = 0;
  for (const auto& s : FItems) size += s.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& s : FItems) {
    out += s;
    out += "\r\n";
  }
  return out;
}

void TStringList::SetText(std::string_view text) {
  FItems.clear();
  size_t start = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    FItems.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) FItems.emplace_back(text.substr(start));
}

void TStringList::LoadFromFile(const std::string& fileName) {
  SetText(ReadFileText(fileName));
}

void TStringList::SaveToFile(const std::string& fileName) const {
  WriteFileText(fileName, Text());
}
