// Entry points for the keys and palette buttons that change the whole
// terrain. Each runs as one named operation (terrain/operation.h): it checks
// whether the operation will go ahead (a refusal is posted and records
// nothing), records the undo entry the command owes and changes the
// terrain, or, when the memory for either is not there, is refused with
// "Not enough memory for <operation>" and changes nothing. Each returns
// whether it went ahead: false after a refusal of either kind.
#pragma once

// "Texture by Elevation" (its own kind-1 entry; nothing on a flat terrain).
bool commandTextureByElevation();
// "Invert Terrain" (its own entry; nothing on a flat terrain).
bool commandInvertTerrain();
// "Generate Random".
bool commandGenerateRandom();
// "Erosion".
bool commandErosion();
// "Increase Detail 2x" (entry kind 2).
bool commandIncreaseDetail();
// "Decrease Detail 2x" (entry kind 3).
bool commandDecreaseDetail();
// Page Up: +step columns, or rows when yAxis (entry kind 4).
bool commandGrowGrid(bool yAxis, int step);
// Page Down: -step columns, or rows when yAxis (entry kind 5).
bool commandShrinkGrid(bool yAxis, int step);
// ] doubles blockWidth, Shift+] quadruples it; [ halves it, Shift+[ quarters
// it (entry kind 0).
bool commandBlockWidth(bool increase, bool shift);
// Ctrl+] multiplies heightScale and every height by 1.5, Ctrl+Shift+] by 2;
// Ctrl+[ by 0.5, Ctrl+Shift+[ by 0.25 (entry kind 0).
bool commandHeightScale(bool increase, bool shift);
// Set the block width or the height scale to `value` (batch mode), refused
// like the keys' steps (entry kind 0).
bool commandSetBlockWidth(float value);
bool commandSetHeightScale(float value);
