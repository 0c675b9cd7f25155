#include "world/map_name.h"

#include <cstdio>
#include <cstring>

namespace {
bool IsNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}
}  // namespace

bool M_CheckMapName(const char *given, M_MapName *name)
{
    name->text[0] = '\0';
    size_t length = strlen(given);
    const size_t suffixLength = sizeof M_MAP_SUFFIX - 1;
    if (length >= suffixLength && strcmp(given + length - suffixLength, M_MAP_SUFFIX) == 0) {
        length -= suffixLength;
    }
    if (length == 0 || length > M_NAME_MAX) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (!IsNameCharacter(given[i])) {
            return false;
        }
    }
    memcpy(name->text, given, length);
    name->text[length] = '\0';
    return true;
}

void M_MapPath(const char *folder, const M_MapName &name, char *out, size_t size)
{
    snprintf(out, size, "%s%s%s", folder, name.text, M_MAP_SUFFIX);
}
