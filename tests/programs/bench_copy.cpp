// Measures a copy of a 1 GB file through zemo.exe against a plain CopyFileW of the same
// file, in one run, and how long the program's window took at worst to answer a message
// during its copy. The contenders:
//   CopyFileW - a plain CopyFileW from this process;
//   zemo.exe  - the real program, from the key press until its row shows "复制成功", while
//               this process sends its main window WM_NULL every few milliseconds, times each
//               answer, and watches the target folder for the temporary and the final name;
//   routine   - the program's own copy routine called in this process, without the window
//               and the queue.
// Every timed copy meets the same state of the machine:
//   - the source holds real bytes, written to the disk and read once before the first copy,
//     so every copy reads it from the system's cache;
//   - the copy before it has been written to the disk, deleted and the deletion committed,
//     outside the timed part, just before it starts: no copy pays for the write-back of an
//     earlier one, and none waits in between. Memory that a virtual machine's system leaves
//     free for a few seconds goes back to the host, and a copy that has to take it back
//     costs several times as much: so zemo.exe is started, reads its folder and has its row
//     selected before the copy ahead of it is cleared away, never in between;
//   - a first round is not counted: it pays for the system's first use of the memory;
//   - the contenders take turns, in an order that rotates from round to round.
// Usage: bench_copy.exe <zemo.exe> [rounds]
// Prints each round, the best and the median of each contender in milliseconds, the
// throughput of zemo.exe as a ratio to CopyFileW, where the time through zemo.exe went, and
// the worst answer time of the window.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/operations/file_transfer.h"
#include "tests/support/bench_timing.h"
#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr uint64_t kFileSize = 1ULL << 30;
constexpr DWORD kPieceSize = 4 << 20;
// How often the window is asked to answer during a copy through zemo.exe.
constexpr DWORD kProbeMs = 20;
const wchar_t* const kFileName = L"big.bin";

// Writes what the system still holds of a file or folder to the disk; for a folder, the
// record of the names removed from it.
void Flush(const std::wstring& path, bool folder) {
    const HANDLE handle = CreateFileW(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, folder ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(handle);
        CloseHandle(handle);
    }
}

// The source: bytes that do not repeat (as a video's), on the disk and in the cache.
bool CreateSource(const std::wstring& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<uint32_t> piece(kPieceSize / sizeof(uint32_t));
    uint32_t state = 0x2545F491u;
    bool written = true;
    for (uint64_t done = 0; written && done < kFileSize; done += kPieceSize) {
        for (uint32_t& word : piece) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            word = state;
        }
        DWORD count = 0;
        written = WriteFile(file, piece.data(), kPieceSize, &count, nullptr) && count == kPieceSize;
    }
    written = written && FlushFileBuffers(file);
    CloseHandle(file);
    if (!written)
        return false;
    const HANDLE reread = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    DWORD count = 0;
    while (ReadFile(reread, piece.data(), kPieceSize, &count, nullptr) && count > 0) {
    }
    CloseHandle(reread);
    return true;
}

// Clears the previous copy away: its pages go to the disk, then it is deleted and the
// deletion committed.
void Discard(const std::wstring& folder) {
    const std::wstring path = folder + L"\\" + kFileName;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    Flush(path, false);
    DeleteFileW(path.c_str());
    Flush(folder, true);
}

// Where the time of a copy through zemo.exe went, as seen from outside.
struct ZemoPhases {
    double toWorker = 0;  // key press until the temporary file appears
    double copying = 0;   // until the final name appears
    double toRow = 0;     // until the row shows the result
};

// Which of the copy's names the target folder holds.
void LookInFolder(const std::wstring& folder, bool& partial, bool& final) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsPartialFileName(found.cFileName))
            partial = true;
        else if (lstrcmpiW(found.cFileName, kFileName) == 0)
            final = true;
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

class Bench {
  public:
    Bench(std::wstring zemoSourceFolder) : sourceFolder_(std::move(zemoSourceFolder)) {}

    const std::wstring& Source() const { return source_; }
    bool CreateSourceFile() {
        source_ = sourceFolder_ + L"\\" + kFileName;
        return CreateSource(source_);
    }

    // Starts zemo.exe with a rule copying to the target on C, its folder read and the
    // file's row selected, ready for the key press.
    bool PrepareZemo() {
        app_ = std::make_unique<ZemoApp>(
            RuleConfig({KeyNameOf('C') + L"=复制文件|" + target_.Path()}));
        return app_->Start() && app_->LoadDirectory(sourceFolder_, 1) && app_->ClickFileRow(0) &&
               app_->Process().WaitForIdle();
    }

    double PlainCopy() {
        Discard(target_.Path());
        const LARGE_INTEGER start = Now();
        const BOOL copied = CopyFileW(source_.c_str(), Destination().c_str(), TRUE);
        const double ms = Milliseconds(start, Now());
        return copied ? ms : -1;
    }

    double RoutineCopy() {
        Discard(target_.Path());
        const std::atomic<bool> cancel{false};
        const LARGE_INTEGER start = Now();
        const bool copied = CopyWholeFile(source_, Destination(), cancel, nullptr).succeeded;
        const double ms = Milliseconds(start, Now());
        return copied ? ms : -1;
    }

