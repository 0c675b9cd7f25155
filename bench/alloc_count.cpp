#include "bench/alloc_count.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <link.h>
#include <new>
#include <pthread.h>

// glibc's allocator under its own names: the replacements below count and hand over to it.
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *block, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *block);
}

namespace {
constexpr int MAX_LIBRARIES = 128;
constexpr int MAX_RANGES = 256;
constexpr char PROGRAM_NAME[] = "program";

enum class Kind { OTHER, PROGRAM, RUNTIME, COMPILER };

struct Library {
    char name[64];
    uint64_t count;
    Kind kind;
};

struct CodeRange {
    uintptr_t start;
    uintptr_t end;
    int library;
};

pthread_t countedThread;
bool counting = false;
AllocCounts counts = {0, 0, 0, 0};

// Filled outside any allocation, read inside them.
Library libraries[MAX_LIBRARIES];
int libraryCount = 0;
CodeRange ranges[MAX_RANGES];
int rangeCount = 0;
uint64_t unknownCount = 0;

const char *BaseName(const char *path)
{
    const char *const slash = strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

int AddLibrary(dl_phdr_info *info, size_t, void *)
{
    if (libraryCount == MAX_LIBRARIES) {
        return 1;
    }
    const char *const name = info->dlpi_name[0] != '\0' ? BaseName(info->dlpi_name) : PROGRAM_NAME;
    Library &library = libraries[libraryCount];
    strncpy(library.name, name, sizeof library.name - 1);
    library.name[sizeof library.name - 1] = '\0';
    library.count = 0;
    library.kind = strcmp(name, PROGRAM_NAME) == 0      ? Kind::PROGRAM
                   : strncmp(name, "libstdc++", 9) == 0 ? Kind::RUNTIME
                   : strncmp(name, "libLLVM", 7) == 0   ? Kind::COMPILER
                                                        : Kind::OTHER;
    for (int i = 0; i < info->dlpi_phnum && rangeCount < MAX_RANGES; ++i) {
        const ElfW(Phdr) &header = info->dlpi_phdr[i];
        if (header.p_type == PT_LOAD && (header.p_flags & PF_X) != 0) {
            const uintptr_t start = info->dlpi_addr + header.p_vaddr;
            ranges[rangeCount++] = CodeRange{start, start + header.p_memsz, libraryCount};
        }
    }
    ++libraryCount;
    return 0;
}

void Note(const void *caller)
{
    if (!counting || !pthread_equal(pthread_self(), countedThread)) {
        return;
    }
    ++counts.all;
    const uintptr_t at = reinterpret_cast<uintptr_t>(caller);
    for (int i = 0; i < rangeCount; ++i) {
        if (at >= ranges[i].start && at < ranges[i].end) {
            Library &library = libraries[ranges[i].library];
            ++library.count;
            counts.program += library.kind == Kind::PROGRAM;
            counts.runtime += library.kind == Kind::RUNTIME;
            counts.compiler += library.kind == Kind::COMPILER;
            return;
        }
    }
    ++unknownCount;  // code made at run time (the driver's compiled shaders) or not yet mapped
}

void *NewBlock(size_t size)
{
    void *const block = __libc_malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        abort();  // the game is built without exceptions; running out of memory ends the run
    }
    return block;
}
}  // namespace

void AllocCountThisThread()
{
    countedThread = pthread_self();
    counting = true;
}

void AllocCountMapLibraries()
{
    const bool wasCounting = counting;
    counting = false;
    libraryCount = 0;
    rangeCount = 0;
    unknownCount = 0;
    dl_iterate_phdr(AddLibrary, nullptr);
    counting = wasCounting;
}

AllocCounts AllocCountsSoFar() { return counts; }

void AllocCountWriteByLibrary(FILE *out)
{
    for (int i = 0; i < libraryCount; ++i) {
        if (libraries[i].count > 0) {
            fprintf(out, "alloc %s %llu\n", libraries[i].name,
                    static_cast<unsigned long long>(libraries[i].count));
        }
    }
    if (unknownCount > 0) {
        fprintf(out, "alloc unknown %llu\n", static_cast<unsigned long long>(unknownCount));
    }
}

extern "C" {
void *malloc(size_t size)
{
    Note(__builtin_return_address(0));
    return __libc_malloc(size);
}

void *calloc(size_t count, size_t size)
{
    Note(__builtin_return_address(0));
    return __libc_calloc(count, size);
}

void *realloc(void *block, size_t size)
{
    Note(__builtin_return_address(0));
    return __libc_realloc(block, size);
}

void *memalign(size_t alignment, size_t size)
{
    Note(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

void *aligned_alloc(size_t alignment, size_t size)
{
    Note(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

int posix_memalign(void **block, size_t alignment, size_t size)
{
    Note(__builtin_return_address(0));
    if (alignment % sizeof(void *) != 0 || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    void *const aligned = __libc_memalign(alignment, size);
    if (aligned == nullptr) {
        return ENOMEM;
    }
    *block = aligned;
    return 0;
}

void free(void *block) { __libc_free(block); }
}

// The C++ runtime's own operator new would call malloc from inside itself, hiding which code
// asked; these note the real caller.
void *operator new(size_t size)
{
    Note(__builtin_return_address(0));
    return NewBlock(size);
}

void *operator new[](size_t size)
{
    Note(__builtin_return_address(0));
    return NewBlock(size);
}

void *operator new(size_t size, const std::nothrow_t &) noexcept
{
    Note(__builtin_return_address(0));
    return __libc_malloc(size == 0 ? 1 : size);
}

void *operator new[](size_t size, const std::nothrow_t &) noexcept
{
    Note(__builtin_return_address(0));
    return __libc_malloc(size == 0 ? 1 : size);
}
