// Progress of long operations as a listener sees it, and that watching it
// changes no result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/document.h"
#include "io/map_export.h"
#include "ops/commands.h"
#include "support/terrain_fixtures.h"
#include "terrain/operation.h"
#include "terrain/progress.h"
#include "terrain/terrain.h"

namespace {

std::vector<ProgressReport> gReports;
std::vector<std::string> gNames;

void record(const ProgressReport& report) noexcept
{
    gReports.push_back(report);
    gNames.push_back(report.operation);
}

struct Case {
    const char* operation;
    bool (*run)();
};

const Case kCases[] = {
    {"Generate Random", commandGenerateRandom},
    {"Erosion", commandErosion},
    {"Texture by Elevation", commandTextureByElevation},
    {"Increase Detail 2x", commandIncreaseDetail},
    {"Decrease Detail 2x", commandDecreaseDetail},
    {"Change X Dimension", [] { return commandGrowGrid(false, 8); }},
    {"Scale Height", [] { return commandHeightScale(true, false); }},
    {"Save Terrain", [] { return runOperation("Save Terrain", [] { saveDocument(testing::TempDir() + "progress.bvt"); }); }},
    {"Load Terrain", [] { return runOperation("Load Terrain", [] { loadDocument(testing::TempDir() + "progress.bvt"); }); }},
    {"Export Terrain", [] { return runOperation("Export Terrain", [] { exportQ1Map(testing::TempDir() + "progress.map"); }); }},
};

void prepare()
{
    makeFlatTerrain(33, 31, 0.0f);
    addRelief();
    srand(17);
}

// Each operation reports once that it begins, under its own name, then a
// fraction that never falls and stays within 0..1, then its end at 1; and
// its result is bit for bit the one it has with nobody watching.
TEST(Progress, ReportsRiseFromBeginToEndAndChangeNoResult)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.operation);
        prepare();
        c.run();
        const Bytes unwatched = terrainBytes();

        prepare();
        gReports.clear();
        gNames.clear();
        setProgressListener(record);
        c.run();
        setProgressListener(nullptr);
        EXPECT_EQ(terrainBytes(), unwatched);

        ASSERT_GE(gReports.size(), 3u);
        EXPECT_EQ(gReports.front().phase, ProgressPhase::kBegin);
        EXPECT_EQ(gReports.back().phase, ProgressPhase::kEnd);
        EXPECT_EQ(gReports.back().fraction, 1.0f);
        EXPECT_EQ(gNames, std::vector<std::string>(gNames.size(), c.operation));
        float previous = 0.0f;
        for (size_t i = 1; i + 1 < gReports.size(); ++i) {
            EXPECT_EQ(gReports[i].phase, ProgressPhase::kUpdate);
            EXPECT_GE(gReports[i].fraction, previous);
            EXPECT_LE(gReports[i].fraction, 1.0f);
            previous = gReports[i].fraction;
        }
        // The steps of a command share the bar: it passes the middle.
        EXPECT_GT(previous, 0.9f);
    }
}

// An operation run inside another (a stroke ended by a load, say) joins it.
TEST(Progress, InnerOperationsJoinTheOuterOne)
{
    prepare();
    gReports.clear();
    gNames.clear();
    setProgressListener(record);
    runOperation("Outer", [] {
        ProgressSpan half(0.5f, 1.0f);
        commandInvertTerrain();
    });
    setProgressListener(nullptr);
    EXPECT_EQ(gNames, std::vector<std::string>(gNames.size(), "Outer"));
    ASSERT_GE(gReports.size(), 3u);
    EXPECT_GE(gReports[1].fraction, 0.5f);
    EXPECT_EQ(std::count_if(gReports.begin(), gReports.end(),
                            [](const ProgressReport& r) { return r.phase != ProgressPhase::kUpdate; }),
              2);
}

} // namespace
