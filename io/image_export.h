// 24-bit uncompressed TGA exports, bottom row first (source row 0 at the
// bottom): height map, distribution map, final blended texture, normal map.
#pragma once

#include <string>

bool exportHeightmapTga(const std::string& path);
bool exportDistributionTga(const std::string& path);
// Blends the three ground-texture images (re-read from their files) by the
// distribution map; an empty or unreadable slot counts as white.
bool exportFinalTextureTga(const std::string& path);
bool exportNormalMapTga(const std::string& path);
