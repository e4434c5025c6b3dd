// libpng reports errors by longjmp back to the setjmp of the function that
// drives it. So the functions holding a setjmp own no C++ object: what
// they fill lives in their callers, and the callbacks hold only plain data.
#include "io/png_codec.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <png.h>

// Room for ancillary chunks and the compressed stream's overhead beyond the
// largest picture: a PNG needs at most its raw rows stored uncompressed.
static constexpr uint64_t kPngOverheadBytes = 16u << 20;
// The largest ancillary chunk (text, colour profile) libpng may hold in memory.
static constexpr png_alloc_size_t kPngChunkLimit = 8u << 20;

static void storeError(png_structp png, png_const_charp message)
{
    std::string* failure = static_cast<std::string*>(png_get_error_ptr(png));
    if (failure != nullptr && failure->empty())
        *failure = message;
    png_longjmp(png, 1);
}

static void ignoreWarning(png_structp, png_const_charp) {}

// The file's first bytes (signature, the header chunk's length, type and
// sizes) are read before libpng starts, so that the size is checked first;
// libpng then gets them again from here, followed by the rest of the source.
struct PngInput {
    ByteSource* source;
    uint8_t head[24];
    size_t headAt;
};

static void readFromSource(png_structp png, png_bytep out, size_t count)
{
    PngInput* input = static_cast<PngInput*>(png_get_io_ptr(png));
    const size_t fromHead = std::min(count, sizeof input->head - input->headAt);
    std::memcpy(out, input->head + input->headAt, fromHead);
    input->headAt += fromHead;
    if (!takeBytes(*input->source, out + fromHead, count - fromHead))
        png_error(png, "the file ends early");
}

static uint32_t bigEndian32(const uint8_t* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// Reads the header, checks the size and decodes every row into `pixels`.
static bool runDecoder(png_structp png, png_infop info, int maxSide, std::vector<uint8_t>& pixels,
                       std::vector<png_bytep>& rows, ChannelSamples& samples, int& channels)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_chunk_malloc_max(png, kPngChunkLimit);
    // The size limit is the caller's, checked below with its own message.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (width > png_uint_32(maxSide) || height > png_uint_32(maxSide)) // checked before already
        png_error(png, "image too large");
    const int colourType = png_get_color_type(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    channels = png_get_channels(png, info);
    const int bytesPerSample = png_get_bit_depth(png, info) == 16 ? 2 : 1;
    const size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes < size_t(width) * channels * bytesPerSample)
        png_error(png, "unexpected row size");
    pixels.resize(rowBytes * height);
    rows.resize(height);
    for (png_uint_32 row = 0; row < height; ++row)
        rows[row] = pixels.data() + size_t(row) * rowBytes;
    png_read_image(png, rows.data());
    samples.width = int(width);
    samples.height = int(height);
    samples.maxValue = bytesPerSample == 2 ? 65535 : 255;
    return true;
}

bool decodePngChannel(ByteSource& source, int maxSide, ChannelSamples& samples, std::string& failure, bool& tooLarge)
{
    samples = ChannelSamples();
    failure.clear();
    tooLarge = false;
    PngInput input{&source, {}, 0};
    if (!takeBytes(source, input.head, 8) || png_sig_cmp(input.head, 0, 8) != 0) {
        failure = "not a PNG image";
        return false;
    }
    if (!takeBytes(source, input.head + 8, 16) || std::memcmp(input.head + 12, "IHDR", 4) != 0) {
        failure = "damaged PNG image";
        return false;
    }
    if (bigEndian32(input.head + 16) > uint32_t(maxSide) || bigEndian32(input.head + 20) > uint32_t(maxSide)) {
        tooLarge = true;
        failure = "image too large";
        return false;
    }
    // Never read further than the largest accepted picture can need.
    const uint64_t rawBytes = uint64_t(maxSide) * (1 + uint64_t(maxSide) * 8);
    source.size = std::min(source.size, source.at + 2 * rawBytes + kPngOverheadBytes);
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure, storeError, ignoreWarning);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        failure = "out of memory";
        return false;
    }
    png_set_read_fn(png, &input, readFromSource);
    std::vector<uint8_t> pixels;
    std::vector<png_bytep> rows;
    int channels = 0;
    const bool ok = runDecoder(png, info, maxSide, pixels, rows, samples, channels);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        samples = ChannelSamples();
        if (failure.empty())
            failure = "damaged PNG image";
        return false;
    }
    // The first channel is the grey level or the red component; 16-bit
    // samples come big-endian.
    const bool wide = samples.maxValue == 65535;
    const size_t stride = size_t(channels) * (wide ? 2 : 1);
    samples.values.resize(size_t(samples.width) * size_t(samples.height));
    uint16_t* out = samples.values.data();
    for (int row = 0; row < samples.height; ++row) {
        const uint8_t* in = rows[size_t(row)];
        for (int col = 0; col < samples.width; ++col, in += stride)
            *out++ = wide ? uint16_t(in[0] << 8 | in[1]) : in[0];
    }
    return true;
}

static void appendToVector(png_structp png, png_bytep data, size_t count)
{
    std::vector<uint8_t>* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

static void flushNothing(png_structp) {}

static bool runEncoder(png_structp png, png_infop info, int width, int height, std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 16, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    return true;
}

bool encodePngGrey16(int width, int height, const std::vector<uint16_t>& values, std::vector<uint8_t>& out)
{
    out.clear();
    if (width < 1 || height < 1 || values.size() != size_t(width) * size_t(height))
        return false;
    // PNG stores 16-bit samples big-endian.
    std::vector<uint8_t> bytes(values.size() * 2);
    for (size_t i = 0; i < values.size(); ++i) {
        bytes[2 * i] = uint8_t(values[i] >> 8);
        bytes[2 * i + 1] = uint8_t(values[i] & 0xFF);
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int row = 0; row < height; ++row)
        rows[size_t(row)] = bytes.data() + size_t(row) * size_t(width) * 2;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, storeError, ignoreWarning);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    png_set_write_fn(png, &out, appendToVector, flushNothing);
    const bool ok = runEncoder(png, info, width, height, rows);
    png_destroy_write_struct(&png, &info);
    if (!ok)
        out.clear();
    return ok;
}
