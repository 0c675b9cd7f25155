#include "platform/file.h"

bool P_FileReadable(const char *path)
{
    const FilePtr file(fopen(path, "rb"));
    return file != nullptr;
}

bool P_FinishWriting(FilePtr &file)
{
    FILE *const stream = file.release();
    if (stream == nullptr) {
        return false;
    }
    const bool flushed = fflush(stream) == 0 && ferror(stream) == 0;
    return fclose(stream) == 0 && flushed;
}
