#include "app/files/file_rows.h"

#include <windows.h>

#include <algorithm>

#include "app/files/file_list.h"
#include "app/files/natural_order.h"
#include "app/operations/result_texts.h"

namespace {

// Copies `text` with a zero unit into the buffer, cut to fit.
void Put(std::wstring_view text, wchar_t* buffer, int32_t capacity) {
    if (capacity <= 0)
        return;
    const size_t units = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::copy_n(text.data(), units, buffer);
    buffer[units] = L'\0';
}

// Writes the decimal digits of `value` (at least two) into `digits`; their count.
int32_t IndexDigits(int32_t value, wchar_t (&digits)[16]) {
    wchar_t reversed[16];
    int32_t count = 0;
    do {
        reversed[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value > 0);
    if (count < 2)
        reversed[count++] = L'0';
    for (int32_t i = 0; i < count; ++i)
        digits[i] = reversed[count - 1 - i];
    return count;
}

}  // namespace

int32_t RowAtPosition(const FileRows& rows, int32_t position) {
    return position >= 0 && position < rows.RowCount() ? rows.RowAt(position) : FileRows::kNoIndex;
}

void FileRows::Reset(std::wstring_view directory) {
    directory_.assign(directory);
    if (directory_.empty() || directory_.back() != L'\\')
        directory_.push_back(L'\\');
    // Memory of a large earlier listing goes back too.
    std::vector<wchar_t>().swap(names_);
    std::vector<wchar_t>().swap(keys_);
    std::vector<Row>().swap(rows_);
    std::vector<int32_t>().swap(order_);
    std::vector<int32_t>().swap(positions_);
    std::vector<std::wstring>().swap(failureReasons_);
}

int32_t FileRows::Append(std::wstring_view name) {
    Row row{};
    row.nameOffset = static_cast<uint32_t>(names_.size());
    names_.insert(names_.end(), name.begin(), name.end());
    names_.push_back(L'\0');
    row.keyOffset = static_cast<uint32_t>(keys_.size());
    thread_local std::wstring key;
    key.clear();
    AppendNaturalKey(name, key);
    keys_.insert(keys_.end(), key.begin(), key.end());
    rows_.push_back(row);
    const int32_t added = RowCount() - 1;
    order_.push_back(added);
    positions_.push_back(static_cast<int32_t>(order_.size()) - 1);
    return added;
}

std::wstring_view FileRows::NaturalSortKey(int32_t row) const {
    const size_t end = row + 1 < RowCount() ? rows_[row + 1].keyOffset : keys_.size();
    return std::wstring_view(keys_.data() + rows_[row].keyOffset, end - rows_[row].keyOffset);
}

void FileRows::SetDisplayOrder(std::vector<int32_t> order) {
    order_ = std::move(order);
    for (size_t position = 0; position < order_.size(); ++position)
        positions_[order_[position]] = static_cast<int32_t>(position);
}

std::wstring FileRows::Path(int32_t row) const {
    return directory_ + std::wstring(Name(row));
}

std::wstring_view FileRows::Name(int32_t row) const {
    return std::wstring_view(names_.data() + rows_[row].nameOffset);
}

void FileRows::SetResult(int32_t row, RowResult result, int32_t percent) {
    rows_[row].result = result;
    rows_[row].percent = static_cast<uint8_t>(std::clamp(percent, 0, 100));
}

void FileRows::SetFailureReason(int32_t row, std::wstring_view reason) {
    int32_t& index = rows_[row].failureReason;
    if (reason.empty()) {
        if (index != kNoIndex)
            failureReasons_[index].clear();  // the slot stays, unused
        index = kNoIndex;
        return;
    }
    if (index == kNoIndex) {
        index = static_cast<int32_t>(failureReasons_.size());
        failureReasons_.emplace_back();
    }
    failureReasons_[index].assign(reason);
}

std::wstring_view FileRows::FailureReason(int32_t row) const {
    const int32_t index = rows_[row].failureReason;
    return index == kNoIndex ? std::wstring_view() : std::wstring_view(failureReasons_[index]);
}

void FileRows::CellText(int32_t position, int32_t column, wchar_t* buffer, int32_t capacity) const {
    if (capacity <= 0)
        return;
    if (position < 0 || position >= RowCount()) {
        buffer[0] = L'\0';
        return;
    }
    const int32_t row = RowAt(position);
    const Row& record = rows_[row];
    switch (column) {
        case kFileIndexColumn: {
            wchar_t digits[16];
            Put(std::wstring_view(digits, IndexDigits(row + 1, digits)), buffer, capacity);
            return;
        }
        case kFileNameColumn:
            Put(Name(row), buffer, capacity);  // exactly as the system spells it
            return;
        case kFileOperationColumn:
            Put(OperationName(record.operation), buffer, capacity);
            return;
        case kFileResultColumn:
            Put(ResultText(record.result, record.operation, record.percent), buffer, capacity);
            return;
        default:
            buffer[0] = L'\0';
    }
}

int32_t FileRows::FindIndexText(std::wstring_view text, bool partial, int32_t start,
                                bool wrap) const {
    const int32_t count = RowCount();
    if (count == 0)
        return -1;
    const auto matches = [&](int32_t position) {
        wchar_t digits[16];
        const int32_t length = IndexDigits(RowAt(position) + 1, digits);
        const size_t compared = partial ? text.size() : static_cast<size_t>(length);
        if (text.size() > static_cast<size_t>(length) || compared != text.size())
            return false;
        return CompareStringOrdinal(digits, static_cast<int>(compared), text.data(),
                                    static_cast<int>(text.size()), TRUE) == CSTR_EQUAL;
    };
    const int32_t first = std::clamp(start, 0, count);
    for (int32_t position = first; position < count; ++position)
        if (matches(position))
            return position;
    if (wrap)
        for (int32_t position = 0; position < first; ++position)
            if (matches(position))
                return position;
    return -1;
}
