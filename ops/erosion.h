// "Erosion": one deterministic pass of droplets walking downhill from every
// vertex in the upper 90 % of the height range. Material is moved, never
// created or lost. Undoable in one step.
#pragma once

// Pushes a whole-grid entry of kind 0, erodes, refreshes normals and buffers.
void erodeTerrain();
