#pragma once

// Every OpenGL and GLU call the game makes, one per line. The recorder wraps each of these (its
// link options are read from this list) and the reference replays them; a call missing here is
// neither recorded nor replayed, which run-bench checks against the game's binary.
// clang-format off
#define BENCH_GL_CALLS(X) \
    X(glBegin) \
    X(glBindFramebuffer) \
    X(glBindTexture) \
    X(glBlendFunc) \
    X(glBlitFramebuffer) \
    X(glCheckFramebufferStatus) \
    X(glClear) \
    X(glColor3f) \
    X(glColor4d) \
    X(glColor4f) \
    X(glColor4fv) \
    X(glCopyTexSubImage2D) \
    X(glDeleteTextures) \
    X(glDisable) \
    X(glEnable) \
    X(glEnd) \
    X(glFinish) \
    X(glFlush) \
    X(glFramebufferTexture2D) \
    X(glGenFramebuffers) \
    X(glGenTextures) \
    X(glGetError) \
    X(glGetFloatv) \
    X(glGetIntegerv) \
    X(glIsEnabled) \
    X(glLineWidth) \
    X(glLoadIdentity) \
    X(glMatrixMode) \
    X(glOrtho) \
    X(glPixelStorei) \
    X(glPointSize) \
    X(glPolygonMode) \
    X(glPopAttrib) \
    X(glPopMatrix) \
    X(glPushAttrib) \
    X(glPushMatrix) \
    X(glRotatef) \
    X(glScissor) \
    X(glTexCoord2d) \
    X(glTexCoord2f) \
    X(glTexEnvfv) \
    X(glTexEnvi) \
    X(glTexImage2D) \
    X(glTexParameteri) \
    X(glTranslatef) \
    X(glVertex2d) \
    X(glVertex2f) \
    X(glVertex2i) \
    X(glViewport) \
    X(gluBuild2DMipmaps) \
    X(gluOrtho2D)
// clang-format on

// The most numbers one recorded call carries: glBlitFramebuffer's.
constexpr int BENCH_GL_MAX_ARGS = 10;
