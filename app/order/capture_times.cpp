#include "app/order/capture_times.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <system_error>
#include <thread>

#include "app/metadata/image_metadata.h"
#include "app/preview/file_byte_source.h"
#include "runtime/guard.h"

namespace {

constexpr uint64_t kMetadataBytes = 256 * 1024;

// The first 256 KB of a file, its first block read in one go: the reader's many small
// reads of a JPEG's EXIF or a TIFF's first directories are served from memory.
class FileStartSource final : public ByteSource {
  public:
    explicit FileStartSource(const std::wstring& path) : file_(path) {
        size_ = std::min(file_.Size(), kMetadataBytes);
        const size_t first = static_cast<size_t>(std::min<uint64_t>(size_, block_.size()));
        if (file_.IsOpen() && file_.Read(0, first, block_.data()))
            blockSize_ = first;
    }
    bool IsOpen() const { return file_.IsOpen(); }
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, size_t length, uint8_t* out) override {
        if (offset > size_ || length > size_ - offset)
            return false;
        if (offset + length <= blockSize_) {
            std::copy_n(block_.data() + offset, length, out);
            return true;
        }
        return file_.Read(offset, length, out);
    }

  private:
    FileByteSource file_;
    uint64_t size_ = 0;
    std::array<uint8_t, 64 * 1024> block_{};
    uint64_t blockSize_ = 0;
};

bool ReadDigits(std::string_view text, size_t at, size_t count, int64_t& value) {
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

std::optional<CaptureTime> CaptureTimeFromMetadata(const std::wstring& path) {
    FileStartSource source(path);
    if (!source.IsOpen())
        return std::nullopt;
    const ImageMetadata facts = ReadImageMetadata(source);
    if (!facts.dateTimeOriginal)
        return std::nullopt;
    return ParseExifCaptureTime(*facts.dateTimeOriginal, facts.subSecTimeOriginal.value_or(""));
}

CaptureTime WriteTimeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return {};
    return LocalCaptureTime(data.ftLastWriteTime);
}

}  // namespace

std::optional<CaptureTime> ParseExifCaptureTime(std::string_view dateTime,
                                                std::string_view subSeconds) {
    // "YYYY:MM:DD hh:mm:ss": digits with separators at fixed places.
    static constexpr std::array<std::pair<size_t, size_t>, 6> kFields = {
        {{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}}};
    if (dateTime.size() < 19)
        return std::nullopt;
    int64_t wallClock = 0;
    for (const auto& [at, count] : kFields)
        if (!ReadDigits(dateTime, at, count, wallClock))
            return std::nullopt;
    if (wallClock == 0)
        return std::nullopt;
    CaptureTime time{wallClock, 0};
    // The digits are a fraction of the second: at most nine count.
    uint32_t scale = 100'000'000;
    for (const char digit : subSeconds) {
        if (digit < '0' || digit > '9' || scale == 0)
            break;
        time.nanoseconds += static_cast<uint32_t>(digit - '0') * scale;
        scale /= 10;
    }
    return time;
}

CaptureTime LocalCaptureTime(const FILETIME& utc) {
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return {};
    const int64_t wallClock =
        ((((local.wYear * 100LL + local.wMonth) * 100 + local.wDay) * 100 + local.wHour) * 100 +
         local.wMinute) *
            100 +
        local.wSecond;
    const uint64_t ticks = (static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
    return {wallClock, static_cast<uint32_t>(ticks % 10'000'000) * 100};
}

bool HasCaptureTimeMetadata(std::wstring_view name) {
    static constexpr std::wstring_view kExtensions[] = {
        L".jpg", L".jpeg", L".jpe", L".jfif", L".tif", L".tiff", L".dng", L".nef", L".nrw",
        L".cr2", L".arw",  L".srf", L".sr2",  L".pef", L".orf",  L".rw2", L".srw"};
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos)
        return false;
    const std::wstring_view extension = name.substr(dot);
    return std::any_of(std::begin(kExtensions), std::end(kExtensions), [&](std::wstring_view e) {
        return CompareStringOrdinal(extension.data(), static_cast<int>(extension.size()), e.data(),
                                    static_cast<int>(e.size()), TRUE) == CSTR_EQUAL;
    });
}

CaptureTime ReadCaptureTime(const std::wstring& path, std::wstring_view name) {
    if (HasCaptureTimeMetadata(name))
        if (const std::optional<CaptureTime> taken = CaptureTimeFromMetadata(path))
            return *taken;
    return WriteTimeOf(path);
}

void CaptureTimeReading::Cancel() {
    if (cancelled_)
        cancelled_->store(true);
    cancelled_.reset();
    receiver_.Reopen();
    running_ = false;
}

bool CaptureTimeReading::Start(std::wstring directory, std::vector<std::wstring> names,
                               CaptureTimesReceiver receive) {
    Cancel();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    auto work = [directory = std::move(directory), names = std::move(names),
                 route = receiver_.Route(), receive = std::move(receive), cancelled,
                 this]() noexcept {
        RunGuarded([&] {
            auto times = std::make_shared<std::vector<CaptureTime>>();
            times->reserve(names.size());
            for (const std::wstring& name : names) {
                if (cancelled->load())
                    return;
                times->push_back(ReadCaptureTime(directory + name, name));
            }
            route.Post([this, receive, times] {
                running_ = false;
                receive(std::move(*times));
            });
        });
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        return false;
    }
    cancelled_ = std::move(cancelled);
    running_ = true;
    return true;
}
