#include "app/file_names.h"

// Both follow the shell's path rules (PathFindFileNameA, PathFindExtensionA) but step
// through code page 936 characters themselves instead of by the system's code page.

namespace {

// Length of the character at `text`: 2 for a lead byte with a second byte, else 1.
int32_t CharacterLength(const char* text) {
    return static_cast<unsigned char>(text[0]) >= 0x80 && text[1] != '\0' ? 2 : 1;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

}  // namespace

Text FileNameFromPath(const Text& path) {
    const char* text = path.c_str();
    const char* name = text;
    for (const char* p = text; *p; p += CharacterLength(p)) {
        if (CharacterLength(p) == 1 && IsSeparator(*p) && p[1] != '\0' && p[1] != '\\' &&
            p[1] != '/')
            name = p + 1;
    }
    if (*name == '\\')
        return Text("");
    return Text(name);
}

Text ExtensionOf(const Text& path) {
    const char* text = path.c_str();
    const char* dot = nullptr;
    for (const char* p = text; *p; p += CharacterLength(p)) {
        if (CharacterLength(p) == 2)
            continue;
        if (*p == '\\' || *p == ' ')
            dot = nullptr;
        else if (*p == '.')
            dot = p;
    }
    return Text(dot ? dot : "");
}
