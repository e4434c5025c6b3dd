// The one-line file-name prompts: typing, the F5-F11 choices, and the
// operation Enter runs for each prompt kind (1 texture, 2 load, 3 save,
// 4 height map, 5 export).
#pragma once

#include <cstdint>

// SDL 1.2 key symbols the prompt reacts to.
constexpr int kKeyBackspace = 8;
constexpr int kKeyReturn = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyKeypadEnter = 271;
constexpr int kKeyF5 = 286;
constexpr int kKeyF9 = 290;
constexpr int kKeyF10 = 291;
constexpr int kKeyF11 = 292;

constexpr int kPromptMaxChars = 94;

// Opens prompt `kind` (1..5), or closes it when it is the one open; the
// file buttons' tints follow. The text starts empty.
void togglePrompt(int kind);
void closePrompt();
// One key press while a prompt is open (Shift read from editor.modState).
void promptKey(int sym);
// The character key `sym` types with modifiers `mod`, or 0 for none.
int keyToChar(int sym, uint32_t mod);
// Runs the operation of the open prompt with its text (Enter does this,
// then closes the prompt).
void commitPrompt();
// Prompt kind 1: the typed image into ground slot 0..2, or a sky set for slot 3.
void commitTextureImport();
