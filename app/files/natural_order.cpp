#include "app/files/natural_order.h"

#include <windows.h>

#include <array>
#include <memory>

namespace {

using FoldTable = std::array<wchar_t, 0x10000>;

// The system's uppercase table, asked for once: an ordinal comparison without case compares
// the units' uppercase forms, unit by unit. Surrogates stay as they are.
std::unique_ptr<FoldTable> MakeFoldTable() {
    auto table = std::make_unique<FoldTable>();
    for (size_t unit = 0; unit < table->size(); ++unit)
        (*table)[unit] = static_cast<wchar_t>(unit);
    constexpr int kBelowSurrogates = 0xD800;
    constexpr int kAboveSurrogates = 0xE000;
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, table->data(), kBelowSurrogates,
                  table->data(), kBelowSurrogates, nullptr, nullptr, 0);
    const int above = static_cast<int>(table->size()) - kAboveSurrogates;
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, table->data() + kAboveSurrogates, above,
                  table->data() + kAboveSurrogates, above, nullptr, nullptr, 0);
    (*table)[0] = L'\0';
    return table;
}

const FoldTable& Folds() {
    static const std::unique_ptr<FoldTable> table = MakeFoldTable();
    return *table;
}

bool IsDigit(wchar_t unit) {
    return unit >= L'0' && unit <= L'9';
}

// A name's component holds at most a few hundred units, so a count fits in one unit.
wchar_t CountUnit(size_t count) {
    return static_cast<wchar_t>(count + 1);
}

}  // namespace

wchar_t FoldCaseOrdinal(wchar_t unit) {
    return Folds()[static_cast<uint16_t>(unit)];
}

void AppendNaturalKey(std::wstring_view name, std::wstring& key) {
    const FoldTable& folds = Folds();
    size_t i = 0;
    while (i < name.size()) {
        if (!IsDigit(name[i])) {
            key.push_back(folds[static_cast<uint16_t>(name[i])]);
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < name.size() && name[i] == L'0')
            ++i;
        const size_t significant = i;
        while (i < name.size() && IsDigit(name[i]))
            ++i;
        key.push_back(L'0');
        key.push_back(CountUnit(i - significant));
        key.append(name.substr(significant, i - significant));
        key.push_back(CountUnit(i - start));
    }
    key.push_back(L'\0');
    key.append(name);
}

std::wstring NaturalKey(std::wstring_view name) {
    std::wstring key;
    key.reserve(name.size() * 2 + 4);
    AppendNaturalKey(name, key);
    return key;
}
