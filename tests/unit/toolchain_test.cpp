// The static i686 build must unwind C++ exceptions correctly under Wine; some toolchains
// break unwinding when libgcc is linked statically.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

[[gnu::noinline]] int ThrowThroughFrames(int depth) {
    if (depth == 0)
        throw std::runtime_error("unwound");
    std::string keepFrameAlive(static_cast<size_t>(depth), 'x');
    return ThrowThroughFrames(depth - 1) + static_cast<int>(keepFrameAlive.size());
}

}  // namespace

TEST(Toolchain, ExceptionThrownDeepInsideIsCaught) {
    try {
        ThrowThroughFrames(20);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("unwound", error.what());
    }
}

TEST(Toolchain, NarrowLiteralsAreCodePage936) {
    const unsigned char expected[] = {0xB8, 0xB4, 0xD6, 0xC6};  // 复制 in GBK
    const char* text = "复制";
    ASSERT_EQ(4u, std::char_traits<char>::length(text));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(expected[i], static_cast<unsigned char>(text[i]));
}
