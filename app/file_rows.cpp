#include "app/file_rows.h"

#include <windows.h>

#include <algorithm>

#include "app/file_list.h"

namespace {

// Copies `text` with a zero unit into the buffer, cut to fit.
void Put(std::wstring_view text, wchar_t* buffer, int32_t capacity) {
    if (capacity <= 0)
        return;
    const size_t units = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::copy_n(text.data(), units, buffer);
    buffer[units] = L'\0';
}

std::wstring_view OperationText(RowOperation operation) {
    switch (operation) {
        case RowOperation::kCopy:
            return L"复制文件";
        case RowOperation::kMove:
            return L"移动文件";
        case RowOperation::kNone:
            break;
    }
    return {};
}

void PutResultText(RowOperation operation, RowResult result, int32_t percent, wchar_t* buffer,
                   int32_t capacity) {
    std::wstring_view text;
    switch (result) {
        case RowResult::kNone:
            break;
        case RowResult::kPending:
            text = L"等待中";
            break;
        case RowResult::kInProgress: {
            const std::wstring progress =
                std::wstring(operation == RowOperation::kMove ? L"移动中 " : L"复制中 ") +
                std::to_wstring(percent) + L"%";
            Put(progress, buffer, capacity);
            return;
        }
        case RowResult::kCopied:
            text = L"复制成功";
            break;
        case RowResult::kCopyFailed:
            text = L"复制失败";
            break;
        case RowResult::kMoved:
            text = L"移动成功";
            break;
        case RowResult::kMoveFailed:
            text = L"移动失败";
            break;
        case RowResult::kUndone:
            text = L"已撤销";
            break;
        case RowResult::kUndoFailed:
            text = L"撤销失败";
            break;
        case RowResult::kCancelled:
            text = L"已取消";
            break;
    }
    Put(text, buffer, capacity);
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

void FileRows::Reset(std::wstring_view directory) {
    directory_.assign(directory);
    if (directory_.empty() || directory_.back() != L'\\')
        directory_.push_back(L'\\');
    // Memory of a large earlier listing goes back too.
    std::vector<wchar_t>().swap(names_);
    std::vector<Row>().swap(rows_);
    std::vector<std::wstring>().swap(failureReasons_);
}

int32_t FileRows::Append(std::wstring_view name) {
    Row row{};
    row.nameOffset = static_cast<uint32_t>(names_.size());
    names_.insert(names_.end(), name.begin(), name.end());
    names_.push_back(L'\0');
    rows_.push_back(row);
    return RowCount() - 1;
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

void FileRows::CellText(int32_t row, int32_t column, wchar_t* buffer, int32_t capacity) const {
    if (capacity <= 0)
        return;
    if (row < 0 || row >= RowCount()) {
        buffer[0] = L'\0';
        return;
    }
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
            Put(OperationText(record.operation), buffer, capacity);
            return;
        case kFileResultColumn:
            PutResultText(record.operation, record.result, record.percent, buffer, capacity);
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
    const auto matches = [&](int32_t row) {
        wchar_t digits[16];
        const int32_t length = IndexDigits(row + 1, digits);
        const size_t compared = partial ? text.size() : static_cast<size_t>(length);
        if (text.size() > static_cast<size_t>(length) || compared != text.size())
            return false;
        return CompareStringOrdinal(digits, static_cast<int>(compared), text.data(),
                                    static_cast<int>(text.size()), TRUE) == CSTR_EQUAL;
    };
    const int32_t first = std::clamp(start, 0, count);
    for (int32_t row = first; row < count; ++row)
        if (matches(row))
            return row;
    if (wrap)
        for (int32_t row = 0; row < first; ++row)
            if (matches(row))
                return row;
    return -1;
}
