// The terrain mesh in one indexed draw call.
#pragma once

// Draws the whole grid: vertex colours only, or (texturing on) the ground
// textures blended by the distribution map through a shader program.
// Leaves unit 0 active, no program, texture 0 bound, no arrays enabled.
void drawTerrainMesh();
