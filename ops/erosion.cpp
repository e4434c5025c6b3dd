#include "ops/erosion.h"

#include "render/gpu_mirror.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

// The starting values decide the threshold on extreme terrains (all heights
// above 99999 or below -9999); they are part of the command's behaviour.
static float erosionThreshold(const TerrainVertex* v, size_t count)
{
    float lo = 99999.0f, hi = -9999.0f;
    for (size_t i = 0; i < count; ++i) {
        float z = v[i].position[2];
        if (z < lo)
            lo = z;
        if (z > hi)
            hi = z;
    }
    return static_cast<float>(hi * 0.1 + lo * 0.9);
}

// Lowest of the 3 x 3 neighbours of p, skipping p itself and the vertex the
// droplet came from; the first one met wins ties. -1 when there is none.
static int lowestNeighbour(const TerrainVertex* v, int W, int H, int p, int previous)
{
    const int pc = p % W, pr = p / W;
    int best = -1;
    float bestZ = 0.0f;
    for (int r = pr - 1; r <= pr + 1; ++r) {
        if (r < 0 || r >= H)
            continue;
        for (int c = pc - 1; c <= pc + 1; ++c) {
            if (c < 0 || c >= W)
                continue;
            int n = c + r * W;
            if (n == p || n == previous)
                continue;
            if (best < 0 || v[n].position[2] < bestZ) {
                best = n;
                bestZ = v[n].position[2];
            }
        }
    }
    return best;
}

// Walks one droplet from `start`: each step takes 1.25 * (1 - age) from the
// vertex it leaves; everything carried is dropped where it stops.
static void runDroplet(TerrainVertex* v, int W, int H, int start)
{
    float carried = 0.0f;
    float age = 0.0f;
    int p = start, previous = start;
    for (;;) {
        int n = lowestNeighbour(v, W, H, p, previous);
        double amount = 1.25 * (1.0 - age);
        v[p].position[2] = static_cast<float>(v[p].position[2] - amount);
        carried = static_cast<float>(carried + amount);
        age = static_cast<float>(age + 0.05);
        if (n < 0 || v[n].position[2] >= v[p].position[2] || age >= 1.0f)
            break;
        previous = p;
        p = n;
    }
    v[p].position[2] += carried;
}

void erodeTerrain()
{
    Terrain& t = editor.terrain;
    const int W = t.gridX, H = t.gridY;
    if (W < 1 || H < 1 || t.vertices.size() != static_cast<size_t>(W) * H)
        return;

    pushWholeGridSnapshot(kUndoPositions);
    TerrainVertex* v = t.vertices.data();
    const float threshold = erosionThreshold(v, t.vertices.size());
    // Heights changed by earlier droplets count for later start vertices.
    for (int i = 0; i < W * H; ++i)
        if (v[i].position[2] >= threshold)
            runDroplet(v, W, H, i);

    refreshAllVertices();
    uploadMeshBuffers();
}
