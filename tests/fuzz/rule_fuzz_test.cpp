// Random config.ini files through the rule section reader and the building of rules:
// no crash, every rule's texts taken from the file, and for sections under 32 KB the same
// entries as the system's GetPrivateProfileSectionA gives for the same file.
//
// rule_fuzz_tests [--seed=S] [--count=N]: case i uses seed S + i; a failure prints its
// seed, and --seed=<that> --count=1 replays it. A differing file is kept as
// rule_fuzz_failure.ini in the temporary folder.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/rules/rule.h"
#include "app/rules/rule_file.h"
#include "tests/support/process.h"

namespace {

uint64_t g_seed = 1;
int g_count = 20000;

constexpr DWORD kSystemBufferSize = 65536;
constexpr size_t kCompareBelow = 32 * 1024;

// The text as the system hands it back: code page 936 to UTF-16 and back.
std::string RoundTrip(const std::string& bytes) {
    return std::string(FromUtf16(ToUtf16(Text(std::string_view(bytes)), 936), 936).View());
}

class Generator {
  public:
    explicit Generator(uint64_t seed) : random_(seed) {}

    std::string File() {
        switch (Below(10)) {
            case 0:
                return RandomBytes(Below(400));
            case 1:
                return Section() + Line(40000 + Below(10000));  // one line over 32 KB
            case 2:
                if (Below(20) == 0)
                    return ManyEntries(20000 + Below(20000));
                [[fallthrough]];
            default: {
                std::string file;
                const size_t parts = 1 + Below(6);
                for (size_t i = 0; i < parts; ++i) {
                    file += Below(3) ? Section() : Header(Word(6));
                    for (size_t lines = Below(12); lines > 0; --lines)
                        file += Line(Below(40));
                }
                return file;
            }
        }
    }

  private:
    size_t Below(size_t n) { return n ? static_cast<size_t>(random_() % n) : 0; }
    char Byte() { return static_cast<char>(random_() & 0xFF); }

    std::string RandomBytes(size_t n) {
        std::string bytes;
        for (size_t i = 0; i < n; ++i)
            bytes += Byte();
        return bytes;
    }

    // The rule section's header, written in the ways a hand or a tool may write it.
    std::string Section() {
        static const char* const kForms[] = {"[%s]",  " [ %s ]\t", "[%s]junk",
                                             "[%s]]", "[%s",       "[%s] \x81]"};
        char header[64];
        std::snprintf(header, sizeof header, kForms[Below(Below(2) ? 1 : 6)], kRuleSection);
        return header + Break();
    }
    std::string Header(const std::string& name) { return "[" + name + "]" + Break(); }

    std::string Break() {
        static const char* const kBreaks[] = {"\r\n", "\n", "\r", "\r\r\n", ""};
        return kBreaks[Below(Below(4) ? 1 : 5)];
    }

    // One token: GBK characters (trail bytes such as "|", "\\", "[", "]"), the format's
    // own marks and the look-alike "#", blanks, control bytes, zero bytes and lone line
    // breaks.
    std::string Token() {
        static const char* const kMarks[] = {
            "=",    "|",  ";",  "#",  "[",  "]",    " ",        "\t",       "\x1A", "\v",
            "\x01", "\r", "\n", "\\", "\"", "D:\\", "复制文件", "移动文件", "亅",   "\xA1\xA1"};
        switch (Below(8)) {
            case 0: {
                std::string pair(1, static_cast<char>(0x81 + Below(0x7E)));
                static const char kTrails[] = {0x7C, 0x5C, 0x5B, 0x5D, 0x40, 0x7E, 0x7F, -2, 0x3D};
                pair += Below(2) ? kTrails[Below(sizeof kTrails)] : Byte();
                return pair;
            }
            case 1:
                return std::string(1, Below(4) ? static_cast<char>(0x81 + Below(0x7E)) : '\0');
            case 2:
            case 3:
                return kMarks[Below(sizeof kMarks / sizeof kMarks[0])];
            default:
                return Word(1 + Below(8));
        }
    }
    std::string Word(size_t n) {
        std::string word;
        for (size_t i = 0; i < n; ++i)
            word += static_cast<char>("abcdefgXYZ0123456789+_"[Below(22)]);
        return word;
    }
    std::string Line(size_t tokens) {
        std::string line;
        if (Below(3)) {
            line = Word(1 + Below(6)) + "=" + (Below(2) ? "复制文件|D:\\" : "移动文件|");
            tokens /= 2;
        }
        for (size_t i = 0; i < tokens; ++i)
            line += Token();
        return line + Break();
    }
    std::string ManyEntries(size_t n) {
        std::string file = Section();
        for (size_t i = 0; i < n; ++i)
            file.append("K")
                .append(std::to_string(i))
                .append("=复制文件|D:\\")
                .append(Word(4))
                .append("\r\n");
        return file;
    }

