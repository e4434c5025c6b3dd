// Image exports. 24-bit uncompressed TGA, bottom row first (source row 0 at
// the bottom): height map, distribution map, final blended texture, normal
// map. 16-bit height maps as PNG and raw ".r16".
#pragma once

#include <string>

bool exportHeightmapTga(const std::string& path);
bool exportDistributionTga(const std::string& path);
// Blends the three ground-texture images (re-read from their files) by the
// distribution map; an empty or unreadable slot counts as white.
bool exportFinalTextureTga(const std::string& path);
bool exportNormalMapTga(const std::string& path);

// 16-bit height maps: the lowest height becomes 0 and the highest 65535
// (all 0 on a flat terrain), rows as the grid's with x mirrored, the way the
// import maps an image, so that exporting and importing again keeps the grid.
// A grey PNG, and ".r16": the samples little-endian without any header
// (so only a square terrain can be written as ".r16").
bool exportHeightmapPng(const std::string& path);
bool exportHeightmapR16(const std::string& path);
