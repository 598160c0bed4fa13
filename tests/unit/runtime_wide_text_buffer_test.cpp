// WideTextBuffer: growth, editing, search and the memory it owns.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "runtime/wide_text_buffer.h"

namespace {

TextBlock W(const wchar_t* text) {
    return TextBlock::FromWide(text);
}

std::wstring Content(const WideTextBuffer& buffer) {
    return std::wstring(buffer.Get().WideView());
}

}  // namespace

TEST(RuntimeWideTextBuffer, GrowsToExactlyWhatTheContentNeeds) {
    WideTextBuffer buffer;
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_EQ(2, buffer.Get().ByteCount());  // the empty UTF-16 text

    ASSERT_TRUE(buffer.Initialise(8));
    EXPECT_EQ(8, buffer.Capacity());
    buffer.Set(W(L"abc"));
    EXPECT_EQ(8, buffer.Capacity());
    EXPECT_EQ(6, buffer.Length());
    buffer.Append(W(L"defg"));
    EXPECT_EQ(L"abcdefg", Content(buffer));
    EXPECT_EQ(16, buffer.Capacity());  // seven characters and the zero unit
    EXPECT_EQ(7, buffer.CharacterCount());
    EXPECT_FALSE(buffer.Initialise(0));

    WideTextBuffer fresh;  // a first Set allocates one page
    fresh.Set(W(L"x"));
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    EXPECT_EQ(static_cast<int32_t>(info.dwPageSize), fresh.Capacity());
}

TEST(RuntimeWideTextBuffer, InsertRemoveAndParts) {
    WideTextBuffer buffer;
    buffer.Set(W(L"abc"));
    buffer.Insert(W(L"XY"), 1);
    EXPECT_EQ(L"aXYbc", Content(buffer));
    buffer.Insert(W(L"!"), 99);
    EXPECT_EQ(L"aXYbc!", Content(buffer));
    EXPECT_TRUE(buffer.Remove(1, 2));
    EXPECT_EQ(L"abc!", Content(buffer));
    EXPECT_TRUE(buffer.Remove(2, 99));
    EXPECT_EQ(L"ab", Content(buffer));
    EXPECT_EQ(0, buffer.Buffer()[2]);
    EXPECT_EQ(0, buffer.Buffer()[3]);  // nothing stale behind the content
    EXPECT_FALSE(buffer.Remove(0, -1));
    EXPECT_FALSE(buffer.Remove(3, 1));

    buffer.Set(W(L"复制成功"));
    EXPECT_EQ(L"制成", std::wstring(buffer.Middle(1, 2).WideView()));
    EXPECT_EQ(L"制成功", std::wstring(buffer.Middle(1, -1).WideView()));
    EXPECT_EQ(L"功", std::wstring(buffer.Middle(3, 9).WideView()));
    EXPECT_EQ(2, buffer.Middle(4, 1).ByteCount());
    EXPECT_EQ(L"复制", std::wstring(buffer.Left(2).WideView()));
    EXPECT_EQ(0, buffer.Left(0).WideLength());
    const TextBlock right = buffer.Right(1);
    EXPECT_EQ(4, right.ByteCount());  // one character and one zero unit
}

TEST(RuntimeWideTextBuffer, ReplaceSearchesAfterEachReplacementAndFindGoesBothWays) {
    WideTextBuffer buffer;
    ASSERT_TRUE(buffer.Initialise(8));
    buffer.Set(W(L"a-b-c"));
    EXPECT_EQ(2, buffer.Replace(W(L"-"), W(L"--")));
    EXPECT_EQ(L"a--b--c", Content(buffer));
    EXPECT_EQ(1, buffer.Replace(W(L"--"), W(L"+"), 0, 1));
    EXPECT_EQ(L"a+b--c", Content(buffer));
    EXPECT_EQ(0, buffer.Replace(W(L"A"), W(L"z")));
    EXPECT_EQ(1, buffer.Replace(W(L"A"), W(L"z"), 0, 0, false));
    EXPECT_EQ(0, buffer.Replace(W(L"z"), W(L"y"), 1));  // before the start
    EXPECT_EQ(0, buffer.Replace(W(L""), W(L"y")));
    EXPECT_EQ(2, buffer.Replace(W(L"-"), W(L"\\\\server\\share")));
    EXPECT_EQ(
        L"z+b\\\\server\\share\\\\server\\share"
        L"c",
        Content(buffer));

    // Find first and last from a start.
    buffer.Set(W(L"abcABC"));
    EXPECT_EQ(1, buffer.Find(W(L"bc")));
    EXPECT_EQ(-1, buffer.Find(W(L"bc"), 2));
    EXPECT_EQ(4, buffer.Find(W(L"bc"), 2, false));
    EXPECT_EQ(1, buffer.FindLast(W(L"bc")));
    EXPECT_EQ(4, buffer.FindLast(W(L"bc"), 0, false));
    EXPECT_EQ(-1, buffer.FindLast(W(L"bc"), 5, false));
    EXPECT_EQ(-1, buffer.Find(W(L"")));
}

TEST(RuntimeWideTextBuffer, AttachedTextIsEditedInPlaceUntilItMustGrow) {
    wchar_t text[] = L"  hi  ";
    WideTextBuffer buffer;
    buffer.Attach(text);
    EXPECT_EQ(14, buffer.Capacity());
    buffer.Trim();
    EXPECT_EQ(L"hi", Content(buffer));
    EXPECT_EQ(4, buffer.Length());
    buffer.ToUpper();
    EXPECT_STREQ(L"HI", text);
    buffer.Append(W(L" there, a longer text"));
    EXPECT_NE(text, buffer.Buffer());
    EXPECT_STREQ(L"HI", text);
    buffer.ToLower();
    EXPECT_EQ(L"hi there, a longer text", Content(buffer));
    buffer.Free();
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_EQ(0, buffer.Capacity());
}

TEST(RuntimeWideTextBuffer, ClonesAndCopiesOwnTheirMemory) {
    WideTextBuffer buffer;
    ASSERT_TRUE(buffer.Initialise(64));
    buffer.Set(W(L"Same"));
    const std::unique_ptr<WideTextBuffer> clone = buffer.Clone();
    ASSERT_NE(buffer.Buffer(), clone->Buffer());
    EXPECT_EQ(64, clone->Capacity());
    EXPECT_EQ(0, buffer.Compare(*clone));
    clone->ToLower();
    EXPECT_EQ(L"Same", Content(buffer));
    EXPECT_NE(0, buffer.Compare(*clone));
    EXPECT_EQ(0, buffer.Compare(*clone, false));

    WideTextBuffer copy;
    buffer.CopyTo(copy);
    EXPECT_EQ(L"Same", Content(copy));

    copy.Clear();
    EXPECT_EQ(L"", Content(copy));
    EXPECT_FALSE(copy.IsEmpty());
}
