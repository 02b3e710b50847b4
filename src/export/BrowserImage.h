#pragma once

// A JPEG beside a photo no browser shows: HEIC and HEIF, as iPhones take them, decoded by
// libheif and encoded by libjpeg-turbo.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Error.h"
#include "foundation/FileWriting.h"
#include "foundation/OpenFolder.h"

namespace salvora {

// Whether a file of this type, or else of this name, is a HEIC or HEIF image.
bool isHeifImage(std::string_view mimeType, std::string_view name);

// The primary image of HEIC or HEIF bytes as a JPEG; an error when they don't decode, or when
// the image is larger than a photo is.
Result<std::vector<unsigned char>> jpegOfHeif(std::span<const std::byte> heif);

// The name of the JPEG made beside `name`: the name with ".jpg" added.
std::string browserImageName(std::string_view name);

// Makes browserImageName(name) in the folder from the HEIC or HEIF file `name` there, dated
// `modificationTime`; never replaces a file. The JPEG's name, or an error when the image does not
// decode or the JPEG can't be made.
Result<std::string> makeJpegBeside(const OpenFolder& folder, std::string_view name,
                                   ModificationTime modificationTime);

}  // namespace salvora
