#include "app/keys/key_record_queue.h"

namespace {

// Event times are milliseconds that wrap around; compared as a signed difference.
int32_t Elapsed(DWORD from, DWORD to) {
    return static_cast<int32_t>(to - from);
}

class ExclusiveLock {
  public:
    explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

  private:
    SRWLOCK& lock_;
};

}  // namespace

void KeyRecordQueue::Push(const KeyRecord& record) {
    ExclusiveLock hold(lock_);
    if (count_ == kCapacity)
        DropFirst();
    records_[(first_ + count_) % kCapacity] = record;
    ++count_;
}

std::optional<int32_t> KeyRecordQueue::Take(int32_t scanCode, bool extended, DWORD time) {
    ExclusiveLock hold(lock_);
    while (count_ > 0 && Elapsed(At(0).time, time) > kTimeTolerance)
        DropFirst();
    for (int32_t i = 0; i < count_; ++i) {
        const KeyRecord record = At(i);
        if (Elapsed(time, record.time) > kTimeTolerance)
            break;  // a later key: its message has not come yet
        if (record.scanCode != scanCode || record.extended != extended)
            continue;  // another key of the same moment, e.g. of a burst
        for (int32_t j = i; j > 0; --j)
            At(j) = At(j - 1);
        DropFirst();
        return record.modifier;
    }
    return std::nullopt;
}

int32_t KeyRecordQueue::Count() const {
    ExclusiveLock hold(lock_);
    return count_;
}

void KeyRecordQueue::DropFirst() {
    first_ = (first_ + 1) % kCapacity;
    --count_;
}
