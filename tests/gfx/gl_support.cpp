#include "platform/gl.h"
#include "platform/window.h"
#include "tests/gfx/support.h"

#include <cstdlib>

namespace {
int uploadsBeforeFailure = -1;  // -1: none fails

void IgnoreMessage(const P_Message &) {}
}  // namespace

// The tests link with --wrap=gluBuild2DMipmaps, so the code under test calls this.
extern "C" GLint __real_gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width,
                                          GLsizei height, GLenum format, GLenum type,
                                          const void *data);
extern "C" GLint __wrap_gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width,
                                          GLsizei height, GLenum format, GLenum type,
                                          const void *data)
{
    if (uploadsBeforeFailure >= 0 && uploadsBeforeFailure-- == 0) {
        return GLU_OUT_OF_MEMORY;
    }
    return __real_gluBuild2DMipmaps(target, components, width, height, format, type, data);
}

void FailUploadAfter(int uploads) { uploadsBeforeFailure = uploads; }

bool MakeTestGlContext()
{
    static const bool made = [] {
        // SDL's offscreen driver renders with Mesa in memory, so no display is needed; the
        // variable outranks the drivers the platform asks for.
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        return P_RegisterClass("GfxTest", IgnoreMessage) &&
               P_CreateWindow("GfxTest", 0, 0, 64, 64) && P_CreateGLContext();
    }();
    return made;
}

std::string TexelBytes(uint32_t texture, uint32_t format)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::string bytes(size_t(width) * size_t(height) * (format == GL_RGBA ? 4 : 3), '\0');
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}
