// What the journal says of each operation, written on the worker as the operation ends, and
// the warning the user gets on the UI thread when the journal starts refusing lines.
#pragma once

#include <windows.h>

#include <string>

#include "app/operations/journal.h"
#include "app/operations/operation_queue.h"

// Full path of the journal: 操作记录.csv in the folder of config.ini.
std::wstring JournalPath(const std::wstring& configPath);

// The journal's line for an ended operation. An undo names the file it acts on as its
// source: an undone move goes from its destination back to its source, an undone copy
// leaves its destination for the Recycle Bin.
JournalEntry JournalEntryOf(const FinishedOperation& finished, const SYSTEMTIME& localTime);
// On the worker: the line at the local time; whether the journal started refusing lines
// with it.
JournalWrite RecordInJournal(Journal& journal, const FinishedOperation& finished);

// Warns once each time the journal starts refusing lines; a box already open says it.
class JournalWarning {
  public:
    void Show(HWND owner, const std::wstring& journalPath, DWORD error);

  private:
    bool open_ = false;
};
