// Any bytes as a PGM height map: refused without change, or installed as a
// consistent grid.
#include "io/heightmap_import.h"
#include "terrain_outcome.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkTerrainLoad([&] { return importPgmFromBytes(data, size); });
    return 0;
}
