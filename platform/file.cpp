#include "platform/file.h"

bool P_FileReadable(const char *path)
{
    const FilePtr file(fopen(path, "rb"));
    return file != nullptr;
}
