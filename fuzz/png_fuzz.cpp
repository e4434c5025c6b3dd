// Any bytes as a PNG height map: refused without change, or installed as a
// consistent grid.
#include "io/heightmap_import.h"
#include "terrain_outcome.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkTerrainLoad([&] { return importPngFromBytes(data, size); });
    return 0;
}
