#include "ui/handle_map.h"

void HandleMap::Initialise(int32_t capacity) {
    if (capacity <= 0)
        capacity = kDefaultCapacity;
    buckets_.assign(static_cast<size_t>(capacity), Bucket{});
    capacity_ = capacity;
    count_ = 0;
}

void HandleMap::ReleaseContents() {
    buckets_ = Buckets();
    capacity_ = 0;
    count_ = 0;
}

int32_t HandleMap::NextCapacity(int32_t size) const {
    const int64_t limit = 2 * static_cast<int64_t>(size);
    for (int64_t n = 1;; ++n) {
        const int64_t candidate = n * n + n + 41;
        if (candidate > limit)
            return static_cast<int32_t>(candidate);
    }
}

int32_t HandleMap::HomeBucket(intptr_t key) const {
    // |key| without overflow for the most negative key.
    const uintptr_t magnitude =
        key < 0 ? uintptr_t{0} - static_cast<uintptr_t>(key) : static_cast<uintptr_t>(key);
    return static_cast<int32_t>(magnitude % static_cast<uintptr_t>(capacity_));
}

int32_t HandleMap::NextBucket(int32_t index) const {
    return static_cast<int32_t>((static_cast<int64_t>(index) + 2) % capacity_);
}

bool HandleMap::Place(intptr_t key, intptr_t value, intptr_t extra) {
    const int32_t home = HomeBucket(key);
    int32_t index = home;
    do {
        Bucket& bucket = buckets_[static_cast<size_t>(index)];
        if (bucket.key == 0) {
            bucket = Bucket{key, value, extra};
            ++count_;
            return true;
        }
        index = NextBucket(index);
    } while (index != home);
    return false;
}

int32_t HandleMap::Insert(intptr_t key, intptr_t value, intptr_t extra) {
    if (key == 0)
        return 0;
    if (capacity_ == 0)
        Initialise();
    while (!Place(key, value, extra))
        Grow();
    return 1;
}

void HandleMap::Grow() {
    Buckets old = std::move(buckets_);
    Initialise(NextCapacity(capacity_));
    for (const Bucket& bucket : old) {
        // The new capacity is larger and odd, so every old entry finds an empty bucket.
        if (bucket.key != 0)
            Place(bucket.key, bucket.value, bucket.extra);
    }
}

int32_t HandleMap::Locate(intptr_t key) const {
    if (capacity_ == 0 || key == 0)
        return -1;
    const int32_t home = HomeBucket(key);
    int32_t index = home;
    do {
        if (buckets_[static_cast<size_t>(index)].key == key)
            return index;
        index = NextBucket(index);
    } while (index != home);
    return -1;
}

intptr_t HandleMap::Find(intptr_t key, intptr_t* extra) const {
    const int32_t index = Locate(key);
    if (index < 0)
        return 0;
    const Bucket& bucket = buckets_[static_cast<size_t>(index)];
    if (extra)
        *extra = bucket.extra;
    return bucket.value;
}

int32_t HandleMap::Remove(intptr_t key) {
    const int32_t index = Locate(key);
    if (index < 0)
        return 0;
    buckets_[static_cast<size_t>(index)] = Bucket{};
    --count_;
    return 1;
}

void HandleMap::Clear() {
    buckets_.assign(buckets_.size(), Bucket{});
    count_ = 0;
}
