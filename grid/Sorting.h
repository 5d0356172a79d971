#pragma once
/** How the grid orders its rows by one column: the comparison kinds, the
 *  direction and the address key of the IP order. The store's Sort and
 *  ReverseRows are implemented in Sorting.cpp. */

#include <array>
#include <cstdint>
#include <string_view>

enum TSortType { stAlphabetic, stBoolean, stCaseInsensitive, stCustom, stNumeric, stDate, stIP };
enum TSortKind { skAscending, skDescending };

/** Four decimal groups of an address text, group 1 first. */
using TAddressKey = std::array<std::int32_t, 4>;

/** The address key of Text: digits gather into a group, every other
 *  character is dropped, and a "." or the last character closes the group.
 *  "10.0.0.2" gives 10, 0, 0, 2 and "1.1:80" gives 1, 180, 0, 0; an empty
 *  text gives four zeros. A group that closes without digits raises the
 *  integer conversion error; groups after the fourth are ignored. */
TAddressKey AddressKey(std::string_view Text);

/** Negative, zero or positive as a sorts before, with or after b: group 4
 *  decides first, then 3, 2 and 1. */
int CompareAddressKeys(const TAddressKey& a, const TAddressKey& b);
