// The journal of file operations: 操作记录.csv beside config.ini, one line per operation
// and per undo, each handed to the system as it ends, so nothing is lost if the process
// dies. UTF-8 with a byte order mark (so spreadsheet programs read it as UTF-8); columns
// time (local, ISO 8601), operation, source path, destination path, result, reason.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

// The file's name.
extern const wchar_t* const kJournalFileName;  // "操作记录.csv"

struct JournalEntry {
    SYSTEMTIME localTime{};
    std::wstring operation;
    std::wstring source;
    std::wstring destination;
    std::wstring result;
    std::wstring reason;
};

// One CSV line (ended by CRLF) in UTF-8: fields holding a comma, a quote, a line break or
// a leading or trailing space are quoted, with quotes doubled.
std::string JournalLine(const JournalEntry& entry);
// The first line of a new journal: the byte order mark and the column titles.
std::string JournalHeader();
// Splits one CSV record of JournalLine's form back into its fields (UTF-16).
std::vector<std::wstring> ParseJournalLine(std::string_view line);

class Journal {
  public:
    explicit Journal(std::wstring path) : path_(std::move(path)) {}

    const std::wstring& Path() const { return path_; }
    // Appends the entry and flushes it to the disk; on failure the system's error code
    // (ERROR_SUCCESS when written). May be called from any thread.
    DWORD Append(const JournalEntry& entry);

  private:
    const std::wstring path_;
    std::mutex mutex_;
};
