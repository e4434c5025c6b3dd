// Height-map import: replaces the terrain by a grid with one vertex per
// pixel of a grey image (TGA, PGM, PNG or raw 16-bit), mirrored along x,
// heights the sample over its full scale times the height scale.
// A refused image leaves terrain, grid size and undo history as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Chooses the reader by the file name's extension (.tga, .pgm, .png, .r16,
// .raw, in any case); the prompt, the command line and batch mode use it.
bool importHeightmapFile(const std::string& path);

// TGA: grey level or red, 8 bits (colour, grey, with or without image ID).
bool importTgaHeightmap(const std::string& path);
// PGM, binary (P5) or plain text (P2), 8 or 16 bits.
bool importPgmHeightmap(const std::string& path);
// PNG: grey level or red, 8 or 16 bits.
bool importPngHeightmap(const std::string& path);
// Raw: a square of 16-bit little-endian samples, side = sqrt(size / 2).
bool importRawHeightmap(const std::string& path);

// Whole files held in memory (the fuzzers' entries).
bool importPgmFromBytes(const uint8_t* data, size_t size);
bool importPngFromBytes(const uint8_t* data, size_t size);
