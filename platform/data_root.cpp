#include "platform/data_root.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {
constexpr char INSTALLED_TREE[] = "../share/vorn2/basev2";

fs::path InstalledTree()
{
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    const fs::path tree = fs::weakly_canonical(program.parent_path() / INSTALLED_TREE, error);
    return !error && fs::is_directory(tree, error) ? tree : fs::path();
}

fs::path UserRoot()
{
    const char *const dataHome = getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return fs::path(dataHome) / "vorn2";
    }
    const char *const home = getenv("HOME");
    return fs::path(home != nullptr && home[0] != '\0' ? home : "/tmp") / ".local/share/vorn2";
}

bool IsInside(const fs::path &path, const fs::path &folder)
{
    const std::string text = path.string();
    const std::string prefix = folder.string() + "/";
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Links every installed file the user's tree lacks; a file of the user's own is left alone.
void LinkMissing(const fs::path &installed, const fs::path &user)
{
    std::error_code error;
    for (fs::recursive_directory_iterator it(installed, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path mirror = user / fs::relative(it->path(), installed, error);
        if (it->is_directory(error)) {
            fs::create_directories(mirror, error);
        } else if (!fs::exists(fs::symlink_status(mirror, error))) {
            fs::create_symlink(it->path(), mirror, error);
        }
        error.clear();
    }
}

// Drops links to installed files that an update removed, and nothing else.
void DropStaleLinks(const fs::path &installed, const fs::path &user)
{
    std::error_code error;
    for (fs::recursive_directory_iterator it(user, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_symlink(error)) {
            continue;
        }
        const fs::path target = fs::read_symlink(it->path(), error);
        if (!error && IsInside(target, installed) && !fs::exists(target, error)) {
            fs::remove(it->path(), error);
        }
        error.clear();
    }
}
}  // namespace

bool P_EnterDataRoot(const char *probe, bool insideTree)
{
    std::error_code error;
    if (fs::is_directory(probe, error)) {
        return true;
    }
    const fs::path installed = InstalledTree();
    if (installed.empty()) {
        return false;
    }
    const fs::path root = UserRoot();
    const fs::path tree = root / "basev2";
    fs::create_directories(tree, error);
    if (error) {
        fprintf(stderr, "Cannot create %s: %s\n", tree.c_str(), error.message().c_str());
        return false;
    }
    DropStaleLinks(installed, tree);
    LinkMissing(installed, tree);
    fs::current_path(insideTree ? tree : root, error);
    return !error;
}
