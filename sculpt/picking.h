// The model half of surface picking: given the world point unprojected from
// the cursor, sets the pick point, the nearest grid cell and the hovered
// vertex. The app reads the mouse and the depth buffer and unprojects.
#pragma once

// pickPoint := (ox, oy, oz) rounded to float, x and y clamped to the grid's
// rectangle; pickColumn / pickRow := the nearest cell of the unclamped point
// (may lie off the grid); hoverIndex := that vertex only when it is on the
// grid. A non-finite point or a missing grid leaves everything as it was.
void applyPick(double ox, double oy, double oz);
