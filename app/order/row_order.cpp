#include "app/order/row_order.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace {

int32_t OperationGroup(RowOperation operation) {
    switch (operation) {
        case RowOperation::kNone:
            return 0;
        case RowOperation::kCopy:
            return 1;
        case RowOperation::kMove:
            return 2;
    }
    return 0;
}

int32_t ResultGroup(RowResult result) {
    switch (result) {
        case RowResult::kNone:
            return 0;
        case RowResult::kPending:
        case RowResult::kInProgress:
            return 1;
        case RowResult::kCopied:
        case RowResult::kMoved:
            return 2;
        case RowResult::kCopyFailed:
        case RowResult::kMoveFailed:
        case RowResult::kUndoFailed:
            return 3;
        case RowResult::kUndone:
            return 4;
        case RowResult::kCancelled:
            return 5;
    }
    return 0;
}

// True when row `a` comes before row `b` in ascending `column`.
class RowLess {
  public:
    RowLess(const FileRows& rows, SortColumn column, const SortFacts& facts)
        : rows_(rows), column_(column), facts_(facts) {}

    bool operator()(int32_t a, int32_t b) const {
        switch (column_) {
            case SortColumn::kReading:
                break;
            case SortColumn::kName:
                return ByName(a, b);
            case SortColumn::kOperation:
                return std::tuple(OperationGroup(rows_.Operation(a)), a) <
                       std::tuple(OperationGroup(rows_.Operation(b)), b);
            case SortColumn::kResult:
                return std::tuple(ResultGroup(rows_.Result(a)), a) <
                       std::tuple(ResultGroup(rows_.Result(b)), b);
            case SortColumn::kCaptureTime:
                return ByCaptureTime(a, b);
        }
        return a < b;
    }

  private:
    bool ByName(int32_t a, int32_t b) const {
        const int order = rows_.NaturalSortKey(a).compare(rows_.NaturalSortKey(b));
        return order != 0 ? order < 0 : a < b;
    }

    bool ByCaptureTime(int32_t a, int32_t b) const {
        const std::vector<CaptureTime>* times = facts_.captureTimes;
        const auto known = [&](int32_t row) { return times && row < std::ssize(*times); };
        if (known(a) && known(b)) {
            const CaptureTime& x = (*times)[a];
            const CaptureTime& y = (*times)[b];
            if (x.wallClock != y.wallClock)
                return x.wallClock < y.wallClock;
            if (x.nanoseconds != y.nanoseconds)
                return x.nanoseconds < y.nanoseconds;
        }
        return ByName(a, b);
    }

    const FileRows& rows_;
    SortColumn column_;
    const SortFacts& facts_;
};

// The comparison of `order`: a descending order is the ascending one backwards.
auto Before(const FileRows& rows, SortOrder order, const SortFacts& facts) {
    return [less = RowLess(rows, order.column, facts), descending = order.descending](
               int32_t a, int32_t b) { return descending ? less(b, a) : less(a, b); };
}

}  // namespace

std::vector<int32_t> SortedRows(const FileRows& rows, SortOrder order, const SortFacts& facts) {
    std::vector<int32_t> sorted(static_cast<size_t>(rows.RowCount()));
    std::iota(sorted.begin(), sorted.end(), 0);
    if (order.column == SortColumn::kReading) {
        if (order.descending)
            std::reverse(sorted.begin(), sorted.end());
        return sorted;
    }
    std::sort(sorted.begin(), sorted.end(), Before(rows, order, facts));
    return sorted;
}

std::vector<int32_t> WithRowsInPlace(const FileRows& rows, SortOrder order, const SortFacts& facts,
                                     const std::vector<int32_t>& shown,
                                     std::vector<int32_t> added) {
    const auto before = Before(rows, order, facts);
    std::sort(added.begin(), added.end(), before);
    std::vector<int32_t> merged;
    merged.reserve(shown.size() + added.size());
    std::merge(shown.begin(), shown.end(), added.begin(), added.end(), std::back_inserter(merged),
               before);
    return merged;
}
