#include "export/BrowserImage.h"

#include <libheif/heif.h>
#include <turbojpeg.h>

#include <cerrno>
#include <cstdint>
#include <memory>

#include "foundation/FileDescriptor.h"
#include "foundation/FileReading.h"
#include "foundation/Path.h"

namespace salvora {
namespace {

// No phone's photo comes near: a larger image would only cost memory to decode.
constexpr std::size_t mostFileBytes = 256u << 20;
constexpr long long mostPixels = 200'000'000;
// A side longer than this is refused before libheif makes room for the image, whatever size the
// file gives it elsewhere (a grid says its own): a crafted file of a few bytes could otherwise
// ask for gigabytes. The rare panorama wider than this keeps only its original, as a HEIC that
// doesn't decode does.
constexpr int mostSide = 12'000;
constexpr int jpegQuality = 90;

Error decodeError(std::string reason) {
    return Error{"Could not decode the image", {}, std::move(reason)};
}

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleFree {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageFree {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct CompressorFree {
    void operator()(void* compressor) const { tjDestroy(compressor); }
};
struct JpegFree {
    void operator()(unsigned char* bytes) const { tjFree(bytes); }
};

}  // namespace

bool isHeifImage(std::string_view mimeType, std::string_view name) {
    if (!mimeType.empty() && mimeType != "application/octet-stream")
        return mimeType == "image/heic" || mimeType == "image/heif" ||
               mimeType == "image/heic-sequence" || mimeType == "image/heif-sequence";
    return hasEnding(name, ".heic") || hasEnding(name, ".heif");
}

std::string browserImageName(std::string_view name) { return std::string(name) + ".jpg"; }

Result<std::vector<unsigned char>> jpegOfHeif(std::span<const std::byte> heif) {
    std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    if (!context) return decodeError("out of memory");
    heif_context_set_maximum_image_size_limit(context.get(), mostSide);
    heif_error read = heif_context_read_from_memory_without_copy(context.get(), heif.data(),
                                                                 heif.size(), nullptr);
    if (read.code != heif_error_Ok) return decodeError(read.message);
    heif_image_handle* primary = nullptr;
    if (heif_error got = heif_context_get_primary_image_handle(context.get(), &primary);
        got.code != heif_error_Ok)
        return decodeError(got.message);
    std::unique_ptr<heif_image_handle, HandleFree> handle(primary);
    const long long width = heif_image_handle_get_width(handle.get());
    const long long height = heif_image_handle_get_height(handle.get());
    if (width <= 0 || height <= 0 || width * height > mostPixels)
        return decodeError("its size is not that of a photo");
    heif_image* decoded = nullptr;
    if (heif_error got = heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                                           heif_chroma_interleaved_RGB, nullptr);
        got.code != heif_error_Ok)
        return decodeError(got.message);
    std::unique_ptr<heif_image, ImageFree> image(decoded);
    int stride = 0;
    const std::uint8_t* pixels =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int shownWidth = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int shownHeight = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (!pixels || shownWidth <= 0 || shownHeight <= 0 || stride < shownWidth * 3)
        return decodeError("it holds no picture");

    std::unique_ptr<void, CompressorFree> compressor(tjInitCompress());
    if (!compressor) return Error{"Could not encode a JPEG", {}, tjGetErrorStr2(nullptr)};
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    const int status = tjCompress2(compressor.get(), pixels, shownWidth, stride, shownHeight,
                                   TJPF_RGB, &jpeg, &jpegSize, TJSAMP_420, jpegQuality, 0);
    std::unique_ptr<unsigned char, JpegFree> owned(jpeg);
    if (status != 0 || !jpeg)
        return Error{"Could not encode a JPEG", {}, tjGetErrorStr2(compressor.get())};
    return std::vector<unsigned char>(jpeg, jpeg + jpegSize);
}

Result<std::string> makeJpegBeside(const OpenFolder& folder, std::string_view name,
                                   ModificationTime modificationTime) {
    auto heif = readFile(folder, name, mostFileBytes + 1);
    if (!heif) return heif.error();
    if (heif->size() > mostFileBytes) return decodeError("it is larger than a photo is");
    auto jpeg = jpegOfHeif(heif->bytes());
    if (!jpeg) return Error{jpeg.error().operation, folder.pathOf(name), jpeg.error().reason};
    const std::string jpegName = browserImageName(name);
    const ContentsWriter write = [&](int fd) -> Status {
        if (!writeAll(fd, std::as_bytes(std::span(jpeg->data(), jpeg->size()))))
            return Error::fromErrno("Could not write", folder.pathOf(jpegName), errno);
        return {};
    };
    if (Status made = createFile(folder, jpegName, write, modificationTime); !made)
        return made.error();
    return jpegName;
}

}  // namespace salvora
