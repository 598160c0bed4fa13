// What the UI thread keeps of the background work, for the files of app/operations that act
// on it: the worker's queue and its journal, the operations followed to their rows, the undo
// history.
#pragma once

#include <memory>

#include "app/base/ui_thread.h"
#include "app/operations/journal.h"
#include "app/operations/operation_journal.h"
#include "app/operations/operation_queue.h"
#include "app/operations/operation_rows.h"
#include "app/operations/undo_history.h"

struct Application;

struct BackgroundOperations {
    // What the worker reports; reopened with each queue, so the reports of a stopped one
    // find nothing to do.
    UiReceiver receiver;
    std::unique_ptr<Journal> journal;
    std::unique_ptr<OperationQueue> queue;
    TrackedRows tracked;
    UndoHistory undo;
    JournalWarning journalWarning;
};

// The queue and its journal, made on first use.
OperationQueue& QueueOf(Application& app);
