// The terrain document (".bvt"): grid positions and normals, the two scale
// settings and the distribution map, little-endian. Version 92 is written;
// versions 91 (map as bytes) and 92 (map as floats) are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int32_t kDocumentVersion = 92;
constexpr int32_t kDocumentVersionByteMap = 91;

// Writes the current document (through a temporary file); reports the result.
bool saveDocument(const std::string& path);
// Replaces the current document by the file's. A missing, foreign, short or
// inconsistent file changes nothing and is reported.
bool loadDocument(const std::string& path);
// The same on a whole document held in memory (the fuzzer's entry).
bool loadDocumentFromBytes(const uint8_t* data, size_t size);
