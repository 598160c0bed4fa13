// Measures the comparison of two identical 1 GB files, as a copy onto a taken name makes it,
// against a bare loop that reads both files once in pieces of the same size, in one run. Both
// files hold real bytes, written and read once before the first round, so every round reads
// them from the system's cache; a first round is not counted, and the two take turns in an
// order that alternates from round to round.
// Usage: bench_compare.exe <folder> [rounds]
// Prints each round, the best and the median of each in milliseconds and their ratios.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/base/unique_file.h"
#include "app/operations/file_comparison.h"
#include "tests/support/bench_timing.h"

namespace {

constexpr uint64_t kFileSize = 1ULL << 30;
constexpr DWORD kPieceBytes = 256 << 10;

bool WriteRealBytes(const std::wstring& path) {
    std::vector<char> block(16 << 20);
    std::mt19937 random(20261207);
    for (char& b : block)
        b = static_cast<char>(random());
    const UniqueFile file =
        OwnedFile(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return false;
    for (uint64_t done = 0; done < kFileSize; done += block.size()) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), block.data(), static_cast<DWORD>(block.size()), &written,
                       nullptr) ||
            written != block.size())
            return false;
    }
    return FlushFileBuffers(file.Get()) != FALSE;
}

// Reads both files once, a piece of each in turn, as the comparison does, comparing nothing.
uint64_t ReadBoth(const std::wstring& first, const std::wstring& second) {
    const auto open = [](const std::wstring& path) {
        return OwnedFile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    };
    const UniqueFile one = open(first);
    const UniqueFile two = open(second);
    std::vector<char> left(kPieceBytes), right(kPieceBytes);
    uint64_t total = 0;
    for (;;) {
        DWORD a = 0, b = 0;
        if (!ReadFile(one.Get(), left.data(), kPieceBytes, &a, nullptr) ||
            !ReadFile(two.Get(), right.data(), kPieceBytes, &b, nullptr) || a == 0)
            return total;
        total += a + b;
    }
}

}  // namespace

int main() {
    const std::vector<std::wstring> args = CommandLineWords();
    if (args.size() < 2)
        return WrongUsage("bench_compare <folder> [rounds]");
    const std::wstring folder = args[1];
    const int rounds = args.size() > 2 ? std::max(3, _wtoi(args[2].c_str())) : 5;
    const std::wstring first = folder + L"\\compare-a.bin";
    const std::wstring second = folder + L"\\compare-b.bin";
    if (!WriteRealBytes(first) || !WriteRealBytes(second)) {
        std::fprintf(stderr, "could not write the files\n");
        return 1;
    }
    ReadBoth(first, second);

    std::vector<double> loop, compare;
    const std::atomic<bool> cancel{false};
    bool allSame = true;
    for (int round = 0; round <= rounds; ++round) {
        double times[2] = {};
        for (int turn = 0; turn < 2; ++turn) {
            const bool comparing = (turn + round) % 2 == 1;
            const LARGE_INTEGER start = Now();
            if (comparing)
                allSame &= CompareFileContents(first, second, cancel, nullptr).same;
            else
                ReadBoth(first, second);
            times[comparing ? 1 : 0] = Milliseconds(start, Now());
        }
        std::printf("  round %d: read both %.0f ms, compare %.0f ms%s\n", round, times[0], times[1],
                    round == 0 ? " (not counted)" : "");
        if (round > 0) {
            loop.push_back(times[0]);
            compare.push_back(times[1]);
        }
    }
    DeleteFileW(first.c_str());
    DeleteFileW(second.c_str());
    const double bestLoop = Best(loop);
    const double bestCompare = Best(compare);
    std::printf(
        "  best: read both %.0f ms, compare %.0f ms, compare/read %.2f; median: %.0f ms, "
        "%.0f ms, %.2f (target <= 1.2)\n",
        bestLoop, bestCompare, bestCompare / bestLoop, Median(loop), Median(compare),
        Median(compare) / Median(loop));
    if (!allSame) {
        std::fprintf(stderr, "the comparison did not find the files the same\n");
        return 1;
    }
    return 0;
}
