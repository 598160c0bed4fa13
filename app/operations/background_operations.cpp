#include "app/operations/background_operations.h"

#include <functional>
#include <memory>

#include "app/operations/background_state.h"
#include "app/operations/stop_question.h"
#include "app/window/application.h"
#include "app/window/full_screen.h"
#include "app/window/startup.h"

void BackgroundOperationsDeleter::operator()(BackgroundOperations* operations) const {
    delete operations;
}

BackgroundOperationsPointer MakeBackgroundOperations() {
    return BackgroundOperationsPointer(new BackgroundOperations);
}

namespace {

// The option "重名时保留两者": a file whose name the target holds for a different file is
// copied or moved under the first free numbered name.
const Setting<bool> kKeepBothSetting{"重名时保留两者", false};

void ShowFinishedOfQueue(BackgroundOperations& state, FileRows& rows,
                         VirtualListViewControl& list) {
    // A stopped queue is gone, and its operations were shown when it stopped.
    if (state.queue)
        ShowFinished(state.queue->TakeFinished(), state.tracked, state.undo, rows, list);
}

}  // namespace

OperationQueue& QueueOf(Application& app) {
    BackgroundOperations& state = *app.background;
    if (state.queue)
        return *state.queue;
    state.journal = std::make_unique<Journal>(JournalPath(app.rules.configPath));
    FileRows& rows = app.fileRows;
    VirtualListViewControl& list = app.controls.fileList;
    OperationReports reports{
        state.receiver.Route(),
        [&state, &rows, &list](uint32_t id, int32_t percent) {
            ShowProgress(state.tracked, rows, list, id, percent);
        },
        [&state, &app] {
            ShowFinishedOfQueue(state, app.fileRows, app.controls.fileList);
            ShowFullScreenResult(app);
        },
        [&preview = app.preview, &player = app.controls.mediaPlayer](const std::wstring& path) {
            ReleasePreviewedFile(preview, player, TextBlock::FromWide(path));
        }};
    state.queue = std::make_unique<OperationQueue>(
        std::move(reports), [&state, &owner = app.mainWindow](const FinishedOperation& finished) {
            // The warning is the application's, not the queue's: a stopped queue's still shows.
            const JournalWrite written = RecordInJournal(*state.journal, finished);
            if (written.warn)
                PostToUi([&state, &owner, error = written.error] {
                    state.journalWarning.Show(owner, state.journal->Path(), error);
                });
        });
    return *state.queue;
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
    if (app.settings.Get(kKeepBothSetting))
        operation.clash = NameClash::kKeepBoth;
    FileRows& rows = app.fileRows;
    if (IsRow(rows, row)) {
        rows.SetOperation(row, copy ? RowOperation::kCopy : RowOperation::kMove);
        rows.SetFailureReason(row, L"");
        rows.SetUndoRecord(row, FileRows::kNoIndex);
    }
    ShowResult(rows, app.controls.fileList, row, RowResult::kPending);
    app.background->tracked.Track(QueueOf(app).Enqueue(std::move(operation)), row,
                                  copy ? OperationKind::kCopy : OperationKind::kMove,
                                  UndoHistory::kNone);
}

int32_t PendingFileOperations(const BackgroundOperations& operations) {
    return operations.queue ? operations.queue->PendingCount() : 0;
}

namespace {

bool StopPendingAfterAsking(Application& app, const wchar_t* question,
                            const std::function<void()>& onYes) {
    BackgroundOperations& state = *app.background;
    const int32_t pending = PendingFileOperations(state);
    if (pending == 0)
        return true;
    const std::wstring text =
        L"还有 " + std::to_wstring(pending) + L" 个文件操作未完成，停止并" + question;
    if (!AskToStop(app.mainWindow, text, QueueOf(app), onYes))
        return false;
    QueueOf(app).StopAndWait();
    ShowFinishedOfQueue(state, app.fileRows, app.controls.fileList);
    // A stopped queue takes nothing more: the next operation gets a fresh one, and what the
    // stopped one still has on its way to this thread is dropped.
    state.queue.reset();
    state.receiver.Reopen();
    state.tracked.Clear();
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
        QueueOf(app).StopAndWait();
        QuitProgram(app);
    };
    return StopPendingAfterAsking(app, L"退出吗？", exitAtOnce) ? 0 : 1;
}

void ForgetFileRows(BackgroundOperations& operations) {
    operations.tracked.ForgetRows();
    operations.undo.Clear();
}
