// Entry points for the keys and palette buttons that change the whole
// terrain: each checks whether the operation will go ahead (a refusal is
// posted and records nothing), records the whole-grid undo entry, then runs
// the operation. Commands that record their own entry (Generate Random,
// Erosion, Invert Terrain, Texture by Elevation) are called directly.
#pragma once

// "Increase Detail 2x" (entry kind 2).
void commandIncreaseDetail();
// "Decrease Detail 2x" (entry kind 3).
void commandDecreaseDetail();
// Page Up: +step columns, or rows when yAxis (entry kind 4).
void commandGrowGrid(bool yAxis, int step);
// Page Down: -step columns, or rows when yAxis (entry kind 5).
void commandShrinkGrid(bool yAxis, int step);
// ] doubles blockWidth, Shift+] quadruples it; [ halves it, Shift+[ quarters
// it (entry kind 0).
void commandBlockWidth(bool increase, bool shift);
// Ctrl+] multiplies heightScale and every height by 1.5, Ctrl+Shift+] by 2;
// Ctrl+[ by 0.5, Ctrl+Shift+[ by 0.25 (entry kind 0).
void commandHeightScale(bool increase, bool shift);
