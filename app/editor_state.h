// The one program-wide record. Every module reads and writes it directly
// through the global `editor`; there is no second instance.
//
// This header holds plain records and standard headers only: no GL or SDL
// header, so the terrain model and its tests compile without either. GL
// object names are stored as 32-bit integers; SDL handles sit behind
// forward declarations.
//
// Index: Terrain | Undo | Camera | Brush stamps | Textures | Shaders |
//        Palette | EditorState
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct SDL_Surface;

// ---------------------------------------------------------------- Terrain

// Exactly 13 consecutive floats: mesh drawing, the undo history and the
// document format step through vertex arrays with this stride.
struct TerrainVertex {
    float position[3];  // world units; x = column * blockWidth, y = row * blockWidth, z = height
    float normal[3];    // unit normal, or zero when the neighbouring faces cancel out
    float color[3];     // lighting: r = g = brightness, b = 0.9 * brightness
    float tileCoord[2]; // ground texture coordinate, repeats every 256 world units
    float mapCoord[2];  // distribution map coordinate, 0 at the grid origin
};
static_assert(sizeof(TerrainVertex) == 13 * sizeof(float), "TerrainVertex must stay 13 packed floats");

struct Terrain {
    int32_t gridX = 0;                   // vertices per row (along x); 3 or more once built
    int32_t gridY = 0;                   // rows (along y)
    float blockWidth = 32.0f;            // world distance between neighbouring vertices, >= 1
    float heightScale = 512.0f;          // nominal height range, >= 1
    std::vector<TerrainVertex> vertices; // gridX * gridY, row-major; empty = no terrain
    std::vector<float> distribution;     // distributionWidth * distributionHeight * 3 weights (sand, grass, snow)
    int32_t distributionWidth = 1024;    // texels per row of the distribution map
    int32_t distributionHeight = 1024;   // rows of the distribution map
    uint32_t distributionTexture = 0;    // GL texture mirroring `distribution`, 0 = none
};

// ------------------------------------------------------------------- Undo

enum UndoKind : int32_t {
    kUndoPositions = 0,     // positions of a grid region
    kUndoDistribution = 1,  // texels of a distribution map region
    kUndoIncreaseDetail = 2,
    kUndoDecreaseDetail = 3,
    kUndoGridGrow = 4,
    kUndoGridShrink = 5,
};

struct UndoEntry {
    std::vector<float> positions; // x, y, z per vertex of the region (every kind but 1), rows outer;
                                  // only z when heightsOnly
    std::vector<float> weights;   // three weights per texel of the region (kind 1), rows outer
    bool heightsOnly = false;     // every vertex had x = column * blockWidth, y = row * blockWidth,
                                  // so only its height was kept
    int32_t x0 = 0, y0 = 0;       // first column and row, inclusive
    int32_t x1 = -1, y1 = -1;     // last column and row, inclusive
    int32_t sizeX = 0, sizeY = 0; // grid size to restore (kinds 2 to 5), else 0
    int32_t kind = kUndoPositions;
    float blockWidth = 0.0f;      // terrain's blockWidth when recorded (not kind 1)
    float heightScale = 0.0f;     // terrain's heightScale when recorded (not kind 1)
};

// Both lists are ordered oldest first: back() is the newest entry. The two
// lists together never hold more than kUndoLimit entries, nor (unless the
// newest entry alone is larger) more than the memory budget: kUndoBudgetMB,
// or the environment variable BRIVEL_UNDO_MB.
struct UndoStack {
    std::vector<UndoEntry> undoList;
    std::vector<UndoEntry> redoList;
};
constexpr int kUndoLimit = 50;
constexpr int64_t kUndoBudgetMB = 1024;

// ----------------------------------------------------------------- Camera

struct Camera {
    float position[3] = {-50.0f, -50.0f, 50.0f}; // world units, z up
    float angles[3] = {0.0f, 0.0f, 0.0f};        // degrees: pitch (down +), roll, yaw (ccw from above +)
};
enum CameraAngle { kPitch = 0, kRoll = 1, kYaw = 2 };

// ----------------------------------------------------------- Brush stamps

// A grey-level shape that modulates every stroke. Stamps live in
// `EditorState::stamps` in load order; `previous`/`next` are indices into
// that vector (-1 for none), so the list keeps its linked-list meaning.
struct BrushStamp {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<float> mask; // width * height, top row first, red / 255 in 0..1
    uint32_t texture = 0;    // HUD preview made from the mask by the drawing layer, 0 = none
    int32_t next = -1;
    int32_t previous = -1;
};

// --------------------------------------------------------------- Textures

// One texture cache entry. Records are owned by `textureCache` and shared by
// reference (an index into the cache); they are never freed one by one.
struct TextureRecord {
    uint32_t texture = 0; // GL texture name, 0 when the file could not be read
    std::string name;     // the path exactly as requested
    std::string failure;  // why texture is 0, for the user ("Not a regular file: ..."); empty once loaded
};
constexpr int32_t kNoTexture = -1; // "no record" for a texture reference
// The ground textures' files in the data folder at start-up, slots 0 to 2.
inline const char* const kDefaultGroundTextures[3] = {"textures/sand1.tga", "textures/grass1.tga",
                                                      "textures/snow1.tga"};

