#include "app/operations/file_transfer.h"

#include <shellapi.h>

#include <cwchar>
#include <mutex>
#include <vector>

#include "app/base/exact_path.h"
#include "app/operations/file_comparison.h"
#include "app/operations/file_identity.h"
#include "app/operations/free_name.h"
#include "app/base/unique_file.h"
#include "runtime/guard.h"

const wchar_t* const kPartialFileSuffix = L".zemo-part";
const wchar_t* const kSameFileReason = L"目标文件夹已有相同的文件";
const wchar_t* const kDifferentFileReason = L"目标文件夹已有同名的不同文件";
const wchar_t* const kNoFreeNameReason = L"目标文件夹中没有可用的名称";

namespace {

// The copy in pieces reads each piece into this buffer and writes it out again. Small
// enough to stay in the processor's own cache between the two, so every byte crosses the
// memory bus twice rather than four times: with pieces of 1 MB and more, a 1 GB copy took
// two to five times as long as one in 256 KB pieces whenever other work on the machine
// used the memory too. Large enough that the calls themselves cost nothing to speak of,
// and a cancel is seen within a piece even on a slow drive.
constexpr DWORD kCopyPieceBytes = 256 << 10;

// Temporary names are ".~zemo-", the writing process's id in 8 hex digits, then the suffix.
constexpr std::wstring_view kPartialPrefix = L".~zemo-";
constexpr size_t kIdDigits = 8;
// What an older version named them: "<final name>.<8 hex digits><suffix>".
constexpr size_t kOldRandomDigits = 8;

// FileDispositionInfoEx and its flags, which the headers for Windows 7 leave out.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
struct DispositionInfoEx {
    DWORD flags;
};
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;

TransferResult Failure(DWORD error) {
    TransferResult result;
    result.error = error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
    return result;
}

TransferResult Refusal(DWORD error, const wchar_t* reason) {
    TransferResult result = Failure(error);
    result.reason = reason;
    return result;
}

TransferResult Succeeded() {
    TransferResult result;
    result.succeeded = true;
    return result;
}

// What the system answers a new name, or a rename to one, that is taken.
bool IsTaken(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// The name a copy or move puts its file under: the destination asked for (number 1), or, when
// both files are kept, one of its numbered names.
struct Placement {
    const std::wstring& destination;  // exact
    NameClash clash;
    int32_t number = 1;

    std::wstring Path() const { return NumberedPath(destination, number); }
    // Goes on to the next numbered name; false when both are not kept or none is left.
    bool TryNext() {
        if (clash != NameClash::kKeepBoth || number >= kLastNameNumber)
            return false;
        ++number;
        return true;
    }
    // The failure of a name that was taken, or of another error the system gave.
    TransferResult Refused(DWORD error) const {
        const bool exhausted = clash == NameClash::kKeepBoth && IsTaken(error);
        return exhausted ? Refusal(error, kNoFreeNameReason) : Failure(error);
    }
};

TransferFileCalls& SystemCalls() {
    static TransferFileCalls calls;
    return calls;
}

// ERROR_SUCCESS when nothing is found under the name; ERROR_FILE_EXISTS when something
// is; another error (such as a missing folder) when the name cannot be looked up.
DWORD NameIsFree(const std::wstring& exactPath) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(exactPath.c_str(), GetFileExInfoStandard, &data))
        return ERROR_FILE_EXISTS;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

// Deletes a file this program wrote, also when the copy carried over a read-only flag.
void RemoveOwnFile(const std::wstring& exactPath) {
    SetFileAttributesW(exactPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(exactPath.c_str());
}

// Deletes a file through a handle opened with DELETE and both attribute rights. A read-only flag
// forbids the delete: it is cleared just before, and put back when the delete fails.
DWORD DeleteOpenFile(HANDLE file, TransferFileCalls& calls) {
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic))
        return LastErrorOr(ERROR_ACCESS_DENIED);
    const DWORD attributes = basic.FileAttributes;
    const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
    if (readOnly && !calls.SetAttributes(file, attributes & ~FILE_ATTRIBUTE_READONLY))
        return LastErrorOr(ERROR_ACCESS_DENIED);
    if (calls.Delete(file))
        return ERROR_SUCCESS;
    const DWORD error = LastErrorOr(ERROR_ACCESS_DENIED);
    if (readOnly)
        calls.SetAttributes(file, attributes);
    return error;
}

