// PNG height maps through libpng: one channel of any PNG in, 16-bit grey out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/file_read.h"

// One channel of a picture, rows top first.
struct ChannelSamples {
    int width = 0;
    int height = 0;
    int maxValue = 0;             // 255 for 8-bit images (and lower depths, widened), 65535 for 16-bit
    std::vector<uint16_t> values; // width * height
};

// Decodes the grey level of a grey PNG, or the red channel of a colour or
// palette PNG (alpha ignored). Sizes above `maxSide` are refused from the
// header, before any pixel memory exists, with `tooLarge` set. On failure
// `failure` holds the reason (without a file name).
bool decodePngChannel(ByteSource& source, int maxSide, ChannelSamples& samples, std::string& failure, bool& tooLarge);
// A 16-bit grey PNG of `values` (width * height, rows top first).
bool encodePngGrey16(int width, int height, const std::vector<uint16_t>& values, std::vector<uint8_t>& out);