    // From the key press until the row shows the result; then zemo.exe is closed. The
    // target folder is watched through the system's change notification, and the window is
    // asked to answer every few milliseconds: watching costs the program next to nothing.
    double ZemoCopy(ZemoPhases& phases) {
        if (!app_)
            return -1;
        Discard(target_.Path());
        const HANDLE change = FindFirstChangeNotificationW(target_.Path().c_str(), FALSE,
                                                           FILE_NOTIFY_CHANGE_FILE_NAME);
        if (change == INVALID_HANDLE_VALUE)
            return -1;
        const LARGE_INTEGER start = Now();
        PressKeys({'C'});
        double partialSeen = -1;
        double finalSeen = -1;
        std::wstring result;
        while ((result = app_->FileList().Text(0, 3)) != L"复制成功") {
            if (result == L"复制失败" || !app_->Process().Running()) {
                FindCloseChangeNotification(change);
                return -1;
            }
            // Once the file is under its final name, only the row is left to wait for.
            const DWORD waitMs = finalSeen < 0 ? kProbeMs : 1;
            if (WaitForSingleObject(change, waitMs) == WAIT_OBJECT_0) {
                bool partial = false;
                bool final = false;
                LookInFolder(target_.Path(), partial, final);
                const double seen = Milliseconds(start, Now());
                if ((partial || final) && partialSeen < 0)
                    partialSeen = seen;
                if (final && finalSeen < 0)
                    finalSeen = seen;
                FindNextChangeNotification(change);
            }
            const LARGE_INTEGER sent = Now();
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(app_->MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
            worstAnswerMs_ = std::max(worstAnswerMs_, Milliseconds(sent, Now()));
        }
        const double ms = Milliseconds(start, Now());
        FindCloseChangeNotification(change);
        finalSeen = finalSeen < 0 ? ms : finalSeen;
        partialSeen = partialSeen < 0 ? finalSeen : partialSeen;
        phases = {partialSeen, finalSeen - partialSeen, ms - finalSeen};
        app_->Close();
        app_.reset();
        return ms;
    }

    void Finish() { Discard(target_.Path()); }
    double WorstAnswerMs() const { return worstAnswerMs_; }

  private:
    std::wstring Destination() const { return target_ / kFileName; }

    std::wstring sourceFolder_;
    std::wstring source_;
    TempDirectory target_;
    std::unique_ptr<ZemoApp> app_;
    double worstAnswerMs_ = 0;
};

}  // namespace

int main() {
    const std::vector<std::wstring> args = CommandLineWords();
    if (args.size() < 2)
        return WrongUsage("bench_copy <zemo.exe> [rounds]");
    const int rounds = args.size() > 2 ? std::max(1, _wtoi(args[2].c_str())) : 5;
    TempDirectory sourceFolder;
    Bench bench(sourceFolder.Path());
    if (!bench.CreateSourceFile()) {
        std::fprintf(stderr, "cannot create the 1 GB file\n");
        return 1;
    }

    enum Contender { kPlain, kZemo, kRoutine, kContenders };
    const char* const names[kContenders] = {"CopyFileW", "zemo.exe", "routine"};
    std::vector<double> times[kContenders];
    std::vector<ZemoPhases> phases;
    std::printf("  (zemo.exe: key to worker + copy and rename + to the row)\n");
    for (int round = 0; round <= rounds; ++round) {
        std::printf(round == 0 ? "  warm-up:" : "  round %d:", round);
        if (!bench.PrepareZemo()) {
            std::fprintf(stderr, "\nzemo.exe did not start or did not list the file\n");
            return 1;
        }
        for (int turn = 0; turn < kContenders; ++turn) {
            const int contender = (turn + round) % kContenders;
            ZemoPhases zemoPhases;
            const double ms = contender == kPlain  ? bench.PlainCopy()
                              : contender == kZemo ? bench.ZemoCopy(zemoPhases)
                                                   : bench.RoutineCopy();
            if (ms < 0) {
                std::fprintf(stderr, "\nthe copy by %s failed\n", names[contender]);
                return 1;
            }
            std::printf(" %s %.0f ms", names[contender], ms);
            if (contender == kZemo)
                std::printf(" (%.0f + %.0f + %.0f)", zemoPhases.toWorker, zemoPhases.copying,
                            zemoPhases.toRow);
            std::printf(turn + 1 < kContenders ? "," : "\n");
            if (round == 0)
                continue;
            times[contender].push_back(ms);
            if (contender == kZemo)
                phases.push_back(zemoPhases);
        }
        std::fflush(stdout);
    }
    bench.Finish();

    const std::vector<double>& plain = times[kPlain];
    const std::vector<double>& zemo = times[kZemo];
    const std::vector<double>& routine = times[kRoutine];
    std::printf(
        "1 GB copy, best of %d (median): CopyFileW %.0f (%.0f) ms, zemo.exe %.0f (%.0f) ms, "
        "copy routine alone %.0f (%.0f) ms\n",
        rounds, Best(plain), Median(plain), Best(zemo), Median(zemo), Best(routine),
        Median(routine));
    std::printf("throughput zemo.exe / CopyFileW: best %.2f (target >= 0.9), median %.2f\n",
                Best(plain) / Best(zemo), Median(plain) / Median(zemo));
    const auto fastest = std::min_element(zemo.begin(), zemo.end()) - zemo.begin();
    const ZemoPhases& best = phases[static_cast<size_t>(fastest)];
    std::printf(
        "  zemo.exe's best copy: key to worker %.0f ms, copy and rename %.0f ms, "
        "to the row %.0f ms\n",
        best.toWorker, best.copying, best.toRow);
    std::printf("worst answer time of the window during the copies: %.0f ms (target <= 100)\n",
                bench.WorstAnswerMs());
    return 0;
}
