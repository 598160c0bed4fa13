// When each listed file was taken, for the capture-time order: a photo's DateTimeOriginal
// (with SubSecTimeOriginal) as written, which is local wall-clock time; for a file without
// one, its last-write time turned into local time. The times are read on a worker after the
// listing, through the image metadata reader, from the first 256 KB of each JPEG, TIFF or
// raw file; other files give their write time at once.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/base/ui_thread.h"
#include "app/order/row_order.h"

// "YYYY:MM:DD hh:mm:ss" and its sub-second digits ("5" is half a second) as comparable
// numbers; nothing for a text that is no such time, or the zero time cameras write when
// their clock is unset.
std::optional<CaptureTime> ParseExifCaptureTime(std::string_view dateTime,
                                                std::string_view subSeconds);
// A file time (UTC) as the local wall-clock time of that day.
CaptureTime LocalCaptureTime(const FILETIME& utc);
// True for the extensions whose files hold a TIFF structure or EXIF the reader reads.
bool HasCaptureTimeMetadata(std::wstring_view name);
// The time of one file; the zero time when it can be read neither way.
CaptureTime ReadCaptureTime(const std::wstring& path, std::wstring_view name);

// Runs on the UI thread with every file's time, in the order of the names given.
using CaptureTimesReceiver = std::function<void(std::vector<CaptureTime>&& times)>;

// The capture times of one listing, read on a worker. A new read cancels the one before.
class CaptureTimeReading {
  public:
    CaptureTimeReading() = default;
    CaptureTimeReading(const CaptureTimeReading&) = delete;
    CaptureTimeReading& operator=(const CaptureTimeReading&) = delete;
    ~CaptureTimeReading() { Cancel(); }

    // Reads the times of `names` inside `directory` (ending with "\"); `receive` gets them
    // all at once. False when no thread could be started.
    bool Start(std::wstring directory, std::vector<std::wstring> names,
               CaptureTimesReceiver receive);
    // The worker stops at its next file and reports nothing.
    void Cancel();
    bool Running() const { return running_; }

  private:
    std::shared_ptr<std::atomic<bool>> cancelled_;
    UiReceiver receiver_;
    bool running_ = false;
};