// Deletes a file no program has open: through a handle that shares nothing, which cannot be had
// while any other handle to it is open.
void RemoveUnusedFile(const std::wstring& exactPath) {
    const UniqueFile file = OwnedFile(
        CreateFileW(exactPath.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file)
        DeleteOpenFile(file.Get(), SystemCalls());
}

bool ReadSizeAndTime(const std::wstring& exactPath, uint64_t& size, FILETIME& lastWrite) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(exactPath.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    lastWrite = data.ftLastWriteTime;
    return true;
}

// The folder part of an exact path, with its closing separator.
std::wstring FolderOf(const std::wstring& exactPath) {
    return exactPath.substr(0, exactPath.find_last_of(L'\\') + 1);
}

std::wstring Hex(DWORD value) {
    wchar_t digits[kIdDigits + 1];
    swprintf(digits, kIdDigits + 1, L"%08lx", static_cast<unsigned long>(value));
    return digits;
}

// The one temporary name this process writes copies into `folder` under. Short and of one length,
// so any name that fits in the folder can be copied; the id tells a later run whether the writer
// still runs. The worker copies one file at a time, so one is enough.
std::wstring PartialPathIn(const std::wstring& folder) {
    return folder + std::wstring(kPartialPrefix) + Hex(GetCurrentProcessId()) + kPartialFileSuffix;
}

bool AllHex(std::wstring_view digits) {
    for (const wchar_t c : digits)
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F')))
            return false;
    return true;
}

// The id of the process writing a temporary name of the current form; false for other names.
bool WriterOf(std::wstring_view name, DWORD& id) {
    const std::wstring_view suffix(kPartialFileSuffix);
    if (name.size() != kPartialPrefix.size() + kIdDigits + suffix.size() ||
        name.substr(0, kPartialPrefix.size()) != kPartialPrefix || !IsPartialFileName(name))
        return false;
    const std::wstring digits(name.substr(kPartialPrefix.size(), kIdDigits));
    if (!AllHex(digits))
        return false;
    id = static_cast<DWORD>(wcstoul(digits.c_str(), nullptr, 16));
    return true;
}

bool IsOldPartialName(std::wstring_view name) {
    const size_t suffix = std::wstring_view(kPartialFileSuffix).size();
    if (name.size() <= 1 + kOldRandomDigits + suffix || !IsPartialFileName(name))
        return false;
    const size_t dot = name.size() - suffix - kOldRandomDigits - 1;
    return name[dot] == L'.' && AllHex(name.substr(dot + 1, kOldRandomDigits));
}

// A process that cannot be looked at (another user's, say) counts as running.
bool ProcessRuns(DWORD id) {
    const HANDLE opened = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!opened)
        return GetLastError() != ERROR_INVALID_PARAMETER;  // no process has that id
    const UniqueKernelHandle process(opened);
    DWORD code = 0;
    return !GetExitCodeProcess(process.Get(), &code) || code == STILL_ACTIVE;
}

// Whether a temporary file is left over from a copy that no longer runs. This process's own counts:
// its worker clears a folder only before an operation, never while it copies.
bool IsLeftover(std::wstring_view name) {
    DWORD writer = 0;
    if (WriterOf(name, writer))
        return writer == GetCurrentProcessId() || !ProcessRuns(writer);
    return IsOldPartialName(name);
}

struct ProgressContext {
    const std::atomic<bool>* cancel;
    const TransferProgress* progress;
    TransferFileCalls* calls;
    // A move flushes its copy to the disk before the source is deleted.
    bool flush = false;
    DWORD flushError = ERROR_SUCCESS;
    int32_t lastPercent = -1;
    // The file the copy reads, as it was when the copy opened it.
    FileIdentity source;
    bool sourceKnown = false;
};

// Flushes the copy through `written`, a handle of the copy open for writing, before it may be made
// read-only (a read-only file can no longer be opened for writing).
void FlushCopy(HANDLE written, ProgressContext& context) {
    if (context.flush && context.flushError == ERROR_SUCCESS && !context.calls->Flush(written))
        context.flushError = LastErrorOr(ERROR_WRITE_FAULT);
}

