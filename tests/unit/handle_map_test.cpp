#include "ui/handle_map.h"

#include <gtest/gtest.h>

namespace {

TEST(HandleMapTest, CollidingKeysAreFoundAndRemovalKeepsTheOthersOfTheirWalk) {
    HandleMap map;
    EXPECT_EQ(map.Find(5), 0);  // an empty map answers without buckets
    // Keys equal modulo 997 share a home bucket; 996 + 997 wraps past the last bucket.
    const intptr_t keys[] = {3, -1000, 3 + 997, 996, 996 + 997};
    for (intptr_t key : keys)
        EXPECT_EQ(map.Insert(key, key * 10, key * 100), 1);
    EXPECT_EQ(map.Count(), 5);
    for (intptr_t key : keys) {
        intptr_t extra = 0;
        EXPECT_EQ(map.Find(key, &extra), key * 10);
        EXPECT_EQ(extra, key * 100);
    }

    EXPECT_EQ(map.Remove(3), 1);
    EXPECT_EQ(map.Remove(3), 0);
    EXPECT_EQ(map.Find(-1000), -10000);  // an emptied bucket does not end the walk
    EXPECT_EQ(map.Find(1000), 10000);
    EXPECT_EQ(map.Insert(3 + 2 * 997, 7), 1);  // the freed bucket is taken again
    EXPECT_EQ(map.Find(3 + 2 * 997), 7);
    EXPECT_EQ(map.Count(), 5);
}

TEST(HandleMapTest, KeyZeroIsRefusedAndDuplicateKeysAreKeptInInsertionOrder) {
    HandleMap map;
    EXPECT_EQ(map.Insert(0, 1), 0);
    EXPECT_EQ(map.Find(0), 0);
    EXPECT_EQ(map.Count(), 0);

    map.Insert(10, 1);
    map.Insert(10, 2);
    EXPECT_EQ(map.Count(), 2);
    EXPECT_EQ(map.Find(10), 1);
    EXPECT_EQ(map.Remove(10), 1);
    EXPECT_EQ(map.Find(10), 2);
    EXPECT_EQ(map.Remove(10), 1);
    EXPECT_EQ(map.Find(10), 0);
}

TEST(HandleMapTest, AFullMapGrowsAndKeepsEveryEntryUntilItsContentsAreReleased) {
    HandleMap map;
    for (intptr_t key = 1; key <= HandleMap::kDefaultCapacity; ++key)
        map.Insert(key * 7, key, -key);
    EXPECT_EQ(map.Find(123456), 0);  // a miss on a full map walks all buckets and ends

    EXPECT_EQ(map.Insert(998 * 7, 998, -998), 1);
    EXPECT_EQ(map.Count(), 998);
    for (intptr_t key = 1; key <= 998; ++key) {
        intptr_t extra = 0;
        ASSERT_EQ(map.Find(key * 7, &extra), key);
        ASSERT_EQ(extra, -key);
    }

    map.ReleaseContents();  // empties it, and it takes entries again
    EXPECT_EQ(map.Find(7), 0);
    EXPECT_EQ(map.Insert(7, 1), 1);
    EXPECT_EQ(map.Find(7), 1);
}

}  // namespace
