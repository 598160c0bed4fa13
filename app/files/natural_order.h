// The order in which a person reads file names: "IMG_2" before "IMG_10". Each name gets its
// sort key once, when its row is listed; two names then compare by one comparison of their
// keys, code unit by code unit, whatever the names hold.
//
// A key holds, one after another:
// - each character outside a run of digits, folded as the system folds case for an ordinal
//   comparison without case;
// - for each run of the digits 0-9: the unit '0', one more than the count of its digits
//   after the leading zeros, those digits, and one more than the count of all its digits.
//   Runs thus compare by value however long they are, equal values by their length, fewer
//   digits first, and a run sorts where a digit would among the other characters;
// - a zero unit, then the name itself, so that names that still tie compare ordinally.
//   No other unit of the key is zero, so a name that is the start of another comes first.
#pragma once

#include <string>
#include <string_view>

// The unit as an ordinal comparison without case sees it (CompareStringOrdinal).
wchar_t FoldCaseOrdinal(wchar_t unit);

// Appends the sort key of `name` to `key`.
void AppendNaturalKey(std::wstring_view name, std::wstring& key);
std::wstring NaturalKey(std::wstring_view name);
