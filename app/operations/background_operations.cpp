#include "app/operations/background_operations.h"

#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/window/application.h"
#include "app/operations/journal.h"
#include "app/operations/operation_queue.h"
#include "app/rules/options_menu.h"
#include "app/operations/result_texts.h"
#include "app/window/startup.h"
#include "app/operations/stop_question.h"
#include "app/base/system_error.h"
#include "runtime/guard.h"

namespace {

constexpr UINT_PTR kUndoCommand = 1;

// A successful copy or move that may be undone.
struct UndoRecord {
    int32_t row;
    Operation done;  // as carried out, with the size and time of the result
    bool undoQueued = false;
    bool undone = false;
};

// Neither undone nor on its way to be: a refused undo may be tried again.
bool Undoable(const UndoRecord& record) {
    return !record.undone && !record.undoQueued;
}

// What the UI knows of an operation the worker has been given.
struct Tracked {
    int32_t row;
    uint32_t generation;  // the file list the row belongs to
    OperationKind kind;
    int32_t undoIndex;  // for an undo: its record
};

}  // namespace

struct BackgroundOperations {
    // What the worker reports; reopened with each queue, so the reports of a stopped one
    // find nothing to do.
    UiReceiver receiver;
    std::unique_ptr<Journal> journal;
    std::unique_ptr<OperationQueue> queue;
    std::map<uint32_t, Tracked> tracked;
    std::vector<UndoRecord> undo;
    uint32_t generation = 1;
    bool journalWarningOpen = false;
};

void BackgroundOperationsDeleter::operator()(BackgroundOperations* operations) const {
    delete operations;
}

BackgroundOperationsPointer MakeBackgroundOperations() {
    return BackgroundOperationsPointer(new BackgroundOperations);
}

namespace {

using State = BackgroundOperations;

State& Background(Application& app) {
    return *app.background;
}
const State& Background(const Application& app) {
    return *app.background;
}

bool IsRow(const Application& app, int32_t row) {
    return row >= 0 && row < app.fileRows.RowCount();
}

// The result column of a row; `percent` only while a copy runs.
void ShowResult(Application& app, int32_t row, RowResult result, int32_t percent = 0) {
    if (!IsRow(app, row))
        return;
    app.fileRows.SetResult(row, result, percent);
    app.controls.fileList.RedrawRow(row);
}

// On the worker, as each operation ends: its line in the journal. Whether the journal
// started refusing lines with it.
JournalWrite RecordInJournal(State& state, const FinishedOperation& finished) {
    const Operation& operation = finished.operation;
    JournalEntry entry;
    GetLocalTime(&entry.localTime);
    entry.operation = std::wstring(OperationName(operation.kind));
    entry.source = operation.source;
    entry.destination = operation.destination;
    if (operation.kind == OperationKind::kUndoMove)
        std::swap(entry.source, entry.destination);
    else if (operation.kind == OperationKind::kUndoCopy)
        entry.source = operation.destination, entry.destination.clear();
    entry.result = ResultText(ResultOf(operation.kind, finished.outcome));
    entry.reason = finished.reason;
    return state.journal->Append(entry);
}

void ShowProgress(Application& app, uint32_t id, int32_t percent) {
    State& state = Background(app);
    const auto found = state.tracked.find(id);
    if (found == state.tracked.end() || found->second.generation != state.generation)
        return;
    ShowResult(app, found->second.row, RowResult::kInProgress, percent);
}

void ShowFinished(Application& app) {
    State& state = Background(app);
    // A stopped queue is gone, and its operations were shown when it stopped.
    if (!state.queue)
        return;
    for (FinishedOperation& finished : state.queue->TakeFinished()) {
        const auto found = state.tracked.find(finished.id);
        if (found == state.tracked.end())
            continue;
        const Tracked tracked = found->second;
        state.tracked.erase(found);
        if (tracked.generation != state.generation)
            continue;  // its list is gone; the journal has it
        const bool ok = finished.outcome == OperationOutcome::kSucceeded;
        if (!IsRow(app, tracked.row))
            continue;
        FileRows& rows = app.fileRows;
        rows.SetFailureReason(tracked.row, ok ? std::wstring() : finished.reason);
        if (tracked.undoIndex >= 0) {
            UndoRecord& record = state.undo[tracked.undoIndex];
            record.undoQueued = false;
            record.undone = ok;
        } else if (ok) {
            Operation done = finished.operation;
            done.size = finished.transfer.size;
            done.lastWrite = finished.transfer.lastWrite;
            rows.SetUndoRecord(tracked.row, static_cast<int32_t>(state.undo.size()));
            state.undo.push_back({tracked.row, std::move(done)});
        }
        ShowResult(app, tracked.row, ResultOf(tracked.kind, finished.outcome));
    }
}

// The journal warns once each time it starts refusing lines; a box already open says it.
void ShowJournalFailure(Application& app, DWORD error) {
    State& state = Background(app);
    if (state.journalWarningOpen)
        return;
    const std::wstring text = L"操作记录无法写入：" + state.journal->Path() + L"\n" +
                              SystemMessage(error) + L"\n文件操作照常进行。";
    state.journalWarningOpen = true;
    MessageBoxW(app.mainWindow, text.c_str(), L"信息", MB_OK | MB_ICONWARNING);
    state.journalWarningOpen = false;
}

// The queue and its journal, made on first use on the UI thread.
OperationQueue& Queue(Application& app) {
    State& state = Background(app);
    if (state.queue)
        return *state.queue;
    state.journal = std::make_unique<Journal>(JournalPath(app));
    OperationReports reports{
        state.receiver.Route(),
        [&app](uint32_t id, int32_t percent) { ShowProgress(app, id, percent); },
        [&app] { ShowFinished(app); },
        [&app](const std::wstring& path) { ReleasePreviewedFile(app, TextBlock::FromWide(path)); }};
    state.queue = std::make_unique<OperationQueue>(
        std::move(reports), [&app, &state](const FinishedOperation& finished) {
            // The warning is the application's, not the queue's: a stopped queue's still shows.
            const JournalWrite written = RecordInJournal(state, finished);
            if (written.warn)
                PostToUi([&app, error = written.error] { ShowJournalFailure(app, error); });
        });
    return *state.queue;
}

void Track(Application& app, uint32_t id, int32_t row, OperationKind kind, int32_t undoIndex) {
    State& state = Background(app);
    if (id != 0)
        state.tracked[id] = {row, state.generation, kind, undoIndex};
}

void QueueUndo(Application& app, int32_t index) {
    State& state = Background(app);
    UndoRecord& record = state.undo[index];
    Operation operation = record.done;
    operation.kind = record.done.kind == OperationKind::kCopy ? OperationKind::kUndoCopy
                                                              : OperationKind::kUndoMove;
    record.undoQueued = true;
    if (IsRow(app, record.row))
        app.fileRows.SetFailureReason(record.row, L"");
    ShowResult(app, record.row, RowResult::kPending);
    Track(app, Queue(app).Enqueue(operation), record.row, operation.kind, index);
}

}  // namespace

