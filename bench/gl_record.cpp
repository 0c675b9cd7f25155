#include "bench/gl_record.h"

#include "platform/gl.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <unistd.h>

extern "C" void __real_glGetIntegerv(GLenum name, GLint *values);

namespace {
enum class Phase { START_UP, IDLE, ARMED, FRAME };

Phase phase = Phase::START_UP;
const char *armedName = "";
std::string recorded;
std::string pixels;  // every upload's pixels, one after the other

void Note(const char *name, std::initializer_list<double> args)
{
    if (phase != Phase::START_UP && phase != Phase::FRAME) {
        return;
    }
    recorded += name;
    char number[32];
    for (const double arg : args) {
        snprintf(number, sizeof number, " %.17g", arg);
        recorded += number;
    }
    recorded += '\n';
}

// Keeps an upload's pixels for the reference, which sends the same ones; returns their offset
// in the pixel file. The game uploads bytes only; anything else ends the recording.
double KeepPixels(GLsizei width, GLsizei height, GLenum format, GLenum type, const void *data)
{
    int32_t channels = 0;
    switch (format) {
    case GL_RGB:
        channels = 3;
        break;
    case GL_RGBA:
        channels = 4;
        break;
    case GL_LUMINANCE_ALPHA:
        channels = 2;
        break;
    case GL_ALPHA:
    case GL_LUMINANCE:
        channels = 1;
        break;
    default:
        break;
    }
    if (channels == 0 || type != GL_UNSIGNED_BYTE || width < 0 || height < 0) {
        fprintf(stderr, "Vorn2Record: cannot keep an upload of format %u, type %u\n", format, type);
        _exit(1);
    }
    GLint alignment = 4;
    __real_glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    const size_t row = size_t(width) * size_t(channels);
    const size_t stride = (row + size_t(alignment) - 1) / size_t(alignment) * size_t(alignment);
    const size_t offset = pixels.size();
    if (data != nullptr) {
        pixels.append(static_cast<const char *>(data), stride * size_t(height));
    } else {
        pixels.append(stride * size_t(height), '\0');
    }
    return double(offset);
}
}  // namespace

void GlRecordNextFrame(const char *name)
{
    armedName = name;
    phase = Phase::ARMED;
}

bool GlRecordFramePresented()
{
    if (phase != Phase::FRAME) {
        return false;
    }
    phase = Phase::IDLE;
    return true;
}

namespace {
bool WriteFile(const std::string &path, const std::string &bytes)
{
    FILE *const file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}
}  // namespace

bool GlRecordWrite(const char *path)
{
    return WriteFile(path, recorded) && WriteFile(std::string(path) + ".pixels", pixels);
}

// The linker sends the game's calls here (--wrap); __real_ names reach the library.
extern "C" {
#define BENCH_NUMBERS(...)                                                                         \
    {                                                                                              \
        __VA_ARGS__                                                                                \
    }
#define BENCH_WRAP(name, params, args, numbers)                                                    \
    void __real_##name params;                                                                     \
    void __wrap_##name params                                                                      \
    {                                                                                              \
        Note(#name, BENCH_NUMBERS numbers);                                                        \
        __real_##name args;                                                                        \
    }

BENCH_WRAP(glBegin, (GLenum mode), (mode), (double(mode)))

BENCH_WRAP(glBindFramebuffer, (GLenum target, GLuint framebuffer), (target, framebuffer),
           (double(target), double(framebuffer)))

BENCH_WRAP(glBindTexture, (GLenum target, GLuint texture), (target, texture),
           (double(target), double(texture)))

BENCH_WRAP(glBlendFunc, (GLenum source, GLenum destination), (source, destination),
           (double(source), double(destination)))

BENCH_WRAP(glBlitFramebuffer,
           (GLint sx0, GLint sy0, GLint sx1, GLint sy1, GLint dx0, GLint dy0, GLint dx1, GLint dy1,
            GLbitfield mask, GLenum filter),
           (sx0, sy0, sx1, sy1, dx0, dy0, dx1, dy1, mask, filter),
           (double(sx0), double(sy0), double(sx1), double(sy1), double(dx0), double(dy0),
            double(dx1), double(dy1), double(mask), double(filter)))

BENCH_WRAP(glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b),
           (double(r), double(g), double(b)))

BENCH_WRAP(glColor4d, (GLdouble r, GLdouble g, GLdouble b, GLdouble a), (r, g, b, a), (r, g, b, a))

BENCH_WRAP(glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a),
           (double(r), double(g), double(b), double(a)))