// ---------------------------------------------------------------- Shaders

// The shader objects live only inside the program: they are deleted as
// soon as it is linked.
struct ShaderProgram {
    int32_t program = 0; // -1 none; 0 before the first load
};

// ---------------------------------------------------------------- Palette

using ButtonAction = void (*)();

struct Button {
    int32_t inUse = 0;
    uint32_t icon = 0;        // GL texture drawn on the button, 0 = untextured
    float x1 = 0, y1 = 0;     // window pixels, y down
    float x2 = 0, y2 = 0;
    ButtonAction action = nullptr;
    float r = 1, g = 1, b = 1; // tint
    bool hasCaption = false;
    std::string caption;
    bool hasTooltip = false;
    std::string tooltip;
};
constexpr int kButtonSlots = 32;

// ------------------------------------------------------- Tools and prompts

// `currentOp`: the five height tools, then the three texture tools.
enum Tool : int32_t {
    kToolCarve = 0,
    kToolRaise = 1,
    kToolSmooth = 2,
    kToolNoise = 3,
    kToolFlatten = 4,
    kToolPaint = 5,
    kToolErase = 6,
    kToolSmoothTexture = 7,
};
constexpr int kToolCount = 8;
inline bool isHeightTool(int op) { return op >= kToolCarve && op <= kToolFlatten; }
inline bool isTextureTool(int op) { return op >= kToolPaint && op <= kToolSmoothTexture; }

// Side of the square tiles a stroke copies its data by (EditorState::strokeTiles).
constexpr int kStrokeTile = 32;

// `promptKind`: which file prompt is open.
enum PromptKind : int32_t {
    kPromptNone = 0,
    kPromptTexture = 1,   // import a display texture or sky set
    kPromptLoad = 2,      // load a document
    kPromptSave = 3,      // save the document
    kPromptHeightmap = 4, // import a height map
    kPromptExport = 5,
};
constexpr int kPromptKinds = 5;

// `exportFormat`: the export prompt's choice (F5 to F11 give codes 0 to 6;
// a typed name ending in ".png" or ".r16" chooses the last two).
enum ExportFormat : int32_t {
    kExportObj = 0,
    kExportHeightmapTga = 1,
    kExportQ1Map = 2,
    kExportQ3Map = 3,
    kExportDistributionTga = 4,
    kExportFinalTextureTga = 5,
    kExportNormalMapTga = 6,
    kExportHeightmapPng = 7,
    kExportHeightmapR16 = 8,
};
constexpr int kExportFormats = 9;

// `textureSlot` 0 to 2 are the ground textures; this one is the sky.
constexpr int32_t kTextureSlotSky = 3;

// ------------------------------------------------------------ EditorState

struct EditorState {
    // Window and frame clock (written by start-up, resetVideo and the loop).
    int32_t windowWidth = 800;       // pixels; replaced by each resize
    int32_t windowHeight = 600;
    int32_t farClip = 16384;         // far plane of the scene projection, world units
    SDL_Surface* videoSurface = nullptr;
    const uint8_t* keyState = nullptr; // SDL key-state array, refreshed every frame
    uint32_t modState = 0;           // SDL modifier bits, refreshed every frame
    uint32_t frameTicks = 0;         // SDL ticks when the previous frame's wait ended
    int32_t frameMillis = 25;        // ms between the last two frame starts, never below 25
    bool glContextReady = false;     // a GL context exists: the GPU mirror may act

    // Display switches (toggled by keys).
    uint8_t shadowsOn = 1;      // F4
    uint8_t smoothBrush = 1;    // B
    uint8_t hudVisible = 1;     // Tab
    uint8_t texturingOn = 1;    // F2
    uint8_t showNormals = 0;    // N
    uint8_t wireframe = 0;      // L
    uint8_t showFps = 0;        // F3
    uint8_t showLevelPlane = 0; // P

    // The document.
    Terrain terrain;

    // Tool settings.
    float brushWidth = 96.0f;    // brush radius, world units; the wheel keeps it >= 1
    float brushStrength = 1.5f;  // rate multiplier, never below 0.05
    float flattenHeight = 64.0f; // Flatten's target, replaced at every stroke start
    int32_t currentOp = kToolCarve; // a Tool
    int32_t paintTexture = 0;    // ground texture Paint applies: 0 sand, 1 grass, 2 snow
    std::vector<BrushStamp> stamps; // load order; firstStamp = 0, lastStamp = size - 1
    int32_t currentStamp = -1;      // index into stamps, -1 when none could be loaded

