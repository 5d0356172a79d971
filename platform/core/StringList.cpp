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

namespace {

// Calls line(text) for every line of text, split at CR LF, CR or LF.
template <class F> void ForEachLine(std::string_view text, F&& line) {
  size_t start = 0;
  const size_t n = text.size();
  while (start < n) {
    const size_t brk = text.find_first_of("\r\n", start);
    if (brk == std::string_view::npos) {
      line(text.substr(start));
      return;
    }
    line(text.substr(start, brk - start));
    start = brk + (text[brk] == '\r' && brk + 1 < n && text[brk + 1] == '\n' ? 2 : 1);
  }
}

}  // namespace

void TStringList::SetText(std::string_view text) {
  FItems.clear();
  size_t breaks = 0;
  for (char c : text) breaks += (c == '\n');
  FItems.reserve(breaks + 1);
  ForEachLine(text, [this](std::string_view line) { FItems.emplace_back(line); });
}

std::string TStringList::CrLfText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  ForEachLine(text, [&out](std::string_view line) {
    out.append(line);
    out.append("\r\n");
  });
  return out;
}

void TStringList::LoadFromFile(const std::string& fileName) {
  SetText(ReadFileText(fileName));
}

void TStringList::SaveToFile(const std::string& fileName) const {
  WriteFileText(fileName, Text());
}
