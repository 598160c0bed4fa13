#include "app/operations/free_name.h"

std::wstring NumberedName(std::wstring_view name, int32_t number) {
    if (number <= 1)
        return std::wstring(name);
    size_t dot = name.find_last_of(L'.');
    if (dot == 0 || dot == std::wstring_view::npos)
        dot = name.size();
    std::wstring numbered(name.substr(0, dot));
    numbered += L" (" + std::to_wstring(number) + L")";
    numbered += name.substr(dot);
    return numbered;
}

std::wstring_view NameOfPath(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

std::wstring NumberedPath(std::wstring_view path, int32_t number) {
    const std::wstring_view name = NameOfPath(path);
    return std::wstring(path.substr(0, path.size() - name.size())) + NumberedName(name, number);
}

TransferResult FindFreeNumber(int32_t& number, NameClash clash,
                              const std::function<NameLook(int32_t number)>& look) {
    TransferResult result;
    for (;; ++number) {
        const NameLook found = look(number);
        result.error = found.error;
        result.succeeded = found.error == ERROR_SUCCESS;
        if (found.error != ERROR_FILE_EXISTS)
            return result;
        if (found.same)
            result.reason = kSameFileReason;
        else if (clash == NameClash::kFail)
            result.reason = kDifferentFileReason;
        else if (number >= kLastNameNumber)
            result.reason = kNoFreeNameReason;
        else
            continue;
        return result;
    }
}
