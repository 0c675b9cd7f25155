#include "editor/play.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {
constexpr char GAME_PROGRAM[] = "Vorn2";

pid_t game = 0;

// The game's path: the editor's own, with the program name replaced.
bool GamePath(char *out, size_t size)
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        return false;
    }
    self[length] = '\0';
    char *const slash = strrchr(self, '/');
    if (slash == nullptr) {
        return false;
    }
    slash[1] = '\0';
    const size_t folderLength = strlen(self);
    if (folderLength + sizeof GAME_PROGRAM > size) {
        return false;
    }
    memcpy(out, self, folderLength);
    memcpy(out + folderLength, GAME_PROGRAM, sizeof GAME_PROGRAM);
    return true;
}
}  // namespace

bool StartGame(const char *mapName)
{
    char path[PATH_MAX];
    if (game != 0 || !GamePath(path, sizeof path)) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        return false;
    }
    // The game finds "basev2/..." from the folder that holds the data tree.
    bool started = posix_spawn_file_actions_addchdir_np(&actions, "..") == 0;
    if (started) {
        char *const argv[] = {path, const_cast<char *>(mapName), nullptr};
        pid_t child = 0;
        started = posix_spawn(&child, path, &actions, nullptr, argv, environ) == 0;
        game = started ? child : 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return started;
}

bool GameRunning()
{
    if (game == 0) {
        return false;
    }
    int status = 0;
    const pid_t ended = waitpid(game, &status, WNOHANG);
    if (ended == 0 || (ended < 0 && errno == EINTR)) {
        return true;
    }
    game = 0;  // ended, or no longer ours to wait for
    return false;
}