    std::mt19937_64 random_;
};

std::vector<std::string> SystemEntries(const std::wstring& path, DWORD& length) {
    static std::vector<char> buffer(kSystemBufferSize);
    const std::string narrowPath(FromUtf16(path.c_str()).View());
    length = GetPrivateProfileSectionA(kRuleSection, buffer.data(), kSystemBufferSize,
                                       narrowPath.c_str());
    std::vector<std::string> entries;
    for (size_t start = 0; start < length;) {
        const std::string entry(buffer.data() + start);
        entries.push_back(entry);
        start += entry.size() + 1;
    }
    return entries;
}

bool Appears(const std::string& file, std::string_view text) {
    return text.empty() || file.find(text) != std::string::npos;
}

}  // namespace

TEST(RuleFileFuzz, ReaderMatchesTheSystemAndTakesEveryTextFromTheFile) {
    TempDirectory dir;
    int compared = 0;
    int rules = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < g_count; ++i) {
        const uint64_t seed = g_seed + static_cast<uint64_t>(i);
        Generator generator(seed);
        const std::string file = generator.File();
        const RuleSection section = ParseRuleSection(file);
        std::vector<std::string> ours;
        for (const RuleSectionEntry& entry : section.entries) {
            const Rule rule = RuleFromEntry(entry);
            ++rules;
            // Each text lies inside its own line, and that line inside the file.
            ASSERT_TRUE(Appears(entry.line, rule.key) && Appears(entry.line, rule.operationText) &&
                        Appears(entry.line, rule.target) &&
                        (file.size() >= kCompareBelow || Appears(file, entry.line)))
                << "a rule's text is not in the file; replay with --seed=" << seed << " --count=1";
            ours.push_back(entry.hasEquals ? RoundTrip(entry.key) + "=" + RoundTrip(entry.value)
                                           : RoundTrip(entry.value));
        }

        // The system's reader takes quadratic time on tens of thousands of entries, and
        // its sections are compared only under 32 KB anyway.
        if (file.size() >= kCompareBelow)
            continue;
        // Fresh names in turn, so the system's profile cache never answers for an old file.
        const std::wstring path = dir / (L"case" + std::to_wstring(i % 64) + L".ini");
        ASSERT_TRUE(WriteFileBytes(path, file));
        DWORD length = 0;
        const std::vector<std::string> system = SystemEntries(path, length);
        if (length >= kCompareBelow)
            continue;
        ++compared;
        if (system != ours)
            WriteFileBytes(dir / L"..\\rule_fuzz_failure.ini", file);
        ASSERT_EQ(system, ours) << "differs from the system's reader; replay with --seed=" << seed
                                << " --count=1";
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf(
        "rule fuzz: %d cases from seed %llu, %d rules built, %d compared with the "
        "system's reader, 0 differences, 0 crashes, %.1f s\n",
        g_count, static_cast<unsigned long long>(g_seed), rules, compared, seconds);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--seed=", 0) == 0)
            g_seed = std::strtoull(argument.c_str() + 7, nullptr, 10);
        else if (argument.rfind("--count=", 0) == 0)
            g_count = std::atoi(argument.c_str() + 8);
    }
    return RUN_ALL_TESTS();
}
