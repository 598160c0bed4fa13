#include "app/preview/image_decoder.h"

#include <shlwapi.h>
#include <wrl/client.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <mutex>

#include "app/metadata/image_metadata.h"
#include "app/metadata/photo_facts.h"
#include "app/metadata/raw_previews.h"
#include "app/preview/file_byte_source.h"
#include "app/preview/shared_file_stream.h"

using Microsoft::WRL::ComPtr;

namespace {

// Files up to this size are read into memory whole and decoded from there; larger ones
// are decoded through a stream over the shared file handle.
constexpr LONGLONG kInMemoryLimit = 64LL << 20;
constexpr int32_t kBandRows = 64;
constexpr int64_t kLargeSourcePixels = 40'000'000;

// The orientation WIC's metadata reader gives for the frame; 0 when it gives none.
int QueriedOrientation(IWICBitmapFrameDecode* frame) {
    ComPtr<IWICMetadataQueryReader> reader;
    if (FAILED(frame->GetMetadataQueryReader(&reader)))
        return 0;
    for (const wchar_t* query : {L"/app1/ifd/{ushort=274}", L"/ifd/{ushort=274}"}) {
        PROPVARIANT value;
        PropVariantInit(&value);
        int orientation = 0;
        if (SUCCEEDED(reader->GetMetadataByName(query, &value)) && value.vt == VT_UI2)
            orientation = value.uiVal;
        PropVariantClear(&value);
        if (orientation >= 1 && orientation <= 8)
            return orientation;
    }
    return 0;
}

// The file as a stream WIC can decode. The file itself is closed already when it fitted in
// memory.
struct OpenedImage {
    ComPtr<IStream> stream;
    std::vector<uint8_t> memory;  // the whole file; empty when it is decoded from the file
    FileFacts file;
    bool rawOrientation = false;  // a RAW's JPEG: turned as the RAW says, never as WIC says
};

// The metadata reader's bytes from the stream WIC decodes, for a file too large to be read
// whole: the file is opened once.
class StreamByteSource final : public ByteSource {
  public:
    StreamByteSource(IStream* stream, uint64_t size) : stream_(stream), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, size_t length, uint8_t* out) override {
        LARGE_INTEGER at = {};
        at.QuadPart = static_cast<LONGLONG>(offset);
        ULONG read = 0;
        return length <= ULONG_MAX && SUCCEEDED(stream_->Seek(at, STREAM_SEEK_SET, nullptr)) &&
               SUCCEEDED(stream_->Read(out, static_cast<ULONG>(length), &read)) && read == length;
    }

  private:
    IStream* stream_;
    uint64_t size_;
};

// "YYYY-MM-DD hh:mm:ss" of a file time, in local time; empty when it cannot be turned.
std::string LocalTimeText(const FILETIME& time) {
    SYSTEMTIME utc = {}, local = {};
    if (!FileTimeToSystemTime(&time, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return {};
    char text[24];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth,
                  local.wDay, local.wHour, local.wMinute, local.wSecond);
    return text;
}

std::wstring Utf16(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            length);
    return wide;
}

// A WIC stream over the bytes in `opened.memory`.
bool StreamFromMemory(IWICImagingFactory* factory, OpenedImage& opened) {
    ComPtr<IWICStream> stream;
    if (opened.memory.empty() || FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(opened.memory.data(),
                                            static_cast<DWORD>(opened.memory.size()))))
        return false;
    opened.stream = stream;
    return true;
}

bool OpenImage(IWICImagingFactory* factory, const std::wstring& path, OpenedImage& opened) {
    UniqueFile file = OpenFileShared(path);
    LARGE_INTEGER size = {};
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!file || !GetFileSizeEx(file.Get(), &size) ||
        !GetFileInformationByHandle(file.Get(), &information))
        return false;
    opened.file = {static_cast<uint64_t>(size.QuadPart),
                   LocalTimeText(information.ftLastWriteTime)};
    if (size.QuadPart > kInMemoryLimit) {
        opened.stream.Attach(CreateSharedFileStream(std::move(file)));
        return opened.stream != nullptr;
    }
    opened.memory.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!opened.memory.empty() &&
        !ReadFile(file.Get(), opened.memory.data(), static_cast<DWORD>(opened.memory.size()), &read,
                  nullptr))
        return false;
    opened.memory.resize(read);
    return StreamFromMemory(factory, opened);
}

