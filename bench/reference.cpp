// The reference: a bare SDL2 program that opens the game's window, OpenGL context and mixer
// device, loads the game's music and replays the OpenGL calls the recorder took from the game,
// texture uploads included, with the same pixels (read raw: decoding is the game's own work).
// Whatever the game spends beyond this is its own.
//
//   Vorn2Reference CALLS FRAME [options]
//     FRAME ending in "*" names every frame it starts, replayed one after another in a loop
//     --interval MS     time between frames, 0 for as fast as possible (default 10)
//     --music           play the music from the start
//     --no-music        load no music at all: a window, a context and an open mixer device
//     --click FRAME     a left click switches to FRAME and starts the music, as PLAY does
//     --measure S OUT   after a second's warm-up, time S seconds of frames into OUT and end
//
// It runs in the game's data folder's parent, as the game does, and is ended by a signal.

#include "bench/alloc_count.h"
#include "bench/frame_log.h"
#include "bench/gl_calls.h"
#include "platform/sdl_settings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <SDL_mixer.h>

namespace {
constexpr char MUSIC_PATH[] = "basev2/media/music/ingame1.mid";
constexpr double WARM_UP_SECONDS = 1.0;

enum class Op {
#define BENCH_OP(name) name,
    BENCH_GL_CALLS(BENCH_OP)
#undef BENCH_OP
};

const char *const OP_NAMES[] = {
#define BENCH_NAME(name) #name,
    BENCH_GL_CALLS(BENCH_NAME)
#undef BENCH_NAME
};

struct Call {
    Op op;
    double a[BENCH_GL_MAX_ARGS];
};

using Calls = std::vector<Call>;

std::map<std::string, Calls> sections;
std::vector<GLuint> textureNames;  // ours, by the name the game's driver gave
std::vector<GLuint> framebufferNames;
std::vector<unsigned char> pixels;  // the game's uploads, the recording's pixel file whole

std::vector<std::string> sequence;  // frames taken by a name ending in "*", in file order

bool Wanted(const std::string &name, const std::vector<std::string> &wanted)
{
    for (const std::string &want : wanted) {
        if (want == name) {
            return true;
        }
        if (!want.empty() && want.back() == '*' &&
            name.compare(0, want.size() - 1, want, 0, want.size() - 1) == 0) {
            sequence.push_back(name);
            return true;
        }
    }
    return false;
}

// Reads the start-up's calls and the frames named in `wanted`; the other frames are skipped
// unread, so that start-up costs no more than it must.
bool ReadCalls(const char *path, const std::vector<std::string> &wanted)
{
    FILE *const file = fopen(path, "r");
    if (file == nullptr) {
        fprintf(stderr, "Vorn2Reference: cannot read %s\n", path);
        return false;
    }
    std::map<std::string, Op> ops;
    for (size_t i = 0; i < sizeof OP_NAMES / sizeof OP_NAMES[0]; ++i) {
        ops[OP_NAMES[i]] = Op(i);
    }
    Calls *section = &sections["setup"];
    char line[512];
    bool good = true;
    while (good && fgets(line, sizeof line, file) != nullptr) {
        line[strcspn(line, "\n")] = '\0';
        if (strncmp(line, "@frame ", 7) == 0) {
            const std::string name = line + 7;
            section = Wanted(name, wanted) ? &sections[name] : nullptr;
            continue;
        }
        if (section == nullptr) {
            continue;
        }
        char *rest = line;
        const std::string name = strsep(&rest, " ");
        const auto found = ops.find(name);
        if (found == ops.end()) {
            fprintf(stderr, "Vorn2Reference: unknown call \"%s\" in %s\n", name.c_str(), path);
            good = false;
            break;
        }
        Call call = {found->second, {}};
        for (int i = 0; rest != nullptr && i < BENCH_GL_MAX_ARGS; ++i) {
            call.a[i] = strtod(strsep(&rest, " "), nullptr);
        }
        section->push_back(call);
    }
    fclose(file);
    return good;
}

GLuint Texture(double recorded)
{
    const size_t name = size_t(recorded);
    return name < textureNames.size() ? textureNames[name] : 0;
}

// Framebuffer 0 is the window's own.
GLuint Framebuffer(double recorded)
{
    const size_t name = size_t(recorded);
    return name < framebufferNames.size() ? framebufferNames[name] : 0;
}

// Gives out a name of our own driver's for a recorded one.
void MapName(std::vector<GLuint> *names, double recorded, GLuint ours)
{
    const size_t name = size_t(recorded);
    if (name >= names->size()) {
        names->resize(name + 1, 0);
    }
    (*names)[name] = ours;
}

GLenum E(double value) { return GLenum(value); }
GLint I(double value) { return GLint(value); }
GLfloat F(double value) { return GLfloat(value); }

bool ReadPixels(const std::string &path)
{
    FILE *const file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        fprintf(stderr, "Vorn2Reference: cannot read %s\n", path.c_str());
        return false;
    }
    fseek(file, 0, SEEK_END);
    pixels.resize(size_t(ftell(file)));
    fseek(file, 0, SEEK_SET);
    const bool read = fread(pixels.data(), 1, pixels.size(), file) == pixels.size();
    fclose(file);
    return read;
}

