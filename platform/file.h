#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

struct FileCloser {
    void operator()(FILE *file) const { fclose(file); }
};

// Owns a FILE * and closes it when it goes out of scope; null when the open failed.
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Little-endian readers for file data; the bytes must be there.
inline uint16_t ReadLE16(const uint8_t *bytes) { return uint16_t(bytes[0] | (bytes[1] << 8)); }

inline uint32_t ReadLE32(const uint8_t *bytes)
{
    return uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) |
           (uint32_t(bytes[3]) << 24);
}

inline void WriteLE16(uint8_t *bytes, uint16_t value)
{
    bytes[0] = uint8_t(value);
    bytes[1] = uint8_t(value >> 8);
}

inline void WriteLE32(uint8_t *bytes, uint32_t value)
{
    bytes[0] = uint8_t(value);
    bytes[1] = uint8_t(value >> 8);
    bytes[2] = uint8_t(value >> 16);
    bytes[3] = uint8_t(value >> 24);
}

// True when the file exists and can be opened for reading.
bool P_FileReadable(const char *path);

// Flushes and closes a file opened for writing; true only when every write reached the file.
// stdio keeps a failed write's error until here, so one check covers them all.
bool P_FinishWriting(FilePtr &file);

// Replaces the file at `path` with `size` bytes: they go to `path` + ".tmp", which is flushed,
// synced and closed, every step checked, and only then renamed over `path`. False when any step
// fails, and the file at `path` is then as it was.
bool P_ReplaceFile(const char *path, const uint8_t *bytes, size_t size);

enum class P_FileRead { READ, UNREADABLE, TOO_LARGE };

// Reads the whole file at `path` into `bytes`; an empty file reads as no bytes. TOO_LARGE, reading
// nothing, when it holds more than `maxBytes`.
P_FileRead P_ReadWholeFile(const char *path, long maxBytes, std::vector<uint8_t> *bytes);
