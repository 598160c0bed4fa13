// The byte comparison behind "the same file": a difference anywhere is found, in the folded
// blocks, in the bytes after the last block, and at every offset from the start of a buffer.
#include <gtest/gtest.h>

#include <vector>

#include "app/operations/same_bytes.h"

TEST(SameBytesTest, FindsOneDifferentByteWhereverItIs) {
    std::vector<char> a(1100), b;
    for (size_t i = 0; i < a.size(); ++i)
        a[i] = static_cast<char>(i * 7);
    for (const size_t offset : {0, 1, 3}) {  // blocks that do not start at an aligned address
        for (const size_t count : {0, 1, 255, 256, 257, 511, 1000}) {
            b = a;
            ASSERT_TRUE(SameBytes(a.data() + offset, b.data() + offset, count)) << count;
            for (size_t at = 0; at < count; ++at) {
                b[offset + at] ^= 0x80;
                ASSERT_FALSE(SameBytes(a.data() + offset, b.data() + offset, count))
                    << "offset " << offset << ", count " << count << ", at " << at;
                b[offset + at] ^= 0x80;
            }
            // The byte just past the run does not count.
            b[offset + count] ^= 1;
            EXPECT_TRUE(SameBytes(a.data() + offset, b.data() + offset, count)) << count;
        }
    }
}
