#include "app/operations/file_comparison.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "app/base/unique_file.h"
#include "app/operations/same_bytes.h"

namespace {

// Small enough that both buffers stay in the processor's cache between the read and the
// comparison, and that a cancel is seen within a piece.
constexpr DWORD kComparePieceBytes = 256 << 10;

UniqueFile OpenToRead(const std::wstring& path) {
    // Sharing everything: a preview or another program may hold either file.
    return OwnedFile(CreateFileW(path.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Reads until `buffer` is full or the file ends; the bytes read.
bool ReadPiece(HANDLE file, std::vector<char>& buffer, DWORD& read) {
    read = 0;
    while (read < buffer.size()) {
        DWORD got = 0;
        if (!ReadFile(file, buffer.data() + read, static_cast<DWORD>(buffer.size()) - read, &got,
                      nullptr))
            return false;
        if (got == 0)
            break;
        read += got;
    }
    return true;
}

// One piece of each file, read at the same offset.
struct PiecePair {
    std::vector<char> left = std::vector<char>(kComparePieceBytes);
    std::vector<char> right = std::vector<char>(kComparePieceBytes);
    DWORD readLeft = 0, readRight = 0;
    DWORD error = ERROR_SUCCESS;

    // Reads the next pieces; false when the pair is the last one to look at.
    bool Read(HANDLE one, HANDLE two) {
        if (!ReadPiece(one, left, readLeft) || !ReadPiece(two, right, readRight)) {
            error = LastErrorOr(ERROR_READ_FAULT);
            return false;
        }
        return readLeft != 0 && readLeft == readRight;
    }
    // A file that grew or shrank meanwhile is not the same.
    bool Same() const {
        return readLeft == readRight && SameBytes(left.data(), right.data(), readLeft);
    }
};

class ProgressSteps {
  public:
    ProgressSteps(uint64_t total, const TransferProgress& progress)
        : total_(total), progress_(progress) {}
    void Report(uint64_t done) {
        const int32_t percent = total_ ? static_cast<int32_t>(done * 100 / total_) : 100;
        if (progress_ && percent > last_)
            progress_(last_ = percent);
    }

  private:
    uint64_t total_;
    const TransferProgress& progress_;
    int32_t last_ = -1;
};

// Reads and compares on the calling thread from where both files stand, `done` bytes in, at
// most `pieces` pairs of pieces; nothing when those were the same and there is more to read.
std::optional<FileComparison> CompareHere(HANDLE one, HANDLE two, const std::atomic<bool>& cancel,
                                          ProgressSteps& progress, uint64_t& done,
                                          size_t pieces = SIZE_MAX) {
    FileComparison result;
    PiecePair pair;
    for (size_t piece = 0; piece < pieces; ++piece) {
        if (cancel.load()) {
            result.error = ERROR_REQUEST_ABORTED;
            return result;
        }
        progress.Report(done);
        const bool more = pair.Read(one, two);
        if (pair.error != ERROR_SUCCESS) {
            result.error = pair.error;
            return result;
        }
        if (!pair.Same())
            return result;
        done += pair.readLeft;
        if (!more) {
            result.same = true;
            return result;
        }
    }
    return std::nullopt;
}

class Stopwatch {
  public:
    int64_t Microseconds() const {
        return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start_).count();
    }

  private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_ = Clock::now();
};

// Pieces read ahead by a reader thread and compared by the calling thread, handed over
// through a ring of slots. From the system's cache a piece is read in tens of microseconds,
// so the comparer only spins for the next one: a hand-over through the scheduler would cost
// more than the comparison hides. When the reader often does not deliver within the spin (no
// processor is free for it, or the disk is slow) reading ahead gains nothing, so the comparer
// stops the reader, takes what it read and reads the rest itself.
class ReadAhead {
  public:
    ReadAhead(HANDLE one, HANDLE two, const std::atomic<bool>& cancel, int spinMicroseconds)
        : one_(one),
          two_(two),
          cancel_(cancel),
          spinMicroseconds_(spinMicroseconds),
          reader_([this] { ReadAll(); }) {}
    ~ReadAhead() { StopReading(); }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next pair read; nullptr once cancelled, or once the reader was stopped and every
    // pair it read was taken. Done() gives it back. `last` is set on the pair after which
    // there is nothing more to read.
    PiecePair* Next(bool& last) {
        Slot& slot = slots_[taken_ % slots_.size()];
        const Stopwatch handing;
        Handover handover = reader_.joinable() ? Spin(slot) : Handover::kSlow;
        if (handover == Handover::kSlow && reader_.joinable()) {
            // A slow hand-over is waited out; once they are more than the odd moment the
            // reader was held up, and take an eighth of the time, reading ahead ends.
            handover = WaitOut(slot);
            slowMicroseconds_ += handing.Microseconds();
            if (++slow_ >= 3 && slowMicroseconds_ * 8 > started_.Microseconds())
                handover = Handover::kSlow;
        }
        if (handover != Handover::kFull) {
            StopReading();
            if (cancel_.load() || slot.state.load() != kFull)
                return nullptr;
        }
        last = slot.last;
        return &slot.pair;
    }
    // Once it returns, no slot changes but by the comparer; the pairs read stay to be taken.
    void StopReading() {
        if (!reader_.joinable())
            return;
        AcquireSRWLockExclusive(&lock_);
        stop_.store(true);
        ReleaseSRWLockExclusive(&lock_);
        WakeAllConditionVariable(&changed_);
        reader_.join();
    }

    void Done() {
        Slot& slot = slots_[taken_++ % slots_.size()];
        slot.state.store(kEmpty);
        if (readerSleeps_.load() == 0)
            return;
        AcquireSRWLockExclusive(&lock_);
        ReleaseSRWLockExclusive(&lock_);
        WakeAllConditionVariable(&changed_);
    }

  private:
    enum State { kEmpty, kFull };
    struct Slot {
        PiecePair pair;
        bool last = false;
        std::atomic<int> state{kEmpty};
    };

    enum class Handover { kFull, kSlow, kCancelled };

    // Spins until the slot is full, for `spinMicroseconds_` at most.
    Handover Spin(const Slot& slot) const {
        const Stopwatch stopwatch;
        for (unsigned spins = 1; slot.state.load() != kFull; ++spins) {
            if (cancel_.load())
                return Handover::kCancelled;
            YieldProcessor();
            if (spins % 64 == 1 && stopwatch.Microseconds() >= spinMicroseconds_)
                return Handover::kSlow;
        }
        return Handover::kFull;
    }

    // Waits until the slot is full, giving the processor away: at once for a few
    // milliseconds, then a millisecond at a time (a disk that stalls).
    Handover WaitOut(const Slot& slot) const {
        const Stopwatch stopwatch;
        while (slot.state.load() != kFull) {
            if (cancel_.load())
                return Handover::kCancelled;
            if (stopwatch.Microseconds() < 5000)
                SwitchToThread();
            else
                Sleep(1);
        }
        return Handover::kFull;
    }

    // The reader waits for a slot the comparer has not given back yet: the comparer may be
    // held up for longer, so after a short spin it sleeps. It counts itself before it looks
    // a last time, and Done() gives a slot back before it counts, so one sees the other.
    bool WaitUntilEmpty(Slot& slot) {
        const auto ready = [&] { return slot.state.load() == kEmpty; };
        const auto ended = [&] { return stop_.load() || cancel_.load(); };
        for (unsigned spins = 0; spins < 4096 && !ready() && !ended(); ++spins)
            YieldProcessor();
        if (!ready() && !ended()) {
            AcquireSRWLockExclusive(&lock_);
            readerSleeps_.fetch_add(1);
            while (!ready() && !ended())
                SleepConditionVariableSRW(&changed_, &lock_, 5, 0);
            readerSleeps_.fetch_sub(1);
            ReleaseSRWLockExclusive(&lock_);
        }
        return ready() && !ended();
    }

    void ReadAll() noexcept {
        for (size_t at = 0;; ++at) {
            Slot& slot = slots_[at % slots_.size()];
            if (!WaitUntilEmpty(slot))
                return;
            slot.last = !slot.pair.Read(one_, two_);
            slot.state.store(kFull);
            if (slot.last)
                return;
        }
    }

    HANDLE one_, two_;
    const std::atomic<bool>& cancel_;
    const int spinMicroseconds_;
    std::array<Slot, 4> slots_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    std::atomic<bool> stop_{false};
    std::atomic<int> readerSleeps_{0};
    size_t taken_ = 0;
    const Stopwatch started_;
    size_t slow_ = 0;  // hand-overs that took longer than the spin, and their time
    int64_t slowMicroseconds_ = 0;
    std::thread reader_;  // last: starts once everything it uses is built
};

// Reading ahead wins where the reader gets a processor of its own that reaches the comparer's
// data quickly; on a virtual machine whose processors are busy or far apart it can take twice
// as long as reading here. So the first pieces are read here to time that, and reading ahead
// ends for good in any stretch where it is slower.
constexpr size_t kTimedHerePieces = 32;
constexpr size_t kStretchPieces = 128;

FileComparison CompareReadingAhead(HANDLE one, HANDLE two, const std::atomic<bool>& cancel,
                                   ProgressSteps& progress, int spinMicroseconds) {
    uint64_t done = 0;
    const Stopwatch timingHere;
    if (const auto ended = CompareHere(one, two, cancel, progress, done, kTimedHerePieces))
        return *ended;
    const int64_t hereMicroseconds = timingHere.Microseconds();
    std::unique_ptr<ReadAhead> ahead;
    try {
        ahead = std::make_unique<ReadAhead>(one, two, cancel, spinMicroseconds);
    } catch (const std::exception&) {
        // No memory or no thread for reading ahead: read here.
        return *CompareHere(one, two, cancel, progress, done);
    }
    FileComparison result;
    std::optional<Stopwatch> stretch;
    for (size_t piece = 0;; ++piece) {
        if (piece % kStretchPieces == 0) {
            if (stretch &&
                stretch->Microseconds() * kTimedHerePieces > hereMicroseconds * kStretchPieces)
                ahead->StopReading();
            stretch.emplace();
        }
        progress.Report(done);
        bool last = false;
        const PiecePair* pair = ahead->Next(last);
        if (!pair)
            break;
        if (pair->error != ERROR_SUCCESS) {
            result.error = pair->error;
            return result;
        }
        if (!pair->Same())
            return result;
        done += pair->readLeft;
        ahead->Done();
        if (last) {
            result.same = true;
            return result;
        }
    }
    // Cancelled, or the reader stopped where it stood: the rest is read here.
    ahead.reset();
    return *CompareHere(one, two, cancel, progress, done);
}

}  // namespace

FileComparison CompareFileContents(const std::wstring& first, const std::wstring& second,
                                   const std::atomic<bool>& cancel,
                                   const TransferProgress& progress, int spinMicroseconds) {
    FileComparison result;
    WIN32_FILE_ATTRIBUTE_DATA a, b;
    if (!GetFileAttributesExW(first.c_str(), GetFileExInfoStandard, &a) ||
        !GetFileAttributesExW(second.c_str(), GetFileExInfoStandard, &b)) {
        result.error = LastErrorOr(ERROR_FILE_NOT_FOUND);
        return result;
    }
    if (((a.dwFileAttributes | b.dwFileAttributes) & FILE_ATTRIBUTE_DIRECTORY) ||
        a.nFileSizeHigh != b.nFileSizeHigh || a.nFileSizeLow != b.nFileSizeLow)
        return result;

    const UniqueFile one = OpenToRead(first);
    const UniqueFile two = OpenToRead(second);
    if (!one || !two) {
        result.error = LastErrorOr(ERROR_OPEN_FAILED);
        return result;
    }
    const uint64_t total = (static_cast<uint64_t>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
    ProgressSteps steps(total, progress);
    uint64_t done = 0;
    return total >= kCompareReadAheadFromBytes
               ? CompareReadingAhead(one.Get(), two.Get(), cancel, steps, spinMicroseconds)
               : *CompareHere(one.Get(), two.Get(), cancel, steps, done);
}
