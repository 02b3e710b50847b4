#include "support/HeicImage.h"

#include <libheif/heif.h>

#include <memory>

namespace salvora::test {
namespace {

heif_error appendTo(heif_context*, const void* data, size_t size, void* userdata) {
    static_cast<std::string*>(userdata)->append(static_cast<const char*>(data), size);
    return {heif_error_Ok, heif_suberror_Unspecified, "Success"};
}

}  // namespace

std::string heicImage(int width, int height) {
    if (!heif_have_encoder_for_format(heif_compression_HEVC)) return {};
    std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(),
                                                                   heif_context_free);
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &encoder).code !=
        heif_error_Ok)
        return {};
    std::unique_ptr<heif_encoder, void (*)(heif_encoder*)> owned(encoder, heif_encoder_release);
    heif_image* made = nullptr;
    if (heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &made)
            .code != heif_error_Ok)
        return {};
    std::unique_ptr<heif_image, void (*)(const heif_image*)> image(made, heif_image_release);
    heif_image_add_plane(image.get(), heif_channel_interleaved, width, height, 8);
    int stride = 0;
    std::uint8_t* pixels = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = pixels + y * stride + 3 * x;
            pixel[0] = static_cast<std::uint8_t>(x * 255 / width);
            pixel[1] = static_cast<std::uint8_t>(y * 255 / height);
            pixel[2] = 128;
        }
    if (heif_context_encode_image(context.get(), image.get(), encoder, nullptr, nullptr).code !=
        heif_error_Ok)
        return {};
    std::string bytes;
    heif_writer writer{1, appendTo};
    if (heif_context_write(context.get(), &writer, &bytes).code != heif_error_Ok) return {};
    return bytes;
}

}  // namespace salvora::test
