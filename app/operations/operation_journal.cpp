#include "app/operations/operation_journal.h"

#include <utility>

#include "app/base/system_error.h"
#include "app/operations/result_texts.h"

std::wstring JournalPath(const std::wstring& configPath) {
    const size_t separator = configPath.find_last_of(L'\\');
    const std::wstring folder =
        separator == std::wstring::npos ? L"." : configPath.substr(0, separator);
    return folder + L"\\" + kJournalFileName;
}

JournalEntry JournalEntryOf(const FinishedOperation& finished, const SYSTEMTIME& localTime) {
    const Operation& operation = finished.operation;
    JournalEntry entry;
    entry.localTime = localTime;
    entry.operation = std::wstring(OperationName(operation.kind));
    entry.source = operation.source;
    entry.destination = operation.destination;
    if (operation.kind == OperationKind::kUndoMove)
        std::swap(entry.source, entry.destination);
    else if (operation.kind == OperationKind::kUndoCopy)
        entry.source = operation.destination, entry.destination.clear();
    entry.result = ResultText(ResultOf(operation.kind, finished.outcome));
    entry.reason = finished.reason;
    return entry;
}

JournalWrite RecordInJournal(Journal& journal, const FinishedOperation& finished) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return journal.Append(JournalEntryOf(finished, now));
}

void JournalWarning::Show(HWND owner, const std::wstring& journalPath, DWORD error) {
    if (open_)
        return;
    const std::wstring text = L"操作记录无法写入：" + journalPath + L"\n" + SystemMessage(error) +
                              L"\n文件操作照常进行。";
    open_ = true;
    MessageBoxW(owner, text.c_str(), L"信息", MB_OK | MB_ICONWARNING);
    open_ = false;
}
