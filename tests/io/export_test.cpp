#include "io/document.h"
#include "io/export_formats.h"
#include "io/image_export.h"
#include "io/map_export.h"
#include "io/obj_export.h"
#include "io/text_output.h"
#include "io_test_files.h"

#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <regex>
#include <sstream>
#include <sys/resource.h>

using Export = ScratchTest;

TEST(TextOutput, FixedNumbersMatchPrintf)
{
    // Signed zeros, exact ties at the last decimal (printf rounds them to even),
    // numbers past 2^64, the smallest float and non-finite values.
    for (float v : {0.0f, -0.0f, 0.0625f, -0.1875f, 0.0078125f, 2.5e-7f, 1.0f / 3.0f, 255.9995f, -400.0f, 123456.789f,
                    1e20f, -3.4028235e38f, 1e-45f, INFINITY, -INFINITY, NAN})
        for (int precision : {3, 6}) {
            std::string got;
            appendFixed(got, v, precision);
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*f", precision, double(v));
            EXPECT_EQ(got, expected);
        }
}

TEST_F(Export, MapsAndObjFiles)
{
    makeFlatTerrain(2, 2, 256.0f, 32.0f);
    ASSERT_TRUE(exportQ1Map(dir + "q1.map"));
    EXPECT_EQ(editor.statusMessage, "Exported " + dir + "q1.map");
    ASSERT_TRUE(exportQ3Map(dir + "q3.map"));
    const std::string q1 = readAll<std::string>(dir + "q1.map");
    EXPECT_TRUE(q1.starts_with("// entity 0\n{\n\n\"classname\" \"worldspawn\"\n\n// brush #\n{\n( 0.000 32.000"
                               " 256.000 ) ( 32.000 0.000 256.000 ) ( 0.000 0.000 256.000 ) NULL 0 0 0 1 1\n"));
    // The dialects differ only in the ends of the plane lines.
    const std::string q3 = readAll<std::string>(dir + "q3.map");
    EXPECT_EQ(std::regex_replace(q3, std::regex(" notex 0 0 0 0.5 0.5 0 0 0\n"), " NULL 0 0 0 1 1\n"), q1);

    ASSERT_TRUE(exportObj(dir + "a.obj"));
    EXPECT_EQ(readAll<std::string>(dir + "a.obj"),
              "v 0.000000 0.000000 256.000000\nv 32.000000 0.000000 256.000000\n"
              "v 0.000000 32.000000 256.000000\nv 32.000000 32.000000 256.000000\n"
              "vn 0.000000 0.000000 1.000000\nvn 0.000000 0.000000 1.000000\n"
              "vn 0.000000 0.000000 1.000000\nvn 0.000000 0.000000 1.000000\n"
              "vt 0.000000 0.000000\nvt 0.500000 0.000000\nvt 0.000000 0.500000\nvt 0.500000 0.500000\n"
              "g terrain\ns 1\nf 1/1/1 2/2/2 3/3/3\nf 3/3/3 2/2/2 4/4/4\n");
    makeFlatTerrain(65, 65);
    ASSERT_TRUE(exportObj(dir + "b.obj"));
    const std::string b = readAll<std::string>(dir + "b.obj");
    EXPECT_EQ(std::count(b.begin(), b.end(), '\n'), 3 * 4225 + 2 + 8192);
    EXPECT_TRUE(b.ends_with("\nf 4224/4224/4224 4160/4160/4160 4225/4225/4225\n"));
}

TEST_F(Export, TgaImages)
{
    Bytes topLeftWhite(65 * 65 * 3, 0); // rows go bottom-up: grid row 64 comes last
    std::fill_n(topLeftWhite.end() - 65 * 3, 3, 255);
    const struct { void (*build)(); bool (*run)(const std::string&); int width, height; Bytes pixels; } cases[] = {
        {[] { makeFlatTerrain(3, 1, 100.0f); heightAt(1, 0) = 300; heightAt(2, 0) = 200; }, exportHeightmapTga, 3, 1,
         {0, 0, 0, 255, 255, 255, 127, 127, 127}},
        {[] { makeFlatTerrain(2, 1, -50.0f); heightAt(1, 0) = -10; }, exportHeightmapTga, 2, 1,
         {0, 0, 0, 204, 204, 204}}, // the range reaches 0
        {[] { makeFlatTerrain(2, 1, 0.0f); }, exportHeightmapTga, 2, 1, Bytes(6, 0)},
        {[] { makeFlatTerrain(65, 65, 0.0f); heightAt(0, 64) = 10; }, exportHeightmapTga, 65, 65, topLeftWhite},
        {[] { makeFlatTerrain(2, 2); float* n = editor.terrain.vertices[0].normal; n[0] = -1; n[2] = 0; },
         exportNormalMapTga, 2, 2, {127, 127, 0, 255, 127, 127, 255, 127, 127, 255, 127, 127}},
        {[] { makeFlatTerrain(3, 3); editor.terrain.distributionWidth = 3; editor.terrain.distributionHeight = 1;
              editor.terrain.distribution = {0.3f, 0.3f, 0.3f, 1.0f, 0.0f, 1.5f, -0.2f, 0.5f, 0.999f}; },
         exportDistributionTga, 3, 1, {76, 76, 76, 255, 0, 255, 254, 127, 0}},
        {[] { makeFlatTerrain(3, 3); }, exportFinalTextureTga, 1024, 1024, Bytes(1024 * 1024 * 3, 229)},
    };
    for (const auto& c : cases) {
        c.build();
        ASSERT_TRUE(c.run(dir + "out.tga"));
        EXPECT_EQ(readAll(dir + "out.tga"), tga(2, c.width, c.height, 24, 0, c.pixels)) << c.width << " x " << c.height;
    }
}