DWORD CALLBACK OnCopyProgress(LARGE_INTEGER total, LARGE_INTEGER transferred,
                              LARGE_INTEGER streamSize, LARGE_INTEGER streamTransferred, DWORD,
                              DWORD, HANDLE sourceFile, HANDLE destinationFile,
                              LPVOID data) noexcept {
    return RunGuarded([&]() -> DWORD {
        auto* context = static_cast<ProgressContext*>(data);
        // CopyFileExW's own handles: the source as the copy reads it, and the copy, still writable,
        // at the end of each of its streams (a download's zone stream comes last).
        if (sourceFile && !context->sourceKnown)
            context->sourceKnown = ReadFileIdentity(sourceFile, context->source);
        if (destinationFile && streamTransferred.QuadPart == streamSize.QuadPart)
            FlushCopy(destinationFile, *context);
        if (context->cancel->load() || context->flushError != ERROR_SUCCESS)
            return PROGRESS_CANCEL;
        if (total.QuadPart > 0 && *context->progress) {
            const auto percent = static_cast<int32_t>(transferred.QuadPart * 100 / total.QuadPart);
            if (percent > context->lastPercent) {
                context->lastPercent = percent;
                (*context->progress)(percent);
            }
        }
        return PROGRESS_CONTINUE;
    });
}

// Whether CopyFileExW calls its progress routine while it copies. Wine 8 never calls it
// (so a copy there could be neither followed nor cancelled) and is told by its own
// export; Windows always does.
bool CopyFileExReportsProgress() {
    static const bool reports =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
    return reports;
}

