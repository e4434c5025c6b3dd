// "Generate Random": a new random landscape on the current grid (same size,
// same x and y, same blockWidth and heightScale), undoable in one step.
#pragma once

// The derived numbers that shape a random landscape, exposed so that they
// can be checked on their own.
struct RandomTerrainParams {
    float maxControlHeight; // M: control heights are drawn from 0 .. D - 1, D = trunc(M)
    int controlRange;       // D, at least 1
    int latticeX;           // cx: control points along a row
    int latticeY;           // cy: control rows
    int spacingX;           // sx: vertices between control columns, at least 1
    int spacingY;           // sy: vertices between control rows, at least 1
    int stepAmplitude;      // a: the per-vertex step is drawn from 0 .. a - 1, a >= 1
    float smoothing;        // k: weight of the neighbourhood mean in the final pass
};

// Parameters for a gridX * gridY grid with the given spacing and height scale.
RandomTerrainParams randomTerrainParams(int gridX, int gridY, float blockWidth, float heightScale);
// Replaces every height of the installed grid (pushes a whole-grid entry of
// kind 0 first); draws from rand() in a fixed order.
void generateRandomTerrain();