// A camera RAW shows the largest JPEG stored in it, read as one byte range and decoded from
// memory, turned as the RAW says (the JPEG's own EXIF may describe the sensor, not the
// shot); the facts are the RAW's own. False when the file is no RAW or holds no JPEG: it
// then goes the ordinary way.
bool OpenRawPreview(IWICImagingFactory* factory, const std::wstring& path, OpenedImage& opened,
                    ImageMetadata& photo) {
    if (!IsRawExtension(PathFindExtensionW(path.c_str())))
        return false;
    FileByteSource file(path);
    const RawPreviews previews = FindRawPreviews(file);
    if (!previews.largest || previews.largest->length > static_cast<uint64_t>(kInMemoryLimit))
        return false;
    opened.memory.resize(static_cast<size_t>(previews.largest->length));
    if (!file.Read(previews.largest->offset, opened.memory.size(), opened.memory.data()) ||
        !StreamFromMemory(factory, opened)) {
        opened = {};
        return false;
    }
    opened.file = {file.Size(), LocalTimeText(file.LastWriteTime())};
    photo = ReadImageMetadata(file);
    photo.orientation = previews.orientation.value_or(1);
    opened.rawOrientation = true;
    return true;
}

// The upright size a photo of these facts is shown at; 0 x 0 when they give none.
PixelSize UprightSize(const ImageMetadata& photo) {
    if (!photo.pixelSize || photo.pixelSize->width > INT32_MAX ||
        photo.pixelSize->height > INT32_MAX)
        return {};
    const PixelSize stored = {static_cast<int32_t>(photo.pixelSize->width),
                              static_cast<int32_t>(photo.pixelSize->height)};
    return OrientationSwapsSides(photo.orientation.value_or(1))
               ? PixelSize{stored.height, stored.width}
               : stored;
}

// The facts the file's own TIFF structure records, from the bytes WIC decodes: in memory
// when the file is there whole, else a few bytes at a time through the stream.
ImageMetadata RecordedMetadata(const OpenedImage& opened) {
    if (!opened.memory.empty()) {
        MemoryByteSource whole(opened.memory.data(), opened.memory.size());
        return ReadImageMetadata(whole);
    }
    StreamByteSource stream(opened.stream.Get(), opened.file.size);
    ImageMetadata metadata = ReadImageMetadata(stream);
    const LARGE_INTEGER start = {};
    opened.stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return metadata;
}

