// Brush stamps: the numbered grey-level images that shape every stroke, kept
// in editor.stamps in load order with editor.currentStamp selecting one.
#pragma once

#include <string>

// Appends "data/brushes/1.tga", "2.tga", ... until the first file that cannot
// be read, then selects the first stamp (none when the list is empty).
void loadBrushStamps();
// The same from another directory ("<dir>/%i.tga"); tests use it.
void loadBrushStampsFrom(const std::string& dir);
// Forgets every stamp; GL names are left alone (their context is going or gone).
void releaseBrushStamps();
// Steps the selection forwards / backwards through the list, wrapping around.
// With no stamps loaded both do nothing.
void selectNextStamp();
void selectPreviousStamp();

// The mask a stroke samples: the current stamp's, or a single full-strength
// texel when no stamp is loaded. Never null; width and height are >= 1.
const float* currentStampMask(int* width, int* height);
