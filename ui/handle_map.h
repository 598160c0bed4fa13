// HandleMap: an open-addressing map from non-zero keys (window handles) to a value and
// an extra word. Buckets are walked from the key's home bucket in steps of two; every
// capacity the map uses is odd, so a walk visits every bucket before it comes back.
// Empty buckets do not end a look-up, so removal never breaks another key's chain, and a
// miss visits every bucket.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/heap.h"

class HandleMap {
  public:
    static constexpr int32_t kDefaultCapacity = 997;

    HandleMap() = default;
    HandleMap(const HandleMap&) = default;
    HandleMap& operator=(const HandleMap&) = default;

    // Allocates `capacity` empty buckets (997 when none or a non-positive one is given)
    // and discards the previous contents.
    void Initialise(int32_t capacity = kDefaultCapacity);
    // Frees the buckets; the map is back at capacity 0.
    void ReleaseContents();
    // The smallest n*n + n + 41 (n = 1, 2, ...) greater than twice `size`.
    int32_t NextCapacity(int32_t size) const;
    // Stores the entry; 0 when the key is 0. Equal keys are not merged: a key inserted
    // twice occupies two buckets, and look-ups find the one met first.
    int32_t Insert(intptr_t key, intptr_t value, intptr_t extra = 0);
    // Moves every entry into NextCapacity(capacity) new buckets.
    void Grow();
    // The value stored for the key, 0 when absent; the extra word into *extra when asked.
    intptr_t Find(intptr_t key, intptr_t* extra = nullptr) const;
    // 1 when an entry was removed, else 0.
    int32_t Remove(intptr_t key);
    // Empties every bucket, keeping the capacity.
    void Clear();
    int32_t Count() const { return count_; }
    int32_t Capacity() const { return capacity_; }

  private:
    struct Bucket {
        intptr_t key = 0;
        intptr_t value = 0;
        intptr_t extra = 0;
    };
    using Buckets = std::vector<Bucket, RuntimeAllocator<Bucket>>;

    int32_t HomeBucket(intptr_t key) const;
    int32_t NextBucket(int32_t index) const;
    // The bucket holding the key, -1 when absent.
    int32_t Locate(intptr_t key) const;
    // Places the entry in the first empty bucket of its walk; false when the walk is full.
    bool Place(intptr_t key, intptr_t value, intptr_t extra);

    Buckets buckets_;
    int32_t capacity_ = 0;
    int32_t count_ = 0;
};