// The bytes, attributes and last-write time of `source` into the new file `destination`,
// in pieces, reporting progress and stopping when cancelled; as CopyFileExW with
// COPY_FILE_FAIL_IF_EXISTS does where the platform reports its progress.
DWORD CopyInPieces(const std::wstring& source, const std::wstring& destination,
                   ProgressContext& context) {
    const UniqueFile from =
        OwnedFile(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!from)
        return LastErrorOr(ERROR_OPEN_FAILED);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(from.Get(), &info))
        return LastErrorOr(ERROR_READ_FAULT);
    context.sourceKnown = ReadFileIdentity(from.Get(), context.source);
    const UniqueFile to =
        OwnedFile(CreateFileW(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!to)
        return LastErrorOr(ERROR_OPEN_FAILED);

    LARGE_INTEGER total;
    total.QuadPart = (static_cast<LONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    LARGE_INTEGER done{};
    std::vector<char> buffer(kCopyPieceBytes);
    for (;;) {
        if (OnCopyProgress(total, done, {}, {}, 0, 0, nullptr, nullptr, &context) !=
            PROGRESS_CONTINUE)
            return ERROR_REQUEST_ABORTED;
        DWORD read = 0;
        if (!ReadFile(from.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return LastErrorOr(ERROR_READ_FAULT);
        if (read == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(to.Get(), buffer.data(), read, &written, nullptr) || written != read)
            return LastErrorOr(ERROR_DISK_FULL);
        done.QuadPart += read;
    }
    if (!SetFileTime(to.Get(), nullptr, nullptr, &info.ftLastWriteTime))
        return LastErrorOr(ERROR_WRITE_FAULT);
    FlushCopy(to.Get(), context);
    if (context.flushError != ERROR_SUCCESS)
        return context.flushError;
    const DWORD kept = info.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (kept)
        context.calls->SetAttributes(to.Get(), kept);
    return ERROR_SUCCESS;
}

DWORD CopyToNewFile(const std::wstring& source, const std::wstring& destination,
                    ProgressContext& context) {
    if (!CopyFileExReportsProgress())
        return CopyInPieces(source, destination, context);
    if (CopyFileExW(source.c_str(), destination.c_str(), &OnCopyProgress, &context, nullptr,
                    COPY_FILE_FAIL_IF_EXISTS))
        return ERROR_SUCCESS;
    if (context.flushError != ERROR_SUCCESS)
        return context.flushError;
    return LastErrorOr(ERROR_GEN_FAILURE);
}

// Copies `source` whole to this process's temporary name beside `destination`, which it names in
// `partial`. Leaves nothing behind on failure.
DWORD CopyToPartial(const std::wstring& source, const std::wstring& destination,
                    ProgressContext& context, std::wstring& partial) {
    partial = PartialPathIn(FolderOf(destination));
    DWORD error = CopyToNewFile(source, partial, context);
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
        // Left by an earlier copy of this process that could not remove it then.
        RemoveUnusedFile(partial);
        error = CopyToNewFile(source, partial, context);
    }
    if (error == ERROR_SUCCESS && context.cancel->load())
        error = ERROR_REQUEST_ABORTED;
    if (error != ERROR_SUCCESS && error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
        RemoveOwnFile(partial);  // a cancelled or failed copy may leave a piece
    return error != ERROR_SUCCESS && context.cancel->load() ? ERROR_REQUEST_ABORTED : error;
}

// The first name of `place`, from its current number on, that nothing has. A taken name is
// compared with `source`: FindFreeNumber decides on what was found.
TransferResult ChooseFreeName(const std::wstring& source, Placement& place,
                              const std::atomic<bool>& cancel, const TransferProgress& progress) {
    return FindFreeNumber(place.number, place.clash, [&](int32_t number) {
        const std::wstring candidate = NumberedPath(place.destination, number);
        const DWORD error = NameIsFree(candidate);
        if (error != ERROR_FILE_EXISTS)
            return NameLook{error};
        const FileComparison compared = CompareFileContents(source, candidate, cancel, progress);
        if (compared.error != ERROR_SUCCESS)
            return NameLook{compared.error};
        return NameLook{ERROR_FILE_EXISTS, compared.same};
    });
}

// Renames the complete copy to the name of `place`, replacing nothing. When that name has been
// taken meanwhile, the next one when both are kept; otherwise the copy is removed.
TransferResult RenameIntoPlace(const std::wstring& partial, Placement& place) {
    for (;;) {
        if (MoveFileExW(partial.c_str(), place.Path().c_str(), 0))
            return Succeeded();
        const DWORD error = GetLastError();
        if (!IsTaken(error) || !place.TryNext()) {
            RemoveOwnFile(partial);
            return place.Refused(error);
        }
    }
}

// The result of a copy or move that put its file under `destination`.
TransferResult Arrived(const std::wstring& destination, const ProgressContext& context) {
    TransferResult result;
    result.succeeded = true;
    result.copied = true;
    ReadSizeAndTime(destination, result.size, result.lastWrite);
    if (*context.progress && context.lastPercent < 100)
        (*context.progress)(100);
    return result;
}

// The copy itself, between exact paths: temporary name, then a rename that replaces
// nothing. Leaves nothing behind on failure.
TransferResult CopyExact(const std::wstring& source, Placement& place,
                         const std::atomic<bool>& cancel, const TransferProgress& progress) {
    if (TransferResult chosen = ChooseFreeName(source, place, cancel, progress); !chosen.succeeded)
        return chosen;
    ProgressContext context{&cancel, &progress, &SystemCalls()};
    std::wstring partial;
    if (const DWORD error = CopyToPartial(source, place.destination, context, partial))
        return Failure(error);
    if (TransferResult renamed = RenameIntoPlace(partial, place); !renamed.succeeded)
        return renamed;
    return Arrived(place.Path(), context);
}

// Opens the moved source to delete it, sharing it only for reading, so that no program can write it
// or take its name until it is gone. Fails, with the program's own reason, when it is no longer the
// file the copy read as it was then: another program may have saved a new version under its name
// meanwhile.
TransferResult OpenUnchangedSource(const std::wstring& source, const ProgressContext& context,
                                   UniqueFile& held) {
    held = OwnedFile(
        CreateFileW(source.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!held)
        return Failure(LastErrorOr(ERROR_OPEN_FAILED));
    FileIdentity now;
    if (context.sourceKnown && ReadFileIdentity(held.Get(), now) &&
        now.SameFileUnchanged(context.source)) {
        TransferResult result;
        result.succeeded = true;
        return result;
    }
    TransferResult changed = Failure(ERROR_FILE_INVALID);
    changed.reason = L"源文件在移动过程中被修改";
    return changed;
}

// A move between volumes: a whole copy, flushed, then the source deleted while it is still the file
// copied; the file is always in exactly one place.
TransferResult MoveAcrossVolumes(const std::wstring& from, Placement& place,
                                 const std::atomic<bool>& cancel, const TransferProgress& progress,
                                 TransferFileCalls& calls) {
    ProgressContext context{&cancel, &progress, &calls, true};
    std::wstring partial;
    if (const DWORD error = CopyToPartial(from, place.destination, context, partial))
        return Failure(error);
    UniqueFile held;
    const TransferResult opened = OpenUnchangedSource(from, context, held);
    if (!opened.succeeded) {
        RemoveOwnFile(partial);
        return opened;
    }
    if (TransferResult renamed = RenameIntoPlace(partial, place); !renamed.succeeded)
        return renamed;
    const std::wstring to = place.Path();
    if (const DWORD error = DeleteOpenFile(held.Get(), calls)) {
        RemoveOwnFile(to);
        return Failure(error);
    }
    held.Reset();  // without POSIX semantics, the source goes as its handle closes
    return Arrived(to, context);
}

// A move between exact paths: a rename where both are on one volume, else MoveAcrossVolumes.
TransferResult MoveExact(const std::wstring& from, Placement& place,
                         const std::atomic<bool>& cancel, const TransferProgress& progress,
                         TransferFileCalls& calls) {
    if (TransferResult chosen = ChooseFreeName(from, place, cancel, progress); !chosen.succeeded)
        return chosen;
    for (;;) {
        // Only a rename: every Linux mount is a folder of one drive under Wine, so the
        // system's own "not the same device" answer is the one reliable test.
        const std::wstring to = place.Path();
        if (MoveFileExW(from.c_str(), to.c_str(), 0)) {
            TransferResult result = Succeeded();
            ReadSizeAndTime(to, result.size, result.lastWrite);
            return result;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_NOT_SAME_DEVICE)
            return MoveAcrossVolumes(from, place, cancel, progress, calls);
        if (!IsTaken(error) || !place.TryNext())
            return place.Refused(error);
    }
}

// The result of a copy or move to `destination` as the caller spelled it, with the name the
// file took when both were kept.
TransferResult PlacedAt(TransferResult result, const std::wstring& destination,
                        const Placement& place) {
    if (result.succeeded && place.number > 1)
        result.keptAs = NumberedPath(destination, place.number);
    return result;
}

}  // namespace

bool IsPartialFileName(std::wstring_view name) {
    const std::wstring_view suffix(kPartialFileSuffix);
    return name.size() >= suffix.size() &&
           CompareStringOrdinal(name.data() + name.size() - suffix.size(),
                                static_cast<int>(suffix.size()), suffix.data(),
                                static_cast<int>(suffix.size()), TRUE) == CSTR_EQUAL;
}

TransferResult CopyWholeFile(const std::wstring& source, const std::wstring& destination,
                             const std::atomic<bool>& cancel, const TransferProgress& progress,
                             NameClash clash) {
    if (source.empty() || destination.empty())
        return Failure(ERROR_PATH_NOT_FOUND);
    const std::wstring to = ExactPath(destination);
    Placement place{to, clash};
    return PlacedAt(CopyExact(ExactPath(source), place, cancel, progress), destination, place);
}

bool TransferFileCalls::Flush(HANDLE file) {
    return FlushFileBuffers(file) != FALSE;
}

bool TransferFileCalls::SetAttributes(HANDLE file, DWORD attributes) {
    FILE_BASIC_INFO basic{};  // times of zero stay as they are
    // Attributes of zero would change nothing either.
    basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

bool TransferFileCalls::Delete(HANDLE file) {
    // POSIX semantics take the name away at once, even while another program (a preview) has the
    // file open; Wine 8 refuses them (error 87) and deletes as the handle closes.
    DispositionInfoEx posix{kDispositionDelete | kDispositionPosixSemantics};
    if (SetFileInformationByHandle(file, kFileDispositionInfoEx, &posix, sizeof posix))
        return true;
    FILE_DISPOSITION_INFO plain{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &plain, sizeof plain) != FALSE;
}

TransferResult MoveWholeFile(const std::wstring& source, const std::wstring& destination,
                             const std::atomic<bool>& cancel, const TransferProgress& progress,
                             NameClash clash) {
    return MoveWholeFile(source, destination, cancel, progress, SystemCalls(), clash);
}

TransferResult MoveWholeFile(const std::wstring& source, const std::wstring& destination,
                             const std::atomic<bool>& cancel, const TransferProgress& progress,
                             TransferFileCalls& calls, NameClash clash) {
    if (source.empty() || destination.empty())
        return Failure(ERROR_PATH_NOT_FOUND);
    const std::wstring to = ExactPath(destination);
    Placement place{to, clash};
    return PlacedAt(MoveExact(ExactPath(source), place, cancel, progress, calls), destination,
                    place);
}

void RemoveLeftoverPartialFiles(const std::wstring& folder) {
    std::wstring exact = ExactPath(folder);
    if (exact.empty() || exact.back() != L'\\')
        exact.push_back(L'\\');
    WIN32_FIND_DATAW found;
    const HANDLE first =
        FindFirstFileExW((exact + L"*" + kPartialFileSuffix).c_str(), FindExInfoBasic, &found,
                         FindExSearchNameMatch, nullptr, 0);
    if (first == INVALID_HANDLE_VALUE)
        return;
    const UniqueFind search(first);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsLeftover(found.cFileName))
            RemoveUnusedFile(exact + found.cFileName);
    } while (FindNextFileW(search.Get(), &found));
}

void RemoveLeftoversBeside(const std::wstring& destination) {
    if (destination.empty())
        return;
    static std::mutex mutex;
    static std::vector<std::wstring> cleared;
    const std::wstring folder = FolderOf(ExactPath(destination));
    {
        const std::lock_guard<std::mutex> lock(mutex);
        for (const std::wstring& done : cleared)
            if (CompareStringOrdinal(done.c_str(), static_cast<int>(done.size()), folder.c_str(),
                                     static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL)
                return;
        cleared.push_back(folder);
    }
    RemoveLeftoverPartialFiles(folder);
}

namespace {

constexpr wchar_t kChangedReason[] = L"文件已被修改或替换";
constexpr wchar_t kTrimmedNameReason[] = L"无法放入回收站：文件名以点或空格结尾";

// Succeeds, with the file's identity, while the file at `exactPath` has exactly this size
// and last-write time.
TransferResult CheckUnchanged(const std::wstring& exactPath, uint64_t size,
                              const FILETIME& lastWrite, FileIdentity& identity) {
    if (!ReadFileIdentity(exactPath, identity))
        return Failure(LastErrorOr(ERROR_FILE_NOT_FOUND));
    if (identity.size != size || CompareFileTime(&identity.lastWrite, &lastWrite) != 0)
        return Refusal(ERROR_FILE_INVALID, kChangedReason);
    TransferResult result;
    result.succeeded = true;
    return result;
}

// The path without its "\\?\" form, as the shell takes it. The system then reads it its
// own way: it drops a last dot or blank, and "nul.txt" is a device.
std::wstring PlainPath(const std::wstring& exactPath) {
    if (exactPath.starts_with(L"\\\\?\\UNC\\"))
        return L"\\\\" + exactPath.substr(8);
    return exactPath.starts_with(L"\\\\?\\") ? exactPath.substr(4) : exactPath;
}

}  // namespace

TransferResult MoveBackUnchangedFile(const std::wstring& moved, const std::wstring& original,
                                     uint64_t size, const FILETIME& lastWrite,
                                     const std::atomic<bool>& cancel,
                                     const TransferProgress& progress) {
    if (moved.empty() || original.empty())
        return Failure(ERROR_PATH_NOT_FOUND);
    FileIdentity identity;
    const TransferResult check = CheckUnchanged(ExactPath(moved), size, lastWrite, identity);
    return check.succeeded ? MoveWholeFile(moved, original, cancel, progress) : check;
}

TransferResult RecycleUnchangedFile(const std::wstring& path, uint64_t size,
                                    const FILETIME& lastWrite) {
    // The shell would drop the dot or blank and recycle another file; renaming first would
    // make the Recycle Bin give the copy back under another name.
    if (!path.empty() && (path.back() == L'.' || path.back() == L' '))
        return Refusal(ERROR_INVALID_NAME, kTrimmedNameReason);
    const std::wstring exact = ExactPath(path);
    FileIdentity copy;
    if (TransferResult check = CheckUnchanged(exact, size, lastWrite, copy); !check.succeeded)
        return check;

    // The shell takes a list of paths ended by an empty one, and no `\\?\` form. Whatever
    // else makes the plain path name another file (or none), it must not reach the shell.
    std::wstring from = PlainPath(exact);
    FileIdentity plain;
    if (!ReadFileIdentity(from, plain) || !plain.SameFile(copy))
        return Refusal(ERROR_FILE_INVALID, kChangedReason);
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    const int error = SHFileOperationW(&operation);
    if (error != 0 || operation.fAnyOperationsAborted)
        return Failure(error != 0 ? static_cast<DWORD>(error) : ERROR_CANCELLED);
    if (NameIsFree(exact) != ERROR_SUCCESS)
        return Failure(ERROR_ACCESS_DENIED);
    TransferResult result;
    result.succeeded = true;
    return result;
}
