// The key-downs the keyboard hook saw, each with the modifier held for it, waiting for
// their input messages to reach the UI thread. The hook thread pushes; the UI thread takes
// the record of the key whose message it is handling. A record is matched by scan code,
// extended flag and event time, which the key's input message carries, so the oldest
// record of that key and moment belongs to it; records of earlier moments belong to keys
// that went to other windows and are dropped. The two times are allowed to differ a
// little, since the window system may stamp them separately under load.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>

struct KeyRecord {
    int32_t scanCode;
    bool extended;
    DWORD time;
    int32_t modifier;
};

class KeyRecordQueue {
  public:
    static constexpr int32_t kCapacity = 256;
    // Milliseconds by which a record's time may differ from its message's.
    static constexpr int32_t kTimeTolerance = 200;

    // Appends a record; when full, the oldest gives way.
    void Push(const KeyRecord& record);
    // Takes the modifier of the key's record, dropping records of earlier moments.
    std::optional<int32_t> Take(int32_t scanCode, bool extended, DWORD time);
    int32_t Count() const;

  private:
    KeyRecord& At(int32_t index) { return records_[(first_ + index) % kCapacity]; }
    void DropFirst();

    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    std::array<KeyRecord, kCapacity> records_{};
    int32_t first_ = 0;
    int32_t count_ = 0;
};
