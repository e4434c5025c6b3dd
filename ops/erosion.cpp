#include "ops/erosion.h"

#include <limits>
#include <vector>

#include "terrain/large_array.h"
#include "terrain/progress.h"
#include "terrain/terrain_events.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

// The starting values decide the threshold on extreme terrains (all heights
// above 99999 or below -9999); they are part of the command's behaviour.
static float erosionThreshold(const std::vector<float>& heights)
{
    float lo = 99999.0f, hi = -9999.0f;
    for (float z : heights) {
        if (z < lo)
            lo = z;
        if (z > hi)
            hi = z;
    }
    return static_cast<float>(hi * 0.1 + lo * 0.9);
}

// Heights are worked on in a packed copy: a droplet's neighbourhood then
// spans three short runs of floats instead of three runs of 52-byte records.
struct HeightField {
    std::vector<float> z;
    int width, height;
};

// Lowest of the 3 x 3 neighbours of p = (pc, pr), skipping p itself and the
// vertex the droplet came from, scanned rows outside and columns inside;
// the first one met wins ties. -1 when there is none.
static int lowestNeighbour(HeightField& f, int pc, int pr, int previous)
{
    const int W = f.width;
    const float* z = f.z.data();
    const int p = pc + pr * W;
    int best = -1;
    float bestZ = 0.0f;
    if (pc > 0 && pr > 0 && pc + 1 < W && pr + 1 < f.height) {
        // Interior: all eight neighbours exist and need no bounds tests. The
        // vertex the droplet came from is masked with +inf for the scan, so
        // the loop is a plain running minimum (strictly lower replaces, the
        // first met wins ties) that compiles without branches; this scan is
        // the hot loop of the command.
        float* heights = f.z.data();
        const float savedPrevious = heights[previous];
        if (previous != p)
            heights[previous] = std::numeric_limits<float>::infinity();
        const int offsets[8] = {-W - 1, -W, -W + 1, -1, 1, W - 1, W, W + 1};
        int bestK = 0;
        bestZ = heights[p + offsets[0]];
        for (int k = 1; k < 8; ++k) {
            const float zn = heights[p + offsets[k]];
            const bool lower = zn < bestZ;
            bestK = lower ? k : bestK;
            bestZ = lower ? zn : bestZ;
        }
        heights[previous] = savedPrevious;
        // Only when every other neighbour is +inf as well can the masked
        // vertex come out first; then the first other one is the answer.
        best = p + offsets[bestK];
        if (best == previous && previous != p)
            best = p + offsets[bestK == 0 ? 1 : 0];
        return best;
    }
    for (int r = pr - 1; r <= pr + 1; ++r) {
        if (r < 0 || r >= f.height)
            continue;
        for (int c = pc - 1; c <= pc + 1; ++c) {
            if (c < 0 || c >= W)
                continue;
            const int n = c + r * W;
            if (n == p || n == previous)
                continue;
            if (best < 0 || z[n] < bestZ) {
                best = n;
                bestZ = z[n];
            }
        }
    }
    return best;
}

// Walks one droplet from `start`: each step takes 1.25 * (1 - age) from the
// vertex it leaves; everything carried is dropped where it stops.
static void runDroplet(HeightField& f, int start)
{
    float* z = f.z.data();
    float carried = 0.0f;
    float age = 0.0f;
    int p = start, previous = start;
    for (;;) {
        const int n = lowestNeighbour(f, p % f.width, p / f.width, previous);
        const double amount = 1.25 * (1.0 - age);
        z[p] = static_cast<float>(z[p] - amount);
        carried = static_cast<float>(carried + amount);
        age = static_cast<float>(age + 0.05);
        if (n < 0 || z[n] >= z[p] || age >= 1.0f)
            break;
        previous = p;
        p = n;
    }
    z[p] += carried;
}

void erodeTerrain()
{
    Terrain& t = editor.terrain;
    const int W = t.gridX, H = t.gridY;
    if (!hasVertexGrid())
        return;

    // The working copy first: the entry is recorded only once the command
    // has all its memory.
    HeightField field{{}, W, H};
    resizeLarge(field.z, t.vertices.size());
    pushWholeGridSnapshot(kUndoPositions);
    for (size_t i = 0; i < t.vertices.size(); ++i)
        field.z[i] = t.vertices[i].position[2];
    const float threshold = erosionThreshold(field.z);
    // Heights changed by earlier droplets count for later start vertices.
    {
        ProgressSpan span(0.0f, 0.75f);
        for (int r = 0; r < H; ++r) {
            for (int i = r * W; i < (r + 1) * W; ++i)
                if (field.z[i] >= threshold)
                    runDroplet(field, i);
            reportProgress(static_cast<float>(r + 1) / static_cast<float>(H));
        }
    }
    for (size_t i = 0; i < t.vertices.size(); ++i)
        t.vertices[i].position[2] = field.z[i];

    ProgressSpan span(0.75f, 1.0f);
    refreshAllVertices();
    reportGridReplaced();
}