    // Stroke bookkeeping. strokeActive starts at 1 so that Ctrl+Z and Ctrl+Y
    // do nothing until the first left-button release.
    uint8_t strokeActive = 1;
    // The held stroke's copy of what it changes, as it stood at the press:
    // tiles of kStrokeTile x kStrokeTile vertex positions (height tools) or
    // texel weights (texture tools), 3 floats an element, keyed by tile
    // row * tiles per row + tile column. A tile is copied just before the
    // stroke first writes into it; the release cuts the undo entry from the
    // copies and the live array (tiles never written still hold the old
    // values), so a press costs nothing however large the grid.
    std::unordered_map<uint32_t, std::vector<float>> strokeTiles;
    bool hasVertexSnapshot = false;       // the held copy is of vertex positions
    bool hasDistributionSnapshot = false; // the held copy is of map texels
    int32_t strokeSnapshotWidth = 0;      // size of the array the held copy refers to (vertices or
    int32_t strokeSnapshotHeight = 0;     // texels); 0 when none is held
    int32_t dirtyMinX = 0, dirtyMinY = 0; // inclusive bounds a stroke touched (cells or texels);
    int32_t dirtyMaxX = 0, dirtyMaxY = 0; // min > max means nothing yet
    int32_t hoverIndex = 0;               // vertex under the cursor; kept while off the grid
    float pickPoint[3] = {0, 0, 0};       // world point under the cursor, x/y clamped to the terrain
    int32_t pickColumn = 0;               // nearest grid column/row this frame, may lie off the grid
    int32_t pickRow = 0;

    // Light.
    float lightPosition[3] = {-400.0f, -400.0f, 1024.0f};
    uint8_t lightDragActive = 0;
    double lightDragDepth = 0.0; // window depth of the light when grabbed

    Camera camera;

    // Prompt.
    int32_t promptKind = kPromptNone;  // a PromptKind
    char promptText[96] = {};          // at most 94 typed characters
    int32_t exportFormat = kExportObj; // an ExportFormat, kept between prompts
    int32_t textureSlot = 0;           // 0..2 ground textures, kTextureSlotSky; kept between prompts

    // Status message shown briefly in the HUD (failures, saves, refusals).
    std::string statusMessage;
    int64_t statusMessageUntil = 0; // steady-clock ms after which it disappears

    // Graphics resources (owned by the GL context of the window).
    void* sceneQuadric = nullptr;                 // GLUquadric*
    int32_t buttonIcon = kNoTexture;              // cache index of "data/button.tga"
    std::array<int32_t, 3> groundTextures = {kNoTexture, kNoTexture, kNoTexture};
    std::array<int32_t, 7> opIcons = {kNoTexture, kNoTexture, kNoTexture, kNoTexture,
                                      kNoTexture, kNoTexture, kNoTexture};
    std::array<int32_t, 6> skyTextures = {kNoTexture, kNoTexture, kNoTexture,
                                          kNoTexture, kNoTexture, kNoTexture};
    bool skyIsSphere = false;
    std::string skySetName;
    std::vector<TextureRecord> textureCache;
    ShaderProgram standardProgram;
    ShaderProgram shadowProgram;
    bool vboSupported = false;
    std::string glExtensions;
    std::array<int32_t, 5> meshBuffers = {-1, -1, -1, -1, -1}; // position, tileCoord, mapCoord, colour, normal
    uint32_t shadowDepthTexture = 0;
    uint32_t shadowFramebuffer = 0;
    double projectionMatrix[16] = {};
    double modelviewMatrix[16] = {};
    int32_t viewport[4] = {0, 0, 800, 600};

    // Palette.
    std::array<Button, kButtonSlots> buttons;
    std::array<int32_t, kToolCount> toolButtons = {-1, -1, -1, -1, -1, -1, -1, -1}; // slot indices
    std::array<int32_t, 3> textureButtons = {-1, -1, -1};
    std::array<int32_t, 5> fileButtons = {-1, -1, -1, -1, -1};

    UndoStack undoStack;

    bool quitRequested = false;
};

enum MeshBuffer { kPositionBuffer = 0, kTileCoordBuffer = 1, kMapCoordBuffer = 2, kColourBuffer = 3, kNormalBuffer = 4 };

// Modifier masks on modState.
constexpr uint32_t kModShift = 0x0003;
constexpr uint32_t kModCtrl = 0x00C0;
constexpr uint32_t kModAlt = 0x0300;

extern EditorState editor;

// The folder the editor's art and shaders are read from: "data" (relative to
// the working directory) until start-up locates it (app/data_directory.h).
// Kept outside EditorState so that resetting the record keeps it.
extern std::string gDataDirectory;
// A file of the data folder, e.g. dataFile("brushes/1.tga").
std::string dataFile(const std::string& relative);

// Resets every field to its default (tests use it between cases).
void resetEditorState();

// Reports something the user caused or asked for (a failed open, a refused
// command, a finished save): one line on stderr and the same text in the
// HUD for a few seconds.
void postStatus(const std::string& message);
// Whether postStatus also writes to stderr (batch mode keeps its successes
// quiet and prints the failing step's message itself).
extern bool gStatusToStderr;
// A command's refusal: posts `why` and returns true, or returns false when
// `why` is empty (the command may go ahead). Commands check before they
// record their undo entry, so a refused one leaves the history as it was.
bool refused(const std::string& why);
// Milliseconds on a steady clock, for message expiry.
int64_t steadyMillis();
