#include "app/metadata/photo_facts.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr char kSeparator[] = " \xC2\xB7 ";  // " · "
constexpr char kTimes[] = "\xC3\x97";        // "×"

std::string Formatted(const char* format, double value) {
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// One decimal, without a ".0".
std::string OneDecimal(double value) {
    std::string text = Formatted("%.1f", value);
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0)
        text.resize(text.size() - 2);
    return text;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(prefix[i]))
            return false;
    }
    return true;
}

void Append(std::string& line, const std::string& fact, const char* separator) {
    if (fact.empty())
        return;
    if (!line.empty())
        line += separator;
    line += fact;
}

}  // namespace

std::string PixelSizeFact(const ImageMetadata& photo) {
    if (!photo.pixelSize || photo.pixelSize->width == 0 || photo.pixelSize->height == 0)
        return {};
    uint32_t width = photo.pixelSize->width, height = photo.pixelSize->height;
    if (photo.orientation && *photo.orientation >= 5 && *photo.orientation <= 8)
        std::swap(width, height);
    return std::to_string(width) + kTimes + std::to_string(height);
}

std::string TimeFact(const ImageMetadata& photo, const FileFacts& file) {
    if (!photo.dateTimeOriginal || photo.dateTimeOriginal->empty())
        return file.lastWriteTime;
    // "YYYY:MM:DD hh:mm:ss" as written, the date's colons as dashes.
    std::string time = *photo.dateTimeOriginal;
    if (time.size() >= 10 && time[4] == ':' && time[7] == ':')
        time[4] = time[7] = '-';
    return time;
}

std::string CameraFact(const ImageMetadata& photo) {
    const std::string model = photo.model.value_or("");
    const std::string make = photo.make.value_or("");
    if (model.empty())
        return make;
    if (make.empty() || StartsWithIgnoringCase(model, make))
        return model;
    return make + " " + model;
}

std::string ShutterSpeedFact(const Rational& seconds) {
    if (seconds.numerator == 0)
        return {};
    const double value = seconds.Value();
    if (value < 1)
        return "1/" + Formatted("%.0f", std::round(1 / value)) + " s";
    return OneDecimal(value) + " s";
}

std::string ApertureFact(const Rational& fNumber) {
    return fNumber.numerator == 0 ? std::string() : "f/" + OneDecimal(fNumber.Value());
}

std::string FocalLengthFact(const Rational& millimetres) {
    return millimetres.numerator == 0 ? std::string()
                                      : Formatted("%.0f", std::round(millimetres.Value())) + " mm";
}

std::string FileSizeFact(uint64_t bytes) {
    constexpr double kKilobyte = 1024, kMegabyte = 1024 * 1024;
    if (bytes >= kMegabyte)
        return Formatted("%.1f", bytes / kMegabyte) + " MB";
    return Formatted("%.0f", std::round(bytes / kKilobyte)) + " KB";
}

std::string FactsLine(const ImageMetadata& photo, const FileFacts& file) {
    std::string exposure;
    if (photo.exposureTime)
        Append(exposure, ShutterSpeedFact(*photo.exposureTime), " ");
    if (photo.fNumber)
        Append(exposure, ApertureFact(*photo.fNumber), " ");
    if (photo.iso && *photo.iso > 0)
        Append(exposure, "ISO " + std::to_string(*photo.iso), " ");
    if (photo.focalLength)
        Append(exposure, FocalLengthFact(*photo.focalLength), " ");
    std::string line;
    for (const std::string& fact : {PixelSizeFact(photo), TimeFact(photo, file), CameraFact(photo),
                                    exposure, FileSizeFact(file.size)})
        Append(line, fact, kSeparator);
    return line;
}
