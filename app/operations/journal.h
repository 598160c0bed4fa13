// The journal of file operations: 操作记录.csv beside config.ini, one line per operation
// and per undo, each handed to the system as it ends, so nothing is lost if the process
// dies. UTF-8 with a byte order mark (so spreadsheet programs read it as UTF-8); columns
// time (local, ISO 8601), operation, source path, destination path, result, reason.
#pragma once

#include <windows.h>

#include <deque>
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

// What became of one line.
struct JournalWrite {
    DWORD error = ERROR_SUCCESS;  // the journal's, as the system gave it
    bool warn = false;            // the first refusal since the journal last took a line
};

class Journal {
  public:
    // Lines the journal refuses are kept in memory up to this many.
    static constexpr size_t kKeptLineLimit = 10000;

    explicit Journal(std::wstring path, size_t keptLineLimit = kKeptLineLimit)
        : path_(std::move(path)), keptLineLimit_(keptLineLimit) {}

    const std::wstring& Path() const { return path_; }
    // Appends the entry and hands it to the system. A line the journal refuses (another
    // program holds it) goes at once to a side file beside it, 操作记录-<yyyyMMdd-HHmmss>.csv
    // (the local time of the first refusal), and is kept in memory; the next line the
    // journal takes follows the kept ones, and the side file is then deleted. May be called
    // from any thread.
    JournalWrite Append(const JournalEntry& entry);

  private:
    // The kept lines, then `line`; the journal's error.
    DWORD Write(const std::string& line);
    void Keep(const std::string& line);

    const std::wstring path_;
    const size_t keptLineLimit_;
    std::mutex mutex_;
    std::deque<std::string> kept_;  // refused lines, oldest first
    std::wstring sideFile_;         // named at the first refusal; empty while none is needed
    bool sideFileOnly_ = false;     // a refused line is in the side file, not in memory
    bool refusing_ = false;         // the last line was refused
};
