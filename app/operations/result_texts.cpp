#include "app/operations/result_texts.h"

namespace {

struct KindTexts {
    std::wstring_view name;
    RowResult succeeded;
    RowResult failed;
};

// By OperationKind.
constexpr KindTexts kKinds[] = {
    {L"复制文件", RowResult::kCopied, RowResult::kCopyFailed},
    {L"移动文件", RowResult::kMoved, RowResult::kMoveFailed},
    {L"撤销复制", RowResult::kUndone, RowResult::kUndoFailed},
    {L"撤销移动", RowResult::kUndone, RowResult::kUndoFailed},
};

// By RowResult; kInProgress is made with its percentage.
constexpr std::wstring_view kResults[] = {
    L"",         L"等待中",   L"",       L"复制成功", L"复制失败",
    L"移动成功", L"移动失败", L"已撤销", L"撤销失败", L"已取消",
};

const KindTexts* Find(OperationKind kind) {
    const auto index = static_cast<size_t>(kind);
    return index < std::size(kKinds) ? &kKinds[index] : nullptr;
}

}  // namespace

std::wstring_view OperationName(OperationKind kind) {
    const KindTexts* texts = Find(kind);
    return texts ? texts->name : std::wstring_view();
}

std::wstring_view OperationName(RowOperation operation) {
    switch (operation) {
        case RowOperation::kCopy:
            return OperationName(OperationKind::kCopy);
        case RowOperation::kMove:
            return OperationName(OperationKind::kMove);
        case RowOperation::kNone:
            break;
    }
    return {};
}

RowResult ResultOf(OperationKind kind, OperationOutcome outcome) {
    const KindTexts* texts = Find(kind);
    if (outcome == OperationOutcome::kCancelled)
        return RowResult::kCancelled;
    if (!texts)
        return RowResult::kNone;
    return outcome == OperationOutcome::kSucceeded ? texts->succeeded : texts->failed;
}

std::wstring ResultText(RowResult result, RowOperation operation, int32_t percent) {
    if (result == RowResult::kInProgress)
        return std::wstring(operation == RowOperation::kMove ? L"移动中 " : L"复制中 ") +
               std::to_wstring(percent) + L"%";
    const auto index = static_cast<size_t>(result);
    return std::wstring(index < std::size(kResults) ? kResults[index] : std::wstring_view());
}
