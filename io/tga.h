// Reader for uncompressed and run-length-encoded true-colour TGA images of
// 24 or 32 bits per pixel. Pixels always come out top row first in R, G, B(, A).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;        // 24 or 32
    std::vector<uint8_t> pixels; // width * height * bitsPerPixel / 8, empty on failure
};

// Reads `path`; on failure the returned image has no pixels. Prints
// "Failed to open TGA: %s" or "File is too small to be TGA: %s" to stderr for
// the two failures a user most likely caused; other refusals are silent.
Image readTga(const std::string& path);
// The same on bytes already in memory (no messages); used by the fuzzer.
Image decodeTga(const uint8_t* data, size_t size);
