#include "ui/handle_map.h"

#include <gtest/gtest.h>

namespace {

// The bucket index that holds `key`, -1 when absent.
int32_t BucketOf(const HandleMap& map, intptr_t key) {
    for (const HandleMap::Entry& entry : map.Entries()) {
        if (entry.key == key)
            return entry.bucket;
    }
    return -1;
}

TEST(HandleMapTest, NewMapAllocatesOnFirstInsertion) {
    HandleMap map;
    EXPECT_EQ(map.Capacity(), 0);
    EXPECT_EQ(map.Find(5), 0);
    EXPECT_EQ(map.Remove(5), 0);
    EXPECT_EQ(map.Insert(5, 50), 1);
    EXPECT_EQ(map.Capacity(), 997);
    EXPECT_EQ(map.Count(), 1);
}

TEST(HandleMapTest, KeysStartAtTheirHomeBucketAndWalkInStepsOfTwo) {
    HandleMap map;
    map.Insert(3, 30, 300);
    map.Insert(-1000, 11);  // |-1000| mod 997 = 3: collides with key 3
    map.Insert(3 + 997, 12);
    map.Insert(996, 13);  // the last bucket; its walk wraps to bucket 1
    map.Insert(996 + 997, 14);
    EXPECT_EQ(BucketOf(map, 3), 3);
    EXPECT_EQ(BucketOf(map, -1000), 5);
    EXPECT_EQ(BucketOf(map, 1000), 7);
    EXPECT_EQ(BucketOf(map, 996), 996);
    EXPECT_EQ(BucketOf(map, 1993), 1);

    intptr_t extra = 0;
    EXPECT_EQ(map.Find(3, &extra), 30);
    EXPECT_EQ(extra, 300);
    EXPECT_EQ(map.Find(-1000), 11);
    EXPECT_EQ(map.Find(1993), 14);
}

TEST(HandleMapTest, KeyZeroIsRefused) {
    HandleMap map;
    EXPECT_EQ(map.Insert(0, 1), 0);
    EXPECT_EQ(map.Count(), 0);
    EXPECT_EQ(map.Find(0), 0);
    EXPECT_EQ(map.Remove(0), 0);
}

TEST(HandleMapTest, DuplicateKeysOccupyTwoBucketsAndTheFirstIsFoundFirst) {
    HandleMap map;
    map.Insert(10, 1);
    map.Insert(10, 2);
    EXPECT_EQ(map.Count(), 2);
    EXPECT_EQ(map.Find(10), 1);
    EXPECT_EQ(map.Remove(10), 1);
    EXPECT_EQ(map.Find(10), 2);
    EXPECT_EQ(map.Remove(10), 1);
    EXPECT_EQ(map.Find(10), 0);
    EXPECT_EQ(map.Count(), 0);
}

TEST(HandleMapTest, RemovalKeepsLaterKeysOfTheSameWalkAndFreesTheBucket) {
    HandleMap map;
    map.Insert(4, 1);
    map.Insert(4 + 997, 2);  // bucket 6, behind key 4
    EXPECT_EQ(map.Remove(4), 1);
    EXPECT_EQ(map.Remove(4), 0);
    EXPECT_EQ(map.Find(4 + 997), 2);  // an emptied bucket does not end the walk

    map.Insert(4 + 2 * 997, 3);  // takes the freed home bucket again
    EXPECT_EQ(BucketOf(map, 4 + 2 * 997), 4);
    EXPECT_EQ(map.Find(4 + 2 * 997), 3);
    EXPECT_EQ(map.Count(), 2);
}

TEST(HandleMapTest, GrowthGoesFrom997To2021AndKeepsEveryEntry) {
    EXPECT_EQ(HandleMap().NextCapacity(997), 2021);
    EXPECT_EQ(HandleMap().NextCapacity(2021), 4073);

    HandleMap map;
    for (intptr_t key = 1; key <= 997; ++key)
        map.Insert(key * 7, key, -key);
    EXPECT_EQ(map.Capacity(), 997);
    EXPECT_EQ(map.Count(), 997);
    EXPECT_EQ(map.Find(123456), 0);  // a miss on a full map walks all buckets and ends

    EXPECT_EQ(map.Insert(998 * 7, 998, -998), 1);
    EXPECT_EQ(map.Capacity(), 2021);
    EXPECT_EQ(map.Count(), 998);
    for (intptr_t key = 1; key <= 998; ++key) {
        intptr_t extra = 0;
        ASSERT_EQ(map.Find(key * 7, &extra), key);
        ASSERT_EQ(extra, -key);
    }
}

TEST(HandleMapTest, InitialiseDiscardsContentsAndUsesTheGivenCapacity) {
    HandleMap map;
    map.Insert(1, 1);
    map.Initialise(11);
    EXPECT_EQ(map.Capacity(), 11);
    EXPECT_EQ(map.Count(), 0);
    EXPECT_EQ(map.Find(1), 0);
    // Twelve entries do not fit into 11 buckets: the map grows to 43.
    for (intptr_t key = 1; key <= 12; ++key)
        map.Insert(key, key);
    EXPECT_EQ(map.Capacity(), 43);
    for (intptr_t key = 1; key <= 12; ++key)
        EXPECT_EQ(map.Find(key), key);

    map.ReleaseContents();
    EXPECT_EQ(map.Capacity(), 0);
    EXPECT_EQ(map.Find(1), 0);
}

}  // namespace
