// Small PNG pictures made in code: truecolour, uncompressed deflate blocks, real CRCs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace sample {

// Colour of one pixel as 0xRRGGBB.
using PixelFunction = std::function<uint32_t(int x, int y)>;

// The bytes of a width x height PNG file whose pixels the function gives.
std::string MakePng(int width, int height, const PixelFunction& pixel);

}  // namespace sample