BENCH_WRAP(glColor4fv, (const GLfloat *v), (v),
           (double(v[0]), double(v[1]), double(v[2]), double(v[3])))

BENCH_WRAP(glCopyTexSubImage2D,
           (GLenum target, GLint level, GLint xOffset, GLint yOffset, GLint x, GLint y, GLsizei w,
            GLsizei h),
           (target, level, xOffset, yOffset, x, y, w, h),
           (double(target), double(level), double(xOffset), double(yOffset), double(x), double(y),
            double(w), double(h)))

BENCH_WRAP(glDisable, (GLenum cap), (cap), (double(cap)))

BENCH_WRAP(glEnable, (GLenum cap), (cap), (double(cap)))

BENCH_WRAP(glEnd, (), (), ())

BENCH_WRAP(glFinish, (), (), ())

BENCH_WRAP(glFlush, (), (), ())

BENCH_WRAP(glGetFloatv, (GLenum name, GLfloat *values), (name, values), (double(name)))

BENCH_WRAP(glFramebufferTexture2D,
           (GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture, GLint level),
           (target, attachment, textureTarget, texture, level),
           (double(target), double(attachment), double(textureTarget), double(texture),
            double(level)))

BENCH_WRAP(glGetIntegerv, (GLenum name, GLint *values), (name, values), (double(name)))

BENCH_WRAP(glLineWidth, (GLfloat width), (width), (double(width)))

BENCH_WRAP(glLoadIdentity, (), (), ())

BENCH_WRAP(glMatrixMode, (GLenum mode), (mode), (double(mode)))

BENCH_WRAP(glOrtho, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f),
           (l, r, b, t, n, f), (l, r, b, t, n, f))

BENCH_WRAP(glPixelStorei, (GLenum name, GLint value), (name, value), (double(name), double(value)))

BENCH_WRAP(glPointSize, (GLfloat size), (size), (double(size)))

BENCH_WRAP(glPolygonMode, (GLenum face, GLenum mode), (face, mode), (double(face), double(mode)))

BENCH_WRAP(glPopAttrib, (), (), ())

BENCH_WRAP(glPopMatrix, (), (), ())

BENCH_WRAP(glPushAttrib, (GLbitfield mask), (mask), (double(mask)))

BENCH_WRAP(glPushMatrix, (), (), ())

BENCH_WRAP(glRotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z), (angle, x, y, z),
           (double(angle), double(x), double(y), double(z)))

BENCH_WRAP(glScissor, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h),
           (double(x), double(y), double(w), double(h)))

BENCH_WRAP(glTexCoord2d, (GLdouble s, GLdouble t), (s, t), (s, t))

BENCH_WRAP(glTexCoord2f, (GLfloat s, GLfloat t), (s, t), (double(s), double(t)))

BENCH_WRAP(glTexEnvfv, (GLenum target, GLenum name, const GLfloat *v), (target, name, v),
           (double(target), double(name), double(v[0]), double(v[1]), double(v[2]), double(v[3])))

BENCH_WRAP(glTexEnvi, (GLenum target, GLenum name, GLint value), (target, name, value),
           (double(target), double(name), double(value)))

BENCH_WRAP(glTexParameteri, (GLenum target, GLenum name, GLint value), (target, name, value),
           (double(target), double(name), double(value)))

BENCH_WRAP(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z),
           (double(x), double(y), double(z)))

