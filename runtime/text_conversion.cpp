// Conversions between code page 936 texts and UTF-16 TextBlocks.
#include "runtime/text.h"

namespace {

constexpr UINT kTextCodePage = 936;

// UTF-16 block of `byteCount` bytes of `text`, followed by exactly one zero unit. The
// terminator is added here rather than converted, so a text that ends in a lone lead byte
// cannot swallow it.
TextBlock ConvertToUtf16(UINT codePage, const char* text, int byteCount) {
    if (byteCount <= 0)
        return TextBlock::FromWide(L"");
    const int units = MultiByteToWideChar(codePage, 0, text, byteCount, nullptr, 0);
    if (units <= 0)
        return TextBlock::EmptyWide();
    TextBlock block = TextBlock::Zeroed((units + 1) * static_cast<int32_t>(sizeof(wchar_t)));
    auto* out = reinterpret_cast<wchar_t*>(block.MutableBytes());
    if (MultiByteToWideChar(codePage, 0, text, byteCount, out, units) != units)
        return TextBlock::EmptyWide();
    return block;
}

// Text of `units` UTF-16 units; characters the code page lacks become its default character.
Text ConvertFromUtf16(UINT codePage, const wchar_t* units, int count) {
    if (count <= 0)
        return Text("");
    const int bytes = WideCharToMultiByte(codePage, 0, units, count, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return Text("");
    Text work = BlankText(bytes);
    if (WideCharToMultiByte(codePage, 0, units, count, work.MutableData(), bytes, nullptr,
                            nullptr) != bytes)
        return Text("");
    return work;
}

}  // namespace

TextBlock ToUtf16(const Text& text, std::optional<UINT> codePage) {
    return ConvertToUtf16(codePage.value_or(kTextCodePage), text.c_str(), text.Length());
}

Text FromUtf16(const TextBlock& block, std::optional<UINT> codePage) {
    return ConvertFromUtf16(codePage.value_or(kTextCodePage), block.Wide(), block.WideLength());
}

Text FromUtf16(const wchar_t* text) {
    return ConvertFromUtf16(kTextCodePage, text, text ? lstrlenW(text) : 0);
}

TextBlock ToUtf16System(const char* text) {
    return ConvertToUtf16(CP_ACP, text, TextLength(text));
}

Text FromUtf16System(const wchar_t* text) {
    return ConvertFromUtf16(CP_ACP, text, text ? lstrlenW(text) : 0);
}
