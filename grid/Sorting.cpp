#include "grid/Sorting.h"

#include "core/TextUtils.h"
#include "grid/Cells.h"
#include "grid/CellClasses.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

TAddressKey AddressKey(std::string_view Text) {
  TAddressKey key{0, 0, 0, 0};
  std::string digits;
  size_t group = 0;
  for (size_t i = 0; i < Text.size() && group < key.size(); ++i) {
    const char c = Text[i];
    if (c >= '0' && c <= '9') digits += c;
    if (c == '.' || i + 1 == Text.size()) {
      key[group++] = TextToInteger(digits);  // a group without digits raises
      digits.clear();
    }
  }
  return key;
}

int CompareAddressKeys(const TAddressKey& a, const TAddressKey& b) {
  for (size_t g = a.size(); g-- > 0;)
    if (a[g] != b[g]) return a[g] < b[g] ? -1 : 1;
  return 0;
}

namespace {

using TOrder = std::vector<std::int32_t>;

// Sorts (key, row) pairs and gives the rows in their new order. Equal keys
// may end in any order.
template <class Key, class Less>
TOrder OrderOfKeys(std::vector<std::pair<Key, std::int32_t>>& keyed, Less less, bool descending) {
  if (descending)
    std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) { return less(b.first, a.first); });
  else
    std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) { return less(a.first, b.first); });
  TOrder order;
  order.reserve(keyed.size());
  for (const auto& k : keyed) order.push_back(k.second);
  return order;
}

// A bottom-up merge sort: stable, and it stays inside the list whatever a
// custom comparison answers.
template <class Less> void MergeSort(TOrder& order, Less less) {
  const size_t n = order.size();
  TOrder merged(n);
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      size_t i = lo, j = mid, out = lo;
      while (i < mid && j < hi) merged[out++] = less(order[j], order[i]) ? order[j++] : order[i++];
      while (i < mid) merged[out++] = order[i++];
      while (j < hi) merged[out++] = order[j++];
    }
    order.swap(merged);
  }
}

// Numbers and dates. A NaN compares with nothing, which would leave std::sort
// without a strict order: NaNs go first (last when descending) and the
// numbers are sorted among themselves.
TOrder OrderOfNumbers(std::vector<std::pair<double, std::int32_t>>& keyed, bool descending) {
  std::vector<std::int32_t> nanRows;
  auto kept = keyed.begin();
  for (const auto& k : keyed) {
    if (std::isnan(k.first))
      nanRows.push_back(k.second);
    else
      *kept++ = k;
  }
  keyed.erase(kept, keyed.end());
  TOrder order = OrderOfKeys(keyed, std::less<double>(), descending);
  order.insert(descending ? order.end() : order.begin(), nanRows.begin(), nanRows.end());
  return order;
}

constexpr std::int32_t kPrefetchAhead = 16;

}  // namespace

std::vector<std::int32_t> TCells::SortedOrder(int col, TSortType sortType, TSortKind direction) {
  const bool descending = direction == skDescending;
  const std::int32_t rows = FRowCount;
  auto keysOf = [&](auto read) {
    std::vector<std::pair<std::invoke_result_t<decltype(read), TCell*>, std::int32_t>> keyed;
    keyed.reserve(static_cast<size_t>(rows));
    if (rows == 0) return keyed;
    CheckIndex(col, ColCount());
    const std::vector<TCell*>& cells = FLists[static_cast<size_t>(col)].Cells;
    for (std::int32_t r = 0; r < rows; ++r) {
      // Once sorted by another column, the cells lie scattered in memory:
      // ask for the cells a few rows ahead while this one is read.
      if (r + kPrefetchAhead < rows) {
        const char* ahead = reinterpret_cast<const char*>(cells[static_cast<size_t>(r + kPrefetchAhead)]);
        __builtin_prefetch(ahead, 1);
        __builtin_prefetch(ahead + 64, 1);
      }
      keyed.emplace_back(read(GetCell(col, r)), r);
    }
    return keyed;
  };
  switch (sortType) {
    case stAlphabetic: {
      auto keyed = keysOf([](TCell* c) { return c->AsString(); });
      return OrderOfKeys(keyed, std::less<std::string>(), descending);
    }
    case stCaseInsensitive: {
      auto keyed = keysOf([](TCell* c) { return LowerCase(c->AsString()); });
      return OrderOfKeys(keyed, std::less<std::string>(), descending);
    }
    case stBoolean: {
      auto keyed = keysOf([](TCell* c) { return c->AsBoolean(); });
      return OrderOfKeys(keyed, std::less<bool>(), descending);
    }
    case stNumeric: {
      auto keyed = keysOf([](TCell* c) { return c->AsFloat(); });
      return OrderOfNumbers(keyed, descending);
    }
    case stDate: {
      auto keyed = keysOf([](TCell* c) { return c->AsDateTime(); });
      return OrderOfNumbers(keyed, descending);
    }
    case stIP: {
      // The address order is the other way round: ascending puts the
      // greatest address first.
      auto keyed = keysOf([](TCell* c) { return AddressKey(c->AsString()); });
      auto less = [](const TAddressKey& a, const TAddressKey& b) { return CompareAddressKeys(a, b) < 0; };
      return OrderOfKeys(keyed, less, !descending);
    }
    case stCustom: {
      std::vector<TCell*> cells;
      TOrder order;
      for (std::int32_t r = 0; r < rows; ++r) {
        cells.push_back(GetCell(col, r));
        order.push_back(r);
      }
      if (OnCompare)
        MergeSort(order, [&](std::int32_t a, std::int32_t b) {
          const int c = Compare(cells[static_cast<size_t>(a)], cells[static_cast<size_t>(b)]);
          return descending ? c > 0 : c < 0;
        });
      return order;
    }
  }
  return {};
}

void TCells::Sort(int ACol, TSortType SortType, TSortKind Direction) {
  if (FSorted && FSortedColumn == ACol && FSortKind != Direction) {
    FSortKind = Direction;
    ReverseRows();
  } else {
    // Every key is read before a row moves: a failure leaves all as it was.
    const std::vector<std::int32_t> order = SortedOrder(ACol, SortType, Direction);
    ApplyOrder(order);
    FSortKind = Direction;
  }
  FSortedColumn = ACol;
  FSorted = true;
}

void TCells::ReverseRows() {
  for (TCellList& list : FLists) std::reverse(list.Cells.begin(), list.Cells.end());
}
