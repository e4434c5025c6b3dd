// Extension entry points fetched by name from the GL, and the two shader
// programs of the terrain.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <string>

#include "app/editor_state.h"

struct GlEntryPoints {
    // Buffer objects (only when the extension is advertised).
    PFNGLGENBUFFERSARBPROC genBuffers = nullptr;
    PFNGLBINDBUFFERARBPROC bindBuffer = nullptr;
    PFNGLBUFFERDATAARBPROC bufferData = nullptr;
    PFNGLBUFFERSUBDATAARBPROC bufferSubData = nullptr;
    PFNGLDELETEBUFFERSARBPROC deleteBuffers = nullptr;
    // Shader objects.
    PFNGLCREATEPROGRAMOBJECTARBPROC createProgramObject = nullptr;
    PFNGLCREATESHADEROBJECTARBPROC createShaderObject = nullptr;
    PFNGLSHADERSOURCEARBPROC shaderSource = nullptr;
    PFNGLCOMPILESHADERARBPROC compileShader = nullptr;
    PFNGLATTACHOBJECTARBPROC attachObject = nullptr;
    PFNGLLINKPROGRAMARBPROC linkProgram = nullptr;
    PFNGLDELETEOBJECTARBPROC deleteObject = nullptr;
    PFNGLUSEPROGRAMOBJECTARBPROC useProgramObject = nullptr;
    PFNGLGETUNIFORMLOCATIONARBPROC getUniformLocation = nullptr;
    PFNGLUNIFORM1IARBPROC uniform1i = nullptr;
    PFNGLUNIFORM1FARBPROC uniform1f = nullptr;
    PFNGLUNIFORM3FARBPROC uniform3f = nullptr;
    PFNGLGETOBJECTPARAMETERIVARBPROC getObjectParameteriv = nullptr;
    PFNGLGETINFOLOGARBPROC getInfoLog = nullptr;
    // Multitexture.
    PFNGLACTIVETEXTUREARBPROC activeTexture = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC clientActiveTexture = nullptr;
    // Framebuffer objects.
    PFNGLGENFRAMEBUFFERSEXTPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFEREXTPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DEXTPROC framebufferTexture2D = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC checkFramebufferStatus = nullptr;
    PFNGLDELETEFRAMEBUFFERSEXTPROC deleteFramebuffers = nullptr; // shadow map of a kept context
};

extern GlEntryPoints gl;

// Reads the extension string; with the buffer-object extension sets
// vboSupported and fetches the buffer entry points.
void checkBufferExtension();
// Fetches the shader, multitexture and framebuffer entry points, then builds
// the "standard" and "shadow" programs.
void loadGlEntryPoints();
// Builds `program` from data/<name>.vert and data/<name>.frag. A missing
// file, or a shader that fails to compile or link, leaves the program
// handle at -1 (the failure's log goes to stderr).
void loadShaderProgram(ShaderProgram& program, const std::string& name);
// Deletes the program object, if any, and sets its handle to -1.
void deleteShaderProgram(ShaderProgram& program);
// Whether the shader-object entry points the textured path needs exist.
bool shaderObjectsAvailable();
// Selects texture unit `unit` (active and/or client-active); skipped when the
// entry point is missing.
void selectTextureUnit(int unit);
void selectClientTextureUnit(int unit);