std::optional<PreviewImage> Decode(IWICImagingFactory* factory, const OpenedImage& opened,
                                   ImageMetadata& photo, PixelSize box,
                                   const std::function<bool()>& wanted) {
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (FAILED(factory->CreateDecoderFromStream(opened.stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
        width == 0 || height == 0 || static_cast<int64_t>(width) * height > kMaximumSourcePixels)
        return PreviewImage();

    int orientation = opened.rawOrientation ? 0 : QueriedOrientation(frame.Get());
    if (orientation == 0)
        orientation = photo.orientation.value_or(0);
    // The facts line shows what the decoder decoded, turned as shown.
    photo.pixelSize = ImageDimensions{width, height};
    photo.orientation = orientation;
    const bool swap = OrientationSwapsSides(orientation);
    const PixelSize full = {static_cast<int32_t>(width), static_cast<int32_t>(height)};
    const PixelSize upright = swap ? PixelSize{full.height, full.width} : full;
    const PixelSize shown = FitInside(upright, box);
    const PixelSize photoSize = upright;
    const PixelSize target = swap ? PixelSize{shown.height, shown.width} : shown;

    // The scaler sits right on the frame, so it lets a decoder that can scale while it
    // decodes (JPEG: 1/2, 1/4, 1/8) do so, and the full image is never decoded.
    ComPtr<IWICBitmapSource> source = frame;
    if (!(target == full)) {
        ComPtr<IWICBitmapScaler> scaler;
        if (FAILED(factory->CreateBitmapScaler(&scaler)) ||
            FAILED(scaler->Initialize(source.Get(), target.width, target.height,
                                      WICBitmapInterpolationModeFant)))
            return PreviewImage();
        source = scaler;
    }
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(source.Get(), GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return PreviewImage();
    // Several workers decode at once, but a very large photo's decoder holds the whole
    // source image (some 300 MB at 100 megapixels): one such decode at a time, so the
    // 32-bit address space holds.
    static std::mutex largeDecodes;
    std::unique_lock<std::mutex> oneLarge(largeDecodes, std::defer_lock);
    if (static_cast<int64_t>(width) * height > kLargeSourcePixels)
        oneLarge.lock();
    PreviewImage image;
    image.pixels.resize(static_cast<size_t>(target.width) * target.height);
    const UINT stride = static_cast<UINT>(target.width) * 4;
    // In bands, so that a decode nobody wants any more stops early where the decoder
    // works row by row.
    for (int32_t top = 0; top < target.height; top += kBandRows) {
        if (wanted && !wanted())
            return std::nullopt;
        const WICRect band = {0, top, target.width, std::min(kBandRows, target.height - top)};
        BYTE* first =
            reinterpret_cast<BYTE*>(image.pixels.data() + static_cast<size_t>(top) * target.width);
        if (FAILED(converter->CopyPixels(&band, stride, stride * band.Height, first)))
            return PreviewImage();
    }
    image.width = target.width;
    image.height = target.height;
    CompositeOverBackground(image.pixels, kPreviewBackground);
    image = ApplyOrientation(std::move(image), orientation);
    image.photoSize = photoSize;
    return image;
}

}  // namespace

PixelSize FitInside(PixelSize image, PixelSize box) {
    if (image.width <= box.width && image.height <= box.height && image.width > 0 &&
        image.height > 0 && box.width > 0 && box.height > 0)
        return image;
    return ScaleToFit(image, box);
}

PixelSize ScaleToFit(PixelSize image, PixelSize box) {
    if (image.width <= 0 || image.height <= 0 || box.width <= 0 || box.height <= 0)
        return {};
    const int64_t w = image.width, h = image.height;
    // Height-bound when the image is relatively taller than the box.
    if (w * box.height <= h * box.width)
        return {static_cast<int32_t>(std::max<int64_t>(1, (w * box.height + h / 2) / h)),
                box.height};
    return {box.width, static_cast<int32_t>(std::max<int64_t>(1, (h * box.width + w / 2) / w))};
}

bool OrientationSwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

PreviewImage ApplyOrientation(PreviewImage image, int orientation) {
    if (orientation < 2 || orientation > 8 || !image.Decoded())
        return image;
    const int32_t w = image.width, h = image.height;
    PreviewImage turned;
    turned.width = OrientationSwapsSides(orientation) ? h : w;
    turned.height = OrientationSwapsSides(orientation) ? w : h;
    turned.pixels.resize(image.pixels.size());
    // Each orientation as the steps from an upright position back to the stored one:
    // swap the axes, then mirror left-right and/or top-bottom.
    struct Steps {
        bool swap, mirrorX, mirrorY;
    };
    static constexpr Steps kSteps[9] = {{},
                                        {},
                                        {false, true, false},
                                        {false, true, true},
                                        {false, false, true},
                                        {true, false, false},
                                        {true, false, true},
                                        {true, true, true},
                                        {true, true, false}};
    const Steps steps = kSteps[orientation];
    for (int32_t y = 0; y < turned.height; ++y) {
        for (int32_t x = 0; x < turned.width; ++x) {
            const int32_t u = steps.swap ? y : x, v = steps.swap ? x : y;
            const int32_t sx = steps.mirrorX ? w - 1 - u : u;
            const int32_t sy = steps.mirrorY ? h - 1 - v : v;
            turned.pixels[static_cast<size_t>(y) * turned.width + x] =
                image.pixels[static_cast<size_t>(sy) * w + sx];
        }
    }
    return turned;
}

void CompositeOverBackground(std::vector<uint32_t>& pixels, COLORREF background) {
    const uint32_t backgroundChannels[3] = {GetBValue(background), GetGValue(background),
                                            GetRValue(background)};
    for (uint32_t& pixel : pixels) {
        const uint32_t alpha = pixel >> 24;
        uint32_t result = 0;
        for (int channel = 0; channel < 3; ++channel) {
            const uint32_t value = pixel >> (8 * channel) & 0xFF;
            const uint32_t mixed =
                value + (backgroundChannels[channel] * (255 - alpha) + 127) / 255;
            result |= std::min<uint32_t>(mixed, 255) << (8 * channel);
        }
        pixel = result;
    }
}

std::wstring LowerExtension(std::wstring_view extension) {
    std::wstring lower(extension);
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return lower;
}

std::vector<std::wstring> SplitExtensionList(std::wstring_view list) {
    std::vector<std::wstring> extensions;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find_first_of(L",;", start);
        if (end == std::wstring_view::npos)
            end = list.size();
        std::wstring_view piece = list.substr(start, end - start);
        while (!piece.empty() && piece.front() == L' ')
            piece.remove_prefix(1);
        while (!piece.empty() && piece.back() == L' ')
            piece.remove_suffix(1);
        if (!piece.empty())
            extensions.push_back(LowerExtension(
                piece.front() == L'.' ? std::wstring(piece) : L"." + std::wstring(piece)));
        start = end + 1;
    }
    return extensions;
}

std::vector<std::wstring> InstalledImageExtensions(IWICImagingFactory* factory) {
    std::vector<std::wstring> extensions;
    ComPtr<IEnumUnknown> components;
    if (!factory || FAILED(factory->CreateComponentEnumerator(
                        WICDecoder, WICComponentEnumerateDefault, &components)))
        return extensions;
    ComPtr<IUnknown> component;
    ULONG fetched = 0;
    while (components->Next(1, component.ReleaseAndGetAddressOf(), &fetched) == S_OK) {
        ComPtr<IWICBitmapCodecInfo> codec;
        UINT length = 0;
        if (FAILED(component.As(&codec)) || FAILED(codec->GetFileExtensions(0, nullptr, &length)) ||
            length == 0)
            continue;
        std::wstring list(length, L'\0');
        if (FAILED(codec->GetFileExtensions(length, list.data(), &length)))
            continue;
        list.resize(wcsnlen(list.c_str(), list.size()));
        for (std::wstring& extension : SplitExtensionList(list))
            if (std::find(extensions.begin(), extensions.end(), extension) == extensions.end())
                extensions.push_back(std::move(extension));
    }
    return extensions;
}

std::optional<PreviewImage> DecodePreview(IWICImagingFactory* factory, const std::wstring& path,
                                          PixelSize box, const std::function<bool()>& wanted) {
    if (!factory || box.width <= 0 || box.height <= 0)
        return PreviewImage();
    OpenedImage opened;
    ImageMetadata photo;
    if (!OpenRawPreview(factory, path, opened, photo)) {
        if (!OpenImage(factory, path, opened))
            return PreviewImage();
        photo = RecordedMetadata(opened);
    }
    std::optional<PreviewImage> image = Decode(factory, opened, photo, box, wanted);
    if (image)
        // A file that did not decode is no photo to the line: its time and size only.
        image->facts = Utf16(FactsLine(image->Decoded() ? photo : ImageMetadata{}, opened.file));
    return image;
}

PreviewImage DecodePlaceholder(IWICImagingFactory* factory, const std::wstring& path) {
    // Thumbnails are some 10 to 100 KB; a quick read stops well short of a full photo.
    constexpr uint64_t kLargestPlaceholder = 1 << 20;
    constexpr PixelSize kAnySize = {1 << 14, 1 << 14};
    if (!factory)
        return {};
    FileByteSource file(path);
    ImageMetadata photo = ReadImageMetadata(file);
    std::optional<ByteRange> small = photo.thumbnail;
    if (IsRawExtension(PathFindExtensionW(path.c_str()))) {
        const RawPreviews previews = FindRawPreviews(file);
        if (previews.jpegs.empty())
            return {};
        small = *std::min_element(
            previews.jpegs.begin(), previews.jpegs.end(),
            [](const ByteRange& a, const ByteRange& b) { return a.length < b.length; });
        // The photo is shown from its largest JPEG, at that JPEG's size.
        ByteRangeSource largest(file, *previews.largest);
        photo.pixelSize = ReadImageMetadata(largest).pixelSize;
        photo.orientation = previews.orientation.value_or(1);
    }
    if (!small || small->length == 0 || small->length > kLargestPlaceholder)
        return {};
    OpenedImage opened;
    opened.memory.resize(static_cast<size_t>(small->length));
    if (!file.Read(small->offset, opened.memory.size(), opened.memory.data()) ||
        !StreamFromMemory(factory, opened))
        return {};
    // A thumbnail is stored as the photo is, so it turns as the photo's facts say.
    opened.rawOrientation = true;
    ImageMetadata stored = photo;
    std::optional<PreviewImage> image = Decode(factory, opened, stored, kAnySize, nullptr);
    if (!image || !image->Decoded())
        return {};
    image->photoSize = UprightSize(photo);
    image->facts = Utf16(FactsLine(photo, {file.Size(), LocalTimeText(file.LastWriteTime())}));
    return std::move(*image);
}