std::wstring JournalPath(const Application& app) {
    const std::wstring& config = app.rules.configPath;
    const size_t separator = config.find_last_of(L'\\');
    const std::wstring folder =
        separator == std::wstring::npos ? L"." : config.substr(0, separator);
    return folder + L"\\" + kJournalFileName;
}

void QueueFileOperation(Application& app, int32_t row, bool copy, const std::wstring& source,
                        const std::wstring& targetFolder, const std::wstring& name) {
    Operation operation;
    operation.kind = copy ? OperationKind::kCopy : OperationKind::kMove;
    operation.source = source;
    // Without a target folder the file would land in the drive's root: no destination.
    if (!targetFolder.empty()) {
        const bool separated = targetFolder.back() == L'\\' || targetFolder.back() == L'/';
        operation.destination = targetFolder + (separated ? L"" : L"\\") + name;
    }
    operation.tag = row;
    if (IsRow(app, row)) {
        FileRows& rows = app.fileRows;
        rows.SetOperation(row, copy ? RowOperation::kCopy : RowOperation::kMove);
        rows.SetFailureReason(row, L"");
        rows.SetUndoRecord(row, FileRows::kNoIndex);
    }
    ShowResult(app, row, RowResult::kPending);
    Track(app, Queue(app).Enqueue(std::move(operation)), row,
          copy ? OperationKind::kCopy : OperationKind::kMove, -1);
}

int32_t PendingFileOperations(const Application& app) {
    return Background(app).queue ? Background(app).queue->PendingCount() : 0;
}

namespace {

bool StopPendingAfterAsking(Application& app, const wchar_t* question,
                            const std::function<void()>& onYes) {
    const int32_t pending = PendingFileOperations(app);
    if (pending == 0)
        return true;
    const std::wstring text =
        L"还有 " + std::to_wstring(pending) + L" 个文件操作未完成，停止并" + question;
    if (!AskToStop(app.mainWindow, text, Queue(app), onYes))
        return false;
    Queue(app).StopAndWait();
    ShowFinished(app);
    // A stopped queue takes nothing more: the next operation gets a fresh one, and what the
    // stopped one still has on its way to this thread is dropped.
    State& state = Background(app);
    state.queue.reset();
    state.receiver.Reopen();
    state.tracked.clear();
    return true;
}

}  // namespace

bool StopPendingOperationsAfterAsking(Application& app, const wchar_t* question) {
    return StopPendingAfterAsking(app, question, nullptr);
}

int32_t ConfirmCloseWithPendingWork(Application& app) {
    // "是" ends the program from inside the box, once the worker has stopped and removed what
    // it was writing: closing the box and then the window could each take seconds (Wine
    // waits 2 s at each without a window manager), and nothing needs them any more.
    const std::function<void()> exitAtOnce = [&app] {
        Queue(app).StopAndWait();
        QuitProgram(app);
    };
    return StopPendingAfterAsking(app, L"退出吗？", exitAtOnce) ? 0 : 1;
}

void ForgetFileRows(Application& app) {
    State& state = Background(app);
    ++state.generation;
    state.undo.clear();
}

bool CanUndoRow(const Application& app, int32_t row) {
    if (!IsRow(app, row))
        return false;
    const int32_t index = app.fileRows.UndoRecord(row);
    const State& state = Background(app);
    if (index < 0 || index >= static_cast<int32_t>(state.undo.size()))
        return false;
    return Undoable(state.undo[index]);
}

void UndoRow(Application& app, int32_t row) {
    if (CanUndoRow(app, row))
        QueueUndo(app, app.fileRows.UndoRecord(row));
}

bool UndoMostRecent(Application& app) {
    // A refused undo counts: its operation stays the most recent one not undone.
    const std::vector<UndoRecord>& undo = Background(app).undo;
    for (size_t index = undo.size(); index-- > 0;) {
        if (Undoable(undo[index])) {
            QueueUndo(app, static_cast<int32_t>(index));
            return true;
        }
    }
    return false;
}
