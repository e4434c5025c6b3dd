#include "render/gl_extensions.h"

#include <SDL.h>

#include "io/file_read.h"

#include <cstring>
#include <vector>

GlEntryPoints gl;

namespace {

template <typename T>
void fetch(T& pointer, const char* name)
{
    pointer = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
}

std::string infoLog(GLhandleARB object)
{
    if (!gl.getObjectParameteriv || !gl.getInfoLog) return {};
    GLint length = 0;
    gl.getObjectParameteriv(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    if (length <= 0) return {};
    std::vector<char> text(size_t(length) + 1, '\0');
    gl.getInfoLog(object, length, nullptr, text.data());
    return text.data();
}

// Compile or link status; true when it cannot be queried (the GL decides at use).
bool objectStatus(GLhandleARB object, GLenum which)
{
    if (!gl.getObjectParameteriv) return true;
    GLint ok = 0;
    gl.getObjectParameteriv(object, which, &ok);
    return ok != 0;
}

// Shader sources are small text files; anything larger is not one.
constexpr uint64_t kMaxShaderSourceBytes = 1 << 20;

bool readSource(const std::string& path, std::string& out)
{
    std::vector<uint8_t> bytes;
    if (readFileBytes(path, kMaxShaderSourceBytes, bytes) != FileRead::kOk) return false;
    out.assign(bytes.begin(), bytes.end());
    return true;
}

} // namespace

void checkBufferExtension()
{
    const GLubyte* extensions = glGetString(GL_EXTENSIONS);
    editor.glExtensions = extensions ? reinterpret_cast<const char*>(extensions) : "";
    editor.vboSupported = editor.glExtensions.find("GL_ARB_vertex_buffer_object") != std::string::npos;
    if (!editor.vboSupported) return;
    fetch(gl.genBuffers, "glGenBuffersARB");
    fetch(gl.bindBuffer, "glBindBufferARB");
    fetch(gl.bufferData, "glBufferDataARB");
    fetch(gl.bufferSubData, "glBufferSubDataARB");
    fetch(gl.deleteBuffers, "glDeleteBuffersARB");
    // A driver that advertises the extension but lacks an entry point is
    // treated as not having it, rather than crashing on the first upload.
    if (!gl.genBuffers || !gl.bindBuffer || !gl.bufferData || !gl.bufferSubData || !gl.deleteBuffers)
        editor.vboSupported = false;
}

void loadGlEntryPoints()
{
    fetch(gl.createProgramObject, "glCreateProgramObjectARB");
    fetch(gl.createShaderObject, "glCreateShaderObjectARB");
    fetch(gl.shaderSource, "glShaderSourceARB");
    fetch(gl.compileShader, "glCompileShaderARB");
    fetch(gl.attachObject, "glAttachObjectARB");
    fetch(gl.linkProgram, "glLinkProgramARB");
    fetch(gl.deleteObject, "glDeleteObjectARB");
    fetch(gl.useProgramObject, "glUseProgramObjectARB");
    fetch(gl.getUniformLocation, "glGetUniformLocationARB");
    fetch(gl.uniform1i, "glUniform1iARB");
    fetch(gl.uniform1f, "glUniform1fARB");
    fetch(gl.uniform3f, "glUniform3fARB");
    fetch(gl.getObjectParameteriv, "glGetObjectParameterivARB");
    fetch(gl.getInfoLog, "glGetInfoLogARB");
    fetch(gl.activeTexture, "glActiveTextureARB");
    fetch(gl.clientActiveTexture, "glClientActiveTextureARB");
    fetch(gl.genFramebuffers, "glGenFramebuffersEXT");
    fetch(gl.bindFramebuffer, "glBindFramebufferEXT");
    fetch(gl.framebufferTexture2D, "glFramebufferTexture2DEXT");
    fetch(gl.checkFramebufferStatus, "glCheckFramebufferStatusEXT");
    fetch(gl.deleteFramebuffers, "glDeleteFramebuffersEXT");
    loadShaderProgram(editor.standardProgram, "standard");
    loadShaderProgram(editor.shadowProgram, "shadow");
}

bool shaderObjectsAvailable()
{
    return gl.createProgramObject && gl.createShaderObject && gl.shaderSource && gl.compileShader &&
           gl.attachObject && gl.linkProgram && gl.deleteObject && gl.useProgramObject &&
           gl.getUniformLocation && gl.uniform1i;
}

void deleteShaderProgram(ShaderProgram& program)
{
    if (program.program > 0 && gl.deleteObject) gl.deleteObject(GLhandleARB(program.program));
    program.program = -1;
}

void loadShaderProgram(ShaderProgram& program, const std::string& name)
{
    if (program.program > 0 && gl.deleteObject) gl.deleteObject(GLhandleARB(program.program));
    program.program = -1;
    std::string vertexSource, fragmentSource;
    const bool haveVertex = readSource(dataFile(name + ".vert"), vertexSource);
    const bool haveFragment = readSource(dataFile(name + ".frag"), fragmentSource);
    if (!haveVertex || !haveFragment || !shaderObjectsAvailable()) return;

    const GLhandleARB object = gl.createProgramObject();
    const GLhandleARB vertexShader = gl.createShaderObject(GL_VERTEX_SHADER_ARB);
    const GLhandleARB fragmentShader = gl.createShaderObject(GL_FRAGMENT_SHADER_ARB);
    const GLcharARB* vertexText = vertexSource.c_str();
    const GLcharARB* fragmentText = fragmentSource.c_str();
    gl.shaderSource(vertexShader, 1, &vertexText, nullptr);
    gl.shaderSource(fragmentShader, 1, &fragmentText, nullptr);
    gl.compileShader(vertexShader);
    gl.compileShader(fragmentShader);
    gl.attachObject(object, vertexShader);
    gl.attachObject(object, fragmentShader);
    gl.linkProgram(object);

    // A broken program would draw garbage or nothing; report it once and
    // draw as if the program were missing.
    std::string failure;
    if (!objectStatus(vertexShader, GL_OBJECT_COMPILE_STATUS_ARB))
        failure += dataFile(name + ".vert") + ": " + infoLog(vertexShader);
    if (!objectStatus(fragmentShader, GL_OBJECT_COMPILE_STATUS_ARB))
        failure += dataFile(name + ".frag") + ": " + infoLog(fragmentShader);
    if (failure.empty() && !objectStatus(object, GL_OBJECT_LINK_STATUS_ARB))
        failure += "program " + name + ": " + infoLog(object);
    gl.deleteObject(vertexShader);
    gl.deleteObject(fragmentShader);
    if (!failure.empty()) {
        std::fprintf(stderr, "Shader program \"%s\" failed to build:\n%s\n", name.c_str(), failure.c_str());
        gl.deleteObject(object);
        return;
    }
    program.program = int32_t(object);
}

void selectTextureUnit(int unit)
{
    if (gl.activeTexture) gl.activeTexture(GLenum(GL_TEXTURE0_ARB + unit));
}

void selectClientTextureUnit(int unit)
{
    if (gl.clientActiveTexture) gl.clientActiveTexture(GLenum(GL_TEXTURE0_ARB + unit));
}
