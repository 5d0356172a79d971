#pragma once
/** The grid's row records: selection flag and height, one per row, in the
 *  row order of the cells. Sorting moves cells, never these records. */

#include <memory>
#include <vector>

/** One row's record. */
struct TRow {
  bool Selected = false;
  int Height = 0;
};

/** The ordered, owned list of row records. An index outside the list raises
 *  EListError "List index out of bounds (%d)". */
class TRows {
public:
  TRows() = default;
  TRows(const TRows&) = delete;
  TRows& operator=(const TRows&) = delete;

  int Count() const { return static_cast<int>(FItems.size()); }
  TRow* Items(int Index) const;
  /** Appends Count records of that height. */
  void Add(int Count, int Height);
  /** Inserts one record before Index; Index = Count appends. */
  void Insert(int Index, int Height);
  void Delete(int Index);
  void Move(int From, int To);
  void Clear() { FItems.clear(); }

private:
  std::vector<std::unique_ptr<TRow>> FItems;
};
