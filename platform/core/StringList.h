#pragma once
/** TStringList: an ordered list of text lines.
 *  Loading splits at CR, LF or CR LF; saving ends every line with CR LF. */

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TStringList {
public:
  TStringList() = default;

  int Count() const { return static_cast<int>(FItems.size()); }
  bool Empty() const { return FItems.empty(); }

  /** Line at index; an index outside the list raises EListError. */
  const std::string& operator[](int index) const;
  std::string& operator[](int index);
  const std::string& Get(int index) const { return (*this)[index]; }
  void Put(int index, std::string text) { (*this)[index] = std::move(text); }

  int Add(std::string line);
  /** Inserts before index; index == Count() appends. */
  void Insert(int index, std::string line);
  void Delete(int index);
  void Clear() { FItems.clear(); }
  /** First index of an exactly equal line, or -1. */
  int IndexOf(std::string_view line) const;

  /** The lines joined, each followed by CR LF. */
  std::string Text() const;
  /** Replaces the lines by the text split at CR LF, CR or LF. A line break at
   *  the very end does not make an empty last line. */
  void SetText(std::string_view text);

  /** What SetText(text) followed by Text() gives, without the list: every
   *  line break as CR LF, and a last line without one gets it. */
  static std::string CrLfText(std::string_view text);

  void LoadFromFile(const std::string& fileName);
  /** Writes Text() to the file, replacing it. */
  void SaveToFile(const std::string& fileName) const;

  const std::vector<std::string>& Lines() const { return FItems; }
  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

  bool operator==(const TStringList&) const = default;

private:
  void CheckIndex(int index) const;
  std::vector<std::string> FItems;
};