const void *Pixels(double offset) { return pixels.data() + size_t(offset); }

void Replay(const Calls &calls)
{
    GLint scratch[16];
    GLfloat floats[16];
    for (const Call &call : calls) {
        const double *const a = call.a;
        switch (call.op) {
        // clang-format off
        case Op::glBegin:         glBegin(E(a[0])); break;
        case Op::glBindTexture:   glBindTexture(E(a[0]), Texture(a[1])); break;
        case Op::glBlendFunc:     glBlendFunc(E(a[0]), E(a[1])); break;
        case Op::glClear:         glClear(GLbitfield(a[0])); break;
        case Op::glColor3f:       glColor3f(F(a[0]), F(a[1]), F(a[2])); break;
        case Op::glColor4d:       glColor4d(a[0], a[1], a[2], a[3]); break;
        case Op::glColor4f:       glColor4f(F(a[0]), F(a[1]), F(a[2]), F(a[3])); break;
        case Op::glDisable:       glDisable(E(a[0])); break;
        case Op::glEnable:        glEnable(E(a[0])); break;
        case Op::glEnd:           glEnd(); break;
        case Op::glFinish:        glFinish(); break;
        case Op::glFlush:         glFlush(); break;
        case Op::glGetError:      glGetError(); break;
        case Op::glGetFloatv:     glGetFloatv(E(a[0]), floats); break;
        case Op::glGetIntegerv:   glGetIntegerv(E(a[0]), scratch); break;
        case Op::glIsEnabled:     glIsEnabled(E(a[0])); break;
        case Op::glLineWidth:     glLineWidth(F(a[0])); break;
        case Op::glLoadIdentity:  glLoadIdentity(); break;
        case Op::glMatrixMode:    glMatrixMode(E(a[0])); break;
        case Op::glOrtho:         glOrtho(a[0], a[1], a[2], a[3], a[4], a[5]); break;
        case Op::glPixelStorei:   glPixelStorei(E(a[0]), I(a[1])); break;
        case Op::glPointSize:     glPointSize(F(a[0])); break;
        case Op::glPolygonMode:   glPolygonMode(E(a[0]), E(a[1])); break;
        case Op::glPopAttrib:     glPopAttrib(); break;
        case Op::glPopMatrix:     glPopMatrix(); break;
        case Op::glPushAttrib:    glPushAttrib(GLbitfield(a[0])); break;
        case Op::glPushMatrix:    glPushMatrix(); break;
        case Op::glRotatef:       glRotatef(F(a[0]), F(a[1]), F(a[2]), F(a[3])); break;
        case Op::glScissor:       glScissor(I(a[0]), I(a[1]), I(a[2]), I(a[3])); break;
        case Op::glTexCoord2d:    glTexCoord2d(a[0], a[1]); break;
        case Op::glTexCoord2f:    glTexCoord2f(F(a[0]), F(a[1])); break;
        case Op::glTexEnvi:       glTexEnvi(E(a[0]), E(a[1]), I(a[2])); break;
        case Op::glTexParameteri: glTexParameteri(E(a[0]), E(a[1]), I(a[2])); break;
        case Op::glTranslatef:    glTranslatef(F(a[0]), F(a[1]), F(a[2])); break;
        case Op::glVertex2d:      glVertex2d(a[0], a[1]); break;
        case Op::glVertex2f:      glVertex2f(F(a[0]), F(a[1])); break;
        case Op::glVertex2i:      glVertex2i(I(a[0]), I(a[1])); break;
        case Op::glViewport:      glViewport(I(a[0]), I(a[1]), I(a[2]), I(a[3])); break;
        case Op::gluOrtho2D:      gluOrtho2D(a[0], a[1], a[2], a[3]); break;
        // clang-format on
        case Op::glColor4fv: {
            const GLfloat colour[4] = {F(a[0]), F(a[1]), F(a[2]), F(a[3])};
            glColor4fv(colour);
            break;
        }
        case Op::glGenTextures: {
            GLuint name = 0;
            glGenTextures(1, &name);
            MapName(&textureNames, a[1], name);
            break;
        }
        case Op::glCopyTexSubImage2D:
            glCopyTexSubImage2D(E(a[0]), I(a[1]), I(a[2]), I(a[3]), I(a[4]), I(a[5]), I(a[6]),
                                I(a[7]));
            break;
        case Op::glDeleteTextures: {
            const GLuint name = Texture(a[1]);
            glDeleteTextures(1, &name);
            break;
        }
        case Op::glTexEnvfv: {
            const GLfloat values[4] = {F(a[2]), F(a[3]), F(a[4]), F(a[5])};
            glTexEnvfv(E(a[0]), E(a[1]), values);
            break;
        }
        case Op::glGenFramebuffers: {
            GLuint name = 0;
            glGenFramebuffers(1, &name);
            MapName(&framebufferNames, a[1], name);
            break;
        }
        case Op::glBindFramebuffer:
            glBindFramebuffer(E(a[0]), Framebuffer(a[1]));
            break;
        case Op::glCheckFramebufferStatus:
            glCheckFramebufferStatus(E(a[0]));
            break;
        case Op::glFramebufferTexture2D:
            glFramebufferTexture2D(E(a[0]), E(a[1]), E(a[2]), Texture(a[3]), I(a[4]));
            break;
        case Op::glBlitFramebuffer:
            glBlitFramebuffer(I(a[0]), I(a[1]), I(a[2]), I(a[3]), I(a[4]), I(a[5]), I(a[6]),
                              I(a[7]), GLbitfield(a[8]), E(a[9]));
            break;
        case Op::glTexImage2D:
            glTexImage2D(E(a[0]), I(a[1]), I(a[2]), I(a[3]), I(a[4]), I(a[5]), E(a[6]), E(a[7]),
                         Pixels(a[8]));
            break;
        case Op::gluBuild2DMipmaps:
            gluBuild2DMipmaps(E(a[0]), I(a[1]), I(a[2]), I(a[3]), E(a[4]), E(a[5]), pixels.data());
            break;
        }
    }
}

