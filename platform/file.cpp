#include "platform/file.h"

#include <string>
#include <unistd.h>

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

bool P_ReplaceFile(const char *path, const uint8_t *bytes, size_t size)
{
    const std::string temporary = std::string(path) + ".tmp";
    FILE *const file = fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    // Flushed and synced here so that a full disk shows now, not after the rename.
    const bool written = (size == 0 || fwrite(bytes, 1, size, file) == size) && fflush(file) == 0 &&
                         fsync(fileno(file)) == 0;
    const bool closed = fclose(file) == 0;
    if (!written || !closed || rename(temporary.c_str(), path) != 0) {
        remove(temporary.c_str());
        return false;
    }
    return true;
}

P_FileRead P_ReadWholeFile(const char *path, long maxBytes, std::vector<uint8_t> *bytes)
{
    const FilePtr file(fopen(path, "rb"));
    if (!file || fseek(file.get(), 0, SEEK_END) != 0) {
        return P_FileRead::UNREADABLE;
    }
    const long size = ftell(file.get());
    if (size < 0 || fseek(file.get(), 0, SEEK_SET) != 0) {
        return P_FileRead::UNREADABLE;
    }
    if (size > maxBytes) {
        return P_FileRead::TOO_LARGE;
    }
    bytes->resize(size_t(size));
    if (fread(bytes->data(), 1, bytes->size(), file.get()) != bytes->size()) {
        return P_FileRead::UNREADABLE;
    }
    return P_FileRead::READ;
}