BENCH_WRAP(glVertex2d, (GLdouble x, GLdouble y), (x, y), (x, y))

BENCH_WRAP(glVertex2f, (GLfloat x, GLfloat y), (x, y), (double(x), double(y)))

BENCH_WRAP(glVertex2i, (GLint x, GLint y), (x, y), (double(x), double(y)))

BENCH_WRAP(glViewport, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h),
           (double(x), double(y), double(w), double(h)))

BENCH_WRAP(gluOrtho2D, (GLdouble l, GLdouble r, GLdouble b, GLdouble t), (l, r, b, t), (l, r, b, t))
#undef BENCH_WRAP
#undef BENCH_NUMBERS

// The calls below return something, carry pixels or mark the frame's start.
void __real_glClear(GLbitfield mask);
void __wrap_glClear(GLbitfield mask)
{
    // The first clear ends the start-up; an armed recording starts with its frame's clear.
    if (phase == Phase::START_UP) {
        phase = Phase::IDLE;
    }
    if (phase == Phase::ARMED) {
        recorded += "@frame ";
        recorded += armedName;
        recorded += '\n';
        phase = Phase::FRAME;
    }
    Note("glClear", {double(mask)});
    __real_glClear(mask);
}

GLenum __real_glGetError();
GLenum __wrap_glGetError()
{
    Note("glGetError", {});
    return __real_glGetError();
}

GLboolean __real_glIsEnabled(GLenum cap);
GLboolean __wrap_glIsEnabled(GLenum cap)
{
    Note("glIsEnabled", {double(cap)});
    return __real_glIsEnabled(cap);
}

void __real_glDeleteTextures(GLsizei count, const GLuint *names);
void __wrap_glDeleteTextures(GLsizei count, const GLuint *names)
{
    for (GLsizei i = 0; i < count; ++i) {
        Note("glDeleteTextures", {1.0, double(names[i])});
    }
    __real_glDeleteTextures(count, names);
}

void __real_glGenTextures(GLsizei count, GLuint *names);
void __wrap_glGenTextures(GLsizei count, GLuint *names)
{
    __real_glGenTextures(count, names);
    // The reference maps each recorded name to the one its own driver hands out.
    for (GLsizei i = 0; i < count; ++i) {
        Note("glGenTextures", {1.0, double(names[i])});
    }
}

GLenum __real_glCheckFramebufferStatus(GLenum target);
GLenum __wrap_glCheckFramebufferStatus(GLenum target)
{
    Note("glCheckFramebufferStatus", {double(target)});
    return __real_glCheckFramebufferStatus(target);
}

void __real_glGenFramebuffers(GLsizei count, GLuint *names);
void __wrap_glGenFramebuffers(GLsizei count, GLuint *names)
{
    __real_glGenFramebuffers(count, names);
    for (GLsizei i = 0; i < count; ++i) {
        Note("glGenFramebuffers", {1.0, double(names[i])});
    }
}

void __real_glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h,
                         GLint border, GLenum format, GLenum type, const void *data);
void __wrap_glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h,
                         GLint border, GLenum format, GLenum type, const void *data)
{
    const double offset = KeepPixels(w, h, format, type, data);
    Note("glTexImage2D", {double(target), double(level), double(internal), double(w), double(h),
                          double(border), double(format), double(type), offset});
    __real_glTexImage2D(target, level, internal, w, h, border, format, type, data);
}

GLint __real_gluBuild2DMipmaps(GLenum target, GLint components, GLsizei w, GLsizei h, GLenum format,
                               GLenum type, const void *pixels);
GLint __wrap_gluBuild2DMipmaps(GLenum target, GLint components, GLsizei w, GLsizei h, GLenum format,
                               GLenum type, const void *data)
{
    const double offset = KeepPixels(w, h, format, type, data);
    Note("gluBuild2DMipmaps", {double(target), double(components), double(w), double(h),
                               double(format), double(type), offset});
    return __real_gluBuild2DMipmaps(target, components, w, h, format, type, data);
}
}