double Seconds()
{
    return double(SDL_GetPerformanceCounter()) / double(SDL_GetPerformanceFrequency());
}

// Sleeps until `deadline` (seconds on the performance clock) without spinning.
void SleepUntil(double deadline)
{
    const double wait = deadline - Seconds();
    if (wait <= 0.0) {
        return;
    }
    timespec pause = {time_t(wait), long((wait - double(time_t(wait))) * 1e9)};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

bool WriteLog(const char *path)
{
    FILE *const out = fopen(path, "w");
    if (out == nullptr) {
        return false;
    }
    FrameLogWrite(out);
    return fclose(out) == 0;
}

struct Options {
    const char *callsPath = nullptr;
    const char *frame = nullptr;
    const char *clickFrame = nullptr;
    double interval = 0.010;
    bool music = false;
    bool loadMusic = true;
    double measureSeconds = 0.0;
    const char *measurePath = nullptr;
};

bool ParseOptions(int argc, char **argv, Options *options)
{
    if (argc < 3) {
        return false;
    }
    options->callsPath = argv[1];
    options->frame = argv[2];
    for (int i = 3; i < argc; ++i) {
        if (strcmp(argv[i], "--interval") == 0 && i + 1 < argc) {
            options->interval = atof(argv[++i]) / 1000.0;
        } else if (strcmp(argv[i], "--music") == 0) {
            options->music = true;
        } else if (strcmp(argv[i], "--no-music") == 0) {
            options->loadMusic = false;
        } else if (strcmp(argv[i], "--click") == 0 && i + 1 < argc) {
            options->clickFrame = argv[++i];
        } else if (strcmp(argv[i], "--measure") == 0 && i + 2 < argc) {
            options->measureSeconds = atof(argv[++i]);
            options->measurePath = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}
}  // namespace

int main(int argc, char **argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        fprintf(stderr,
                "usage: %s CALLS FRAME [--interval MS] [--music] [--no-music] [--click FRAME] "
                "[--measure SECONDS OUT]\n",
                argv[0]);
        return 2;
    }
    AllocCountThisThread();
    std::vector<std::string> wanted = {options.frame};
    if (options.clickFrame != nullptr) {
        wanted.push_back(options.clickFrame);
    }
    if (!ReadCalls(options.callsPath, wanted) ||
        !ReadPixels(std::string(options.callsPath) + ".pixels")) {
        return 1;
    }
    std::vector<const Calls *> frames;
    if (sequence.empty()) {
        frames.push_back(&sections[options.frame]);
    }
    for (const std::string &name : sequence) {
        frames.push_back(&sections[name]);
    }
    if (frames.front()->empty() ||
        (options.clickFrame != nullptr && sections[options.clickFrame].empty())) {
        fprintf(stderr, "Vorn2Reference: %s lacks the frames asked for\n", options.callsPath);
        return 1;
    }
    size_t nextFrame = 0;

    // The game's window, context and mixer device, made the same way.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, P_VIDEO_DRIVERS);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
        fprintf(stderr, "Vorn2Reference: %s\n", SDL_GetError());
        return 1;
    }
    P_RequestGLContext();
    SDL_Window *const window =
        SDL_CreateWindow("Vorn II reference", 0, 0, 800, 600, P_WINDOW_FLAGS | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        fprintf(stderr, "Vorn2Reference: %s\n", SDL_GetError());
        return 1;
    }
    // Full screen as the game starts, so that the replayed frames fill the same drawable.
    P_EnterFullscreen(window);
    SDL_ShowWindow(window);
    const SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        fprintf(stderr, "Vorn2Reference: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(0);
    SDL_ShowCursor(SDL_DISABLE);

    Mix_Music *music = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        Mix_Init(MIX_INIT_MID);
        if (P_OpenMixerDevice() == 0) {
            Mix_AllocateChannels(P_MIX_VOICES);
            Mix_ReserveChannels(P_MIX_VOICES);
            music = options.loadMusic ? Mix_LoadMUS(MUSIC_PATH) : nullptr;
        }
    }
    if (music == nullptr && options.loadMusic) {
        fprintf(stderr, "Vorn2Reference: no music (%s)\n", SDL_GetError());
    }

    Replay(sections["setup"]);
    if (options.music && music != nullptr) {
        Mix_PlayMusic(music, 0);
    }

    double next = Seconds();
    bool measuring = false;
    const double warmUpEnd = next + WARM_UP_SECONDS;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT &&
                options.clickFrame != nullptr) {
                frames.assign(1, &sections[options.clickFrame]);
                nextFrame = 0;
                if (music != nullptr && !Mix_PlayingMusic()) {
                    Mix_PlayMusic(music, 0);
                }
            }
        }
        if (options.interval > 0.0) {
            SleepUntil(next);
        }
        Replay(*frames[nextFrame]);
        nextFrame = (nextFrame + 1) % frames.size();
        SDL_GL_SwapWindow(window);
        glFlush();
        const double now = Seconds();
        // A fixed schedule; a late frame is followed at once, never by a burst to catch up.
        next = next + options.interval > now ? next + options.interval : now;
        if (options.measurePath == nullptr || now < warmUpEnd) {
            continue;
        }
        if (!measuring) {
            FrameLogStart(now);
            measuring = true;
            continue;
        }
        FrameLogPresent(now);
        if (FrameLogSeconds() >= options.measureSeconds) {
            // Straight out, as the game's bench variant leaves: no tear-down to wait for.
            _exit(WriteLog(options.measurePath) ? 0 : 1);
        }
    }
}
