#include "app/file_transfer.h"

#include <shellapi.h>

#include <cwchar>
#include <random>
#include <vector>

#include "app/exact_path.h"
#include "app/file_identity.h"
#include "app/unique_file.h"

const wchar_t* const kPartialFileSuffix = L".zemo-part";

namespace {

// The copy in pieces reads each piece into this buffer and writes it out again. Small
// enough to stay in the processor's own cache between the two, so every byte crosses the
// memory bus twice rather than four times: with pieces of 1 MB and more, a 1 GB copy took
// two to five times as long as one in 256 KB pieces whenever other work on the machine
// used the memory too. Large enough that the calls themselves cost nothing to speak of,
// and a cancel is seen within a piece even on a slow drive.
constexpr DWORD kCopyPieceBytes = 256 << 10;

TransferResult Failure(DWORD error) {
    TransferResult result;
    result.error = error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
    return result;
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

bool ReadSizeAndTime(const std::wstring& exactPath, uint64_t& size, FILETIME& lastWrite) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(exactPath.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    lastWrite = data.ftLastWriteTime;
    return true;
}

std::wstring RandomPart() {
    static thread_local std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), static_cast<unsigned>(GetTickCount64()),
                           static_cast<unsigned>(GetCurrentThreadId())};
        return std::mt19937_64(seed);
    }();
    wchar_t text[20];
    swprintf(text, 20, L"%08llx", static_cast<unsigned long long>(generator() & 0xffffffffULL));
    return text;
}

struct ProgressContext {
    const std::atomic<bool>* cancel;
    const TransferProgress* progress;
    int32_t lastPercent;
};

DWORD CALLBACK OnCopyProgress(LARGE_INTEGER total, LARGE_INTEGER transferred, LARGE_INTEGER,
                              LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID data) {
    auto* context = static_cast<ProgressContext*>(data);
    if (context->cancel->load())
        return PROGRESS_CANCEL;
    if (total.QuadPart > 0 && *context->progress) {
        const auto percent = static_cast<int32_t>(transferred.QuadPart * 100 / total.QuadPart);
        if (percent > context->lastPercent) {
            context->lastPercent = percent;
            try {
                (*context->progress)(percent);
            } catch (...) {
                // A progress report that cannot be made does not stop the copy.
            }
        }
    }
    return PROGRESS_CONTINUE;
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
    const HANDLE openedSource =
        CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (openedSource == INVALID_HANDLE_VALUE)
        return LastErrorOr(ERROR_OPEN_FAILED);
    const UniqueFile from(openedSource);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(from.Get(), &info))
        return LastErrorOr(ERROR_READ_FAULT);
    const HANDLE openedDestination =
        CreateFileW(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (openedDestination == INVALID_HANDLE_VALUE)
        return LastErrorOr(ERROR_OPEN_FAILED);
    const UniqueFile to(openedDestination);

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
    const DWORD kept = info.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (kept)
        SetFileAttributesW(destination.c_str(), kept);
    return ERROR_SUCCESS;
}

DWORD CopyToNewFile(const std::wstring& source, const std::wstring& destination,
                    ProgressContext& context) {
    if (!CopyFileExReportsProgress())
        return CopyInPieces(source, destination, context);
    if (CopyFileExW(source.c_str(), destination.c_str(), &OnCopyProgress, &context, nullptr,
                    COPY_FILE_FAIL_IF_EXISTS))
        return ERROR_SUCCESS;
    return LastErrorOr(ERROR_GEN_FAILURE);
}

// The copy itself, between exact paths: temporary name, then a rename that replaces
// nothing. Leaves nothing behind on failure.
TransferResult CopyExact(const std::wstring& source, const std::wstring& destination,
                         const std::atomic<bool>& cancel, const TransferProgress& progress) {
    if (const DWORD error = NameIsFree(destination); error != ERROR_SUCCESS)
        return Failure(error);

    ProgressContext context{&cancel, &progress, -1};
    std::wstring partial;
    BOOL copied = FALSE;
    DWORD error = ERROR_SUCCESS;
    // A random part that happens to be taken already is simply drawn again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        partial = destination + L"." + RandomPart() + kPartialFileSuffix;
        error = CopyToNewFile(source, partial, context);
        copied = error == ERROR_SUCCESS;
        if (copied || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS))
            break;
    }
    if (!copied) {
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            RemoveOwnFile(partial);  // a cancelled or failed copy may leave a piece
        return Failure(cancel.load() ? ERROR_REQUEST_ABORTED : error);
    }
    if (cancel.load()) {
        RemoveOwnFile(partial);
        return Failure(ERROR_REQUEST_ABORTED);
    }
    if (!MoveFileExW(partial.c_str(), destination.c_str(), 0)) {
        const DWORD renameError = GetLastError();
        RemoveOwnFile(partial);
        return Failure(renameError);
    }
    TransferResult result;
    result.succeeded = true;
    result.copied = true;
    ReadSizeAndTime(destination, result.size, result.lastWrite);
    if (progress && context.lastPercent < 100) {
        try {
            progress(100);
        } catch (...) {
        }
    }
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
                             const std::atomic<bool>& cancel, const TransferProgress& progress) {
    if (source.empty() || destination.empty())
        return Failure(ERROR_PATH_NOT_FOUND);
    return CopyExact(ExactPath(source), ExactPath(destination), cancel, progress);
}

TransferResult MoveWholeFile(const std::wstring& source, const std::wstring& destination,
                             const std::atomic<bool>& cancel, const TransferProgress& progress) {
    if (source.empty() || destination.empty())
        return Failure(ERROR_PATH_NOT_FOUND);
    const std::wstring from = ExactPath(source);
    const std::wstring to = ExactPath(destination);
    if (const DWORD error = NameIsFree(to); error != ERROR_SUCCESS)
        return Failure(error);

    // Only a rename: every Linux mount is a folder of one drive under Wine, so the
    // system's own "not the same device" answer is the one reliable test.
    if (MoveFileExW(from.c_str(), to.c_str(), 0)) {
        TransferResult result;
        result.succeeded = true;
        ReadSizeAndTime(to, result.size, result.lastWrite);
        return result;
    }
    const DWORD renameError = GetLastError();
    if (renameError != ERROR_NOT_SAME_DEVICE)
        return Failure(renameError);

    TransferResult result = CopyExact(from, to, cancel, progress);
    if (!result.succeeded)
        return result;
    if (!DeleteFileW(from.c_str())) {
        const DWORD deleteError = GetLastError();
        RemoveOwnFile(to);
        return Failure(deleteError);
    }
    return result;
}

namespace {

constexpr wchar_t kChangedReason[] = L"文件已被修改或替换";
constexpr wchar_t kTrimmedNameReason[] = L"无法放入回收站：文件名以点或空格结尾";

TransferResult Refusal(DWORD error, const wchar_t* reason) {
    TransferResult result = Failure(error);
    result.reason = reason;
    return result;
}

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

std::wstring SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length > 0 && buffer)
        text.assign(buffer, length);
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        text = std::to_wstring(error);
    return text;
}
