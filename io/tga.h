// Reader for uncompressed and run-length-encoded true-colour TGA images of
// 24 or 32 bits per pixel (and, for height maps, 8-bit grey). Pixels always
// come out top row first in R, G, B(, A) order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// No image the editor reads may be wider or higher than this.
constexpr int kMaxImageSide = 8192;

// What the caller accepts. The size limit is checked against the header
// before anything is allocated or read beyond it.
struct TgaOptions {
    int maxSide = kMaxImageSide; // widths and heights above it are refused
    bool greyAndImageId = false; // also 8-bit grey (types 3 and 11) and files with an image ID field
};

struct Image {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;        // 24 or 32; 8 for a grey image (only with greyAndImageId)
    std::vector<uint8_t> pixels; // width * height * bitsPerPixel / 8, empty on failure
    std::string failure;         // readTga only: the reason for the user when there are no pixels
};

// Reads `path`; on failure the returned image has no pixels and `failure`
// says why. Prints "Failed to open TGA: %s" or "File is too small to be TGA:
// %s" to stderr for those two failures, as the stamp list relies on.
Image readTga(const std::string& path, const TgaOptions& options = {});
// The same on bytes already in memory (no messages); used by the fuzzer.
Image decodeTga(const uint8_t* data, size_t size, const TgaOptions& options = {});
// "Image too large (at most N x N): NAME", the refusal of any image reader
// whose side limit is `maxSide`.
std::string imageTooLargeMessage(int maxSide, const std::string& name);
