#include "runtime/message.h"

namespace {

bool IsArray(ValueKind kind) {
    return kind == ValueKind::kByteArray || kind == ValueKind::kShortArray ||
           kind == ValueKind::kIntegerArray || kind == ValueKind::kLongArray;
}

}  // namespace

int32_t ShowMessage(const Value& message, UINT style, const std::optional<Text>& title,
                    HWND owner) {
    const Text text = IsArray(message.Kind()) ? Text() : ValueToText(message);
    const TextBlock wideText = ToUtf16(text);
    const TextBlock wideTitle = ToUtf16(title ? *title : Text("信息"));
    return MessageBoxW(owner, wideText.Wide(), wideTitle.Wide(), style) - 1;
}
