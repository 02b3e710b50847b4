#pragma once

// A small real HEIC photo, encoded by libheif's own HEVC encoder, as an iPhone's camera leaves
// one: for tests of what is made of it.
#include <string>

namespace salvora::test {

// A `width` × `height` image of colour bands; empty when libheif has no HEVC encoder here.
std::string heicImage(int width = 64, int height = 48);

}  // namespace salvora::test
