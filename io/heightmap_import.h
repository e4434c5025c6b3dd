// Height-map import: replaces the terrain by a grid with one vertex per
// pixel of a grey image (TGA red channel or binary PGM), mirrored along x.
// A refused image leaves terrain, grid size and undo history as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Chooses the reader by the name's extension.
bool importHeightmapFile(const std::string& path);
bool importTgaHeightmap(const std::string& path);
bool importPgmHeightmap(const std::string& path);
// A whole PGM file held in memory (the fuzzer's entry).
bool importPgmFromBytes(const uint8_t* data, size_t size);
