// Any bytes as a terrain document: refused without change, or installed
// with every array matching its sizes.
#include "io/document.h"
#include "terrain_outcome.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkTerrainLoad([&] { return loadDocumentFromBytes(data, size); });
    return 0;
}