TEST_F(Export, FailedWritesKeepTheExistingFileAndReport)
{
    makeFlatTerrain(9, 9);
    writeAll(dir + "old", {'o', 'l', 'd'});
    // A file size limit fails every write past 100 bytes, as a full disk would.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit usual;
    getrlimit(RLIMIT_FSIZE, &usual);
    const rlimit small = {100, usual.rlim_max};
    for (auto run : {exportQ1Map, exportQ3Map, exportObj, exportHeightmapTga, exportDistributionTga,
                     exportFinalTextureTga, exportNormalMapTga, saveDocument}) {
        for (const std::string target : {"no/dir/out", "old"}) {
            setrlimit(RLIMIT_FSIZE, target == "old" ? &small : &usual);
            const bool written = run(dir + target);
            setrlimit(RLIMIT_FSIZE, &usual);
            EXPECT_FALSE(written) << target;
            EXPECT_EQ(editor.statusMessage, "Cannot write " + dir + target);
        }
    }
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(readAll<std::string>(dir + "old"), "old");
    EXPECT_EQ(listDir(dir), Names{"old"});
}

struct Point3 {
    double x, y, z;
};
static Point3 minus(Point3 a, Point3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
static double dot(Point3 a, Point3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
static Point3 cross(Point3 a, Point3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// The planes of each brush of a .map text, three points per plane.
static std::vector<std::vector<std::array<Point3, 3>>> mapBrushes(const std::string& text)
{
    std::vector<std::vector<std::array<Point3, 3>>> brushes;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line == "// brush #")
            brushes.emplace_back();
        std::array<Point3, 3> p;
        if (std::sscanf(line.c_str(), "( %lf %lf %lf ) ( %lf %lf %lf ) ( %lf %lf %lf )", &p[0].x, &p[0].y, &p[0].z,
                        &p[1].x, &p[1].y, &p[1].z, &p[2].x, &p[2].y, &p[2].z) == 9)
            brushes.back().push_back(p);
    }
    return brushes;
}

TEST_F(Export, EveryPlaneOfEveryMapBrushFacesOutOfItsBrush)
{
    // Map compilers take a plane's normal as (p0 - p1) x (p2 - p1) and keep
    // what lies behind it: a plane wound the other way swallows the world.
    makeFlatTerrain(4, 3, 0.0f, 32.0f);
    addRelief();
    for (auto run : {exportQ1Map, exportQ3Map}) {
        ASSERT_TRUE(run(dir + "out.map"));
        const auto brushes = mapBrushes(readAll<std::string>(dir + "out.map"));
        ASSERT_EQ(brushes.size(), 3u * 2u * 2u);
        for (size_t b = 0; b < brushes.size(); ++b) {
            ASSERT_EQ(brushes[b].size(), 5u) << "brush " << b;
            std::vector<Point3> corners; // every point any plane names
            for (const auto& plane : brushes[b])
                corners.insert(corners.end(), plane.begin(), plane.end());
            for (size_t k = 0; k < brushes[b].size(); ++k) {
                const auto& p = brushes[b][k];
                const Point3 normal = cross(minus(p[0], p[1]), minus(p[2], p[1]));
                double deepest = 0;
                for (const Point3& corner : corners) {
                    const double side = dot(normal, minus(corner, p[1])) / std::sqrt(dot(normal, normal));
                    EXPECT_LE(side, 0.01) << "brush " << b << " plane " << k;
                    deepest = std::min(deepest, side);
                }
                EXPECT_LT(deepest, -1.0) << "brush " << b << " plane " << k << " has the brush behind it";
            }
        }
    }
}

TEST(ExportTable, BatchAndTypedNamesFindTheirExport)
{
    // What scripts type: a name that found another format would write the wrong file.
    const std::pair<const char*, bool (*)(const std::string&)> batch[] = {
        {"obj", exportObj},   {"height-tga", exportHeightmapTga},     {"q1", exportQ1Map},
        {"q3", exportQ3Map},  {"distribution-tga", exportDistributionTga}, {"texture-tga", exportFinalTextureTga},
        {"normal-tga", exportNormalMapTga}, {"height-png", exportHeightmapPng}, {"height-r16", exportHeightmapR16},
    };
    for (const auto& [name, run] : batch) {
        const ExportEntry* entry = exportByBatchName(name);
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_EQ(entry->run, run) << name;
    }
    EXPECT_EQ(exportByBatchName("height"), nullptr);
    // A typed name picks a 16-bit height map by its last extension only.
    EXPECT_EQ(exportByTypedName("HILLS.PNG"), exportByCode(kExportHeightmapPng));
    for (const char* name : {"hills.png.old", "hills.raw", "hills.tga"})
        EXPECT_EQ(exportByTypedName(name), nullptr) << name;
}
