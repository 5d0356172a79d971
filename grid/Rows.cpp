#include "grid/Rows.h"

#include "core/Exception.h"

#include <algorithm>
#include <string>

namespace {

void CheckIndex(int index, int count) {
  if (index < 0 || index >= count) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

TRow* TRows::Items(int Index) const {
  CheckIndex(Index, Count());
  return FItems[static_cast<size_t>(Index)].get();
}

void TRows::Add(int Count, int Height) {
  if (Count <= 0) return;
  FItems.reserve(FItems.size() + static_cast<size_t>(Count));
  for (int i = 0; i < Count; ++i) FItems.push_back(std::make_unique<TRow>(TRow{false, Height}));
}

void TRows::Insert(int Index, int Height) {
  CheckIndex(Index, Count() + 1);
  FItems.insert(FItems.begin() + Index, std::make_unique<TRow>(TRow{false, Height}));
}

void TRows::Delete(int Index) {
  CheckIndex(Index, Count());
  FItems.erase(FItems.begin() + Index);
}

void TRows::Move(int From, int To) {
  CheckIndex(From, Count());
  CheckIndex(To, Count());
  auto from = FItems.begin() + From, to = FItems.begin() + To;
  if (From < To)
    std::rotate(from, from + 1, to + 1);
  else
    std::rotate(to, from, from + 1);
}
