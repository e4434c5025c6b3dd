// Prompt editing and the commit of each prompt kind. Failures of the
// operations are reported by the operations themselves (postStatus).
#include "app/prompt.h"

#include "app/editor_state.h"
#include "io/document.h"
#include "io/export_formats.h"
#include "io/heightmap_import.h"
#include "sculpt/stroke.h"

#include <cstring>
#include <string>

static void tintFileButton(int kind, float r, float g, float b)
{
    if (kind < 1 || kind > kPromptKinds)
        return;
    const int slot = editor.fileButtons[size_t(kind - 1)];
    if (slot < 0 || slot >= kButtonSlots)
        return;
    Button& button = editor.buttons[size_t(slot)];
    button.r = r;
    button.g = g;
    button.b = b;
}

void togglePrompt(int kind)
{
    if (kind < 1 || kind > kPromptKinds)
        return;
    const bool closing = editor.promptKind == kind;
    editor.promptKind = closing ? kPromptNone : kind;
    for (int k = 1; k <= kPromptKinds; ++k) {
        const bool lit = k == kind && !closing;
        tintFileButton(k, lit ? 1.0f : 0.5f, lit ? 1.0f : 0.5f, 0.0f);
    }
    editor.promptText[0] = '\0';
}

void closePrompt()
{
    for (int k = 1; k <= kPromptKinds; ++k)
        tintFileButton(k, 0.5f, 0.5f, 0.0f);
    editor.promptKind = kPromptNone;
    editor.promptText[0] = '\0';
}

int keyToChar(int sym, uint32_t mod)
{
    const bool shift = (mod & kModShift) != 0;
    if (sym >= 'a' && sym <= 'z')
        return shift ? sym - 'a' + 'A' : sym;
    if ((sym >= '0' && sym <= '9') || sym == '.' || sym == '/' || sym == ' ')
        return sym;
    if (sym == '-')
        return shift ? '_' : '-';
    // ':' lets drive-qualified paths be typed.
    if (sym == ';')
        return shift ? ':' : ';';
    return 0;
}

// Appends `extension` when it occurs nowhere in the text and the result
// still fits the buffer with its terminator; otherwise the name stays as typed.
static void appendIfFits(const char* extension)
{
    const size_t length = std::strlen(editor.promptText);
    const size_t extra = std::strlen(extension);
    if (length + extra + 1 <= sizeof editor.promptText)
        std::memcpy(editor.promptText + length, extension, extra + 1);
}

static void ensureExtension(const char* extension)
{
    if (std::strstr(editor.promptText, extension) == nullptr)
        appendIfFits(extension);
}

static void commitLoad()
{
    // Any '.' counts as an extension here, unlike save: "terrain.old" loads as typed.
    if (std::strchr(editor.promptText, '.') == nullptr)
        appendIfFits(".bvt");
    // A stroke held through Enter must not outlive the terrain it copied.
    finishHeldStroke();
    loadDocument(editor.promptText);
}

static void commitHeightmapImport()
{
    finishHeldStroke();
    importHeightmapFile(editor.promptText);
}

static void commitExport()
{
    if (editor.terrain.vertices.empty()) {
        postStatus("No terrain to export");
        return;
    }
    // A name ending in ".png" or ".r16" picks its format whatever is selected.
    const ExportEntry* format = exportByTypedName(editor.promptText);
    if (format == nullptr)
        format = exportByCode(editor.exportFormat);
    if (format == nullptr)
        return;
    ensureExtension(format->extension);
    format->run(editor.promptText);
}

void commitPrompt()
{
    switch (editor.promptKind) {
    case kPromptTexture:
        commitTextureImport();
        break;
    case kPromptLoad:
        commitLoad();
        break;
    case kPromptSave:
        ensureExtension(".bvt");
        saveDocument(editor.promptText);
        break;
    case kPromptHeightmap:
        commitHeightmapImport();
        break;
    case kPromptExport:
        commitExport();
        break;
    default:
        break;
    }
}

void promptKey(int sym)
{
    const size_t length = std::strlen(editor.promptText);
    if (length < size_t(kPromptMaxChars)) {
        if (const int c = keyToChar(sym, editor.modState)) {
            editor.promptText[length] = char(c);
            editor.promptText[length + 1] = '\0';
            return;
        }
    }
    if (sym == kKeyBackspace) {
        if (length > 0)
            editor.promptText[length - 1] = '\0';
        return;
    }
    if (sym == kKeyReturn || sym == kKeyKeypadEnter) {
        // Whatever the outcome, Enter ends the prompt.
        commitPrompt();
        closePrompt();
        return;
    }
    if (sym == kKeyEscape) {
        closePrompt();
        return;
    }
    if (sym >= kKeyF5 && sym <= kKeyF5 + 3) {
        if (editor.promptKind == kPromptTexture)
            editor.textureSlot = sym - kKeyF5;
        else
            editor.exportFormat = sym - kKeyF5;
        return;
    }
    // F9 to F11 choose an export format in every prompt, the texture prompt included.
    if (sym == kKeyF9)
        editor.exportFormat = kExportNormalMapTga;
    else if (sym == kKeyF10)
        editor.exportFormat = kExportDistributionTga;
    else if (sym == kKeyF11)
        editor.exportFormat = kExportFinalTextureTga;
}
