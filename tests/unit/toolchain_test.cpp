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
