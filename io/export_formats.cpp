#include "io/export_formats.h"

#include "io/image_export.h"
#include "io/map_export.h"
#include "io/obj_export.h"

#include <algorithm>
#include <cctype>

// Indexed by ExportFormat. Codes 0 to 6 are the function keys' (F5 to F11);
// the 16-bit height maps are chosen by the typed name or in batch mode.
static constexpr ExportEntry kExports[] = {
    {kExportObj, ".obj", "obj", ".obj model format", nullptr, exportObj},
    {kExportHeightmapTga, ".tga", "height-tga", ".tga heightmap", nullptr, exportHeightmapTga},
    {kExportQ1Map, ".map", "q1", "Q1 .map format", nullptr, exportQ1Map},
    {kExportQ3Map, ".map", "q3", "Q3 .map format", nullptr, exportQ3Map},
    {kExportDistributionTga, ".tga", "distribution-tga", ".tga distribution map", nullptr, exportDistributionTga},
    {kExportFinalTextureTga, ".tga", "texture-tga", ".tga final texture", nullptr, exportFinalTextureTga},
    {kExportNormalMapTga, ".tga", "normal-tga", ".tga normal map", nullptr, exportNormalMapTga},
    {kExportHeightmapPng, ".png", "height-png", "16-bit .png heightmap", "16-bit .png (by name)", exportHeightmapPng},
    {kExportHeightmapR16, ".r16", "height-r16", "16-bit .r16 heightmap", "16-bit .r16 (by name)", exportHeightmapR16},
};
static constexpr bool codesInOrder()
{
    for (size_t i = 0; i < std::size(kExports); ++i)
        if (kExports[i].code != int(i))
            return false;
    return std::size(kExports) == kExportFormats;
}
static_assert(codesInOrder(), "one entry per export format code, in code order");

const ExportEntry* exportEntries(size_t& count)
{
    count = std::size(kExports);
    return kExports;
}

const ExportEntry* exportByCode(int code)
{
    if (code < 0 || code >= kExportFormats)
        return nullptr;
    return &kExports[code];
}

const ExportEntry* exportByBatchName(std::string_view name)
{
    for (const ExportEntry& entry : kExports)
        if (name == entry.batchName)
            return &entry;
    return nullptr;
}

static bool endsWithIgnoringCase(std::string_view text, std::string_view ending)
{
    return text.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), text.end() - ending.size(),
                      [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); });
}

const ExportEntry* exportByTypedName(std::string_view fileName)
{
    for (ExportFormat code : {kExportHeightmapPng, kExportHeightmapR16})
        if (endsWithIgnoringCase(fileName, kExports[code].extension))
            return &kExports[code];
    return nullptr;
}

const char* exportFormatLine(int code, std::string_view typedName)
{
    if (const ExportEntry* chosen = exportByTypedName(typedName))
        return chosen->byName;
    const ExportEntry* entry = exportByCode(code);
    return entry != nullptr ? entry->label : "";
}
