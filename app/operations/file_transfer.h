// One copy or move of one file, as the worker thread carries it out. A file appears under
// its final name only complete: a copy is written under a temporary name in the target
// folder and renamed when it is whole, and nothing is ever replaced.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// Ending of the temporary names copies are written under; the file list never lists them.
extern const wchar_t* const kPartialFileSuffix;  // ".zemo-part"

// True when a file name (or path) ends in kPartialFileSuffix, in any case.
bool IsPartialFileName(std::wstring_view name);

// Receives the share of the file copied so far, 0 to 100, each time it grows.
using TransferProgress = std::function<void(int32_t percent)>;

struct TransferResult {
    bool succeeded = false;
    DWORD error = ERROR_SUCCESS;  // the system's error code of a failure
    // The program's own words for a failure the system has no text for (a source changed
    // while it was moved, an undo refused); empty: the system's text for `error` is shown.
    std::wstring reason;
    bool copied = false;          // the bytes went through a copy (not a rename)
    // The path the file went to when both were kept and it took another name than the one
    // asked for; empty otherwise.
    std::wstring keptAs;
    // Of the file under its final name after a copy or move that succeeded.
    uint64_t size = 0;
    FILETIME lastWrite{};
};

// What a copy or move does when the destination's name is taken. It never replaces: it
// compares the two files first and fails with the reason kSameFileReason or
// kDifferentFileReason; with kKeepBoth, a different file goes under the first free name
// of NumberedName (app/operations/free_name.h) instead, taken by a rename that never
// replaces, so a name another program takes meanwhile makes it try the next. A numbered
// name that already holds the same file fails as the name itself would.
enum class NameClash { kFail, kKeepBoth };

extern const wchar_t* const kSameFileReason;       // "目标文件夹已有相同的文件"
extern const wchar_t* const kDifferentFileReason;  // "目标文件夹已有同名的不同文件"
extern const wchar_t* const kNoFreeNameReason;     // "目标文件夹中没有可用的名称"

// Copies `source` to `destination` (full paths) through a temporary name beside the
// destination. A taken name is handled as `clash` says before any byte is written; stops,
// leaving nothing behind, as soon as `cancel` is set, also while comparing.
TransferResult CopyWholeFile(const std::wstring& source, const std::wstring& destination,
                             const std::atomic<bool>& cancel, const TransferProgress& progress,
                             NameClash clash = NameClash::kFail);

// The calls a move across volumes makes on its copy and its source, whose order keeps the
// file safe. The system's own; a test stands in to see the order or refuse a call.
class TransferFileCalls {
  public:
    virtual ~TransferFileCalls() = default;
    // FlushFileBuffers of a file open for writing.
    virtual bool Flush(HANDLE file);
    // The attributes of an open file (FileBasicInfo), its times left as they are.
    virtual bool SetAttributes(HANDLE file, DWORD attributes);
    // Deletes an open file: at once where the system takes POSIX semantics, else when its
    // last handle is closed.
    virtual bool Delete(HANDLE file);
};

// Moves `source` to `destination`, never replacing a file. A rename when both are on one
// volume; otherwise a whole copy, flushed to the disk, followed by deleting the source, but
// only while it is still the file the copy read, unchanged (else the move fails with the
// program's own reason). When the source cannot be deleted the copy is removed again, so
// the file is always in exactly one place.
// A taken name is handled as CopyWholeFile does.
TransferResult MoveWholeFile(const std::wstring& source, const std::wstring& destination,
                             const std::atomic<bool>& cancel, const TransferProgress& progress,
                             NameClash clash = NameClash::kFail);
TransferResult MoveWholeFile(const std::wstring& source, const std::wstring& destination,
                             const std::atomic<bool>& cancel, const TransferProgress& progress,
                             TransferFileCalls& calls, NameClash clash = NameClash::kFail);

// Removes from `folder` the temporary files copies killed mid-way left there, never one a
// running program still writes: a current-form name only when no process with its id runs
// or the id is this process's own (call it only when this process copies nothing there),
// an older-form name only when no program has it open.
void RemoveLeftoverPartialFiles(const std::wstring& folder);
// RemoveLeftoverPartialFiles for the folder of `destination`, the first time this process
// is about to write there.
void RemoveLeftoversBeside(const std::wstring& destination);

// Moves the file at `moved` back to `original` as MoveWholeFile does, but only while it
// still has exactly this size and last-write time; otherwise fails, changing nothing.
TransferResult MoveBackUnchangedFile(const std::wstring& moved, const std::wstring& original,
                                     uint64_t size, const FILETIME& lastWrite,
                                     const std::atomic<bool>& cancel,
                                     const TransferProgress& progress);

// Sends `path` to the Recycle Bin, but only while it still has exactly this size and
// last-write time, and only when the shell's plain form of the path names that same
// file (never for a name ending in a dot or a blank); otherwise fails, changing nothing.
TransferResult RecycleUnchangedFile(const std::wstring& path, uint64_t size,
                                    const FILETIME& lastWrite);
