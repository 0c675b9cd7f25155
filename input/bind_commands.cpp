#include "input/bind_commands.h"

#include "console/console.h"
#include "console/registry.h"
#include "input/actions.h"
#include "input/bindings.h"
#include "input/key_names.h"
#include "input/mouse.h"
#include "platform/keys.h"

#include <cstdio>
#include <cstring>

namespace {
// A line split into its first word and the rest, both without the spaces around them. Not
// copyable: the words point into its own text.
struct Words {
    explicit Words(const char *line);
    Words(const Words &) = delete;
    Words &operator=(const Words &) = delete;

    char text[C_LINE_SIZE];
    const char *first;
    const char *rest;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char *Trim(char *text)
{
    while (IsBlank(*text)) {
        ++text;
    }
    size_t length = strlen(text);
    while (length > 0 && IsBlank(text[length - 1])) {
        text[--length] = '\0';
    }
    return text;
}

Words::Words(const char *line)
{
    snprintf(text, sizeof text, "%s", line);
    char *const start = Trim(text);
    char *end = start;
    while (*end != '\0' && !IsBlank(*end)) {
        ++end;
    }
    if (*end != '\0') {
        *end++ = '\0';
    }
    first = start;
    rest = Trim(end);
}

// The key named `name`, or -1 after saying so on the console.
int32_t FindKey(const char *name)
{
    const int32_t keyCode = KeyCodeFromName(name);
    if (keyCode < 0) {
        C_Print("Unknown key : ", name, "\n", nullptr);
    }
    return keyCode;
}

// Escape and back-quote are taken before any binding sees them: a binding there would never act.
bool RefuseKey(int32_t keyCode, const char *name)
{
    if (keyCode == P_KEY_ESCAPE) {
        C_Print("Can't bind ", name, " : it shows the menu\n", nullptr);
        return true;
    }
    if (keyCode == P_KEY_GRAVE) {
        C_Print("Can't bind ", name, " : it opens the console\n", nullptr);
        return true;
    }
    return false;
}

void PrintBinding(int32_t keyCode, const char *name)
{
    const char *const action = ActionName(GetBinding(uint32_t(keyCode)).callback);
    if (action != nullptr) {
        C_Print("\"", name, "\" is \"", action, "\"\n", nullptr);
    } else if (keyCode == P_KEY_MOUSE1 && LeftButtonFires()) {
        C_Print("\"", name, "\" is not bound : it fires for player 2\n", nullptr);
    } else {
        C_Print("\"", name, "\" is not bound\n", nullptr);
    }
}

// A binding of mouse1, even an empty one, takes the left button from player 2's fire.
void TakeKey(int32_t keyCode)
{
    if (keyCode == P_KEY_MOUSE1) {
        SetLeftButtonFires(false);
    }
}

void Bind()
{
    const Words words(C_Arg().text);
    if (words.first[0] == '\0') {
        C_Print("Cannot find argument!\n", nullptr);
        return;
    }
    const int32_t keyCode = FindKey(words.first);
    if (keyCode < 0) {
        return;
    }
    if (words.rest[0] == '\0') {
        PrintBinding(keyCode, words.first);
        return;
    }
    if (RefuseKey(keyCode, words.first)) {
        return;
    }
    if (!BindAction(keyCode, words.rest)) {
        C_Print("Unknown action : ", words.rest, "\n", nullptr);
        return;
    }
    TakeKey(keyCode);
}

void Unbind()
{
    const Words words(C_Arg().text);
    if (words.first[0] == '\0') {
        C_Print("Cannot find argument!\n", nullptr);
        return;
    }
    if (words.rest[0] != '\0') {
        C_Print("Unknown key : ", words.first, " ", words.rest, "\n", nullptr);
        return;
    }
    const int32_t keyCode = FindKey(words.first);
    if (keyCode < 0) {
        return;
    }
    UnbindKey(keyCode);
    TakeKey(keyCode);
}

void UnbindAll()
{
    for (int32_t keyCode = 0; keyCode < KEY_TABLE_SIZE; ++keyCode) {
        UnbindKey(keyCode);
    }
    TakeKey(P_KEY_MOUSE1);
}

void ListBindings()
{
    for (int32_t keyCode = 0; keyCode < KEY_TABLE_SIZE; ++keyCode) {
        const char *const key = KeyName(keyCode);
        const char *const action = ActionName(GetBinding(uint32_t(keyCode)).callback);
        if (key != nullptr && action != nullptr) {
            C_Print("bind ", key, " ", action, "\n", nullptr);
        }
    }
}

bool SameAction(const char *a, const char *b)
{
    return a == b || (a != nullptr && b != nullptr && strcmp(a, b) == 0);
}

// Only the differences from the start-up bindings, so a file written with none of them changed
// is the same as before bindings could change. Replayed on a fresh start it restores them all.
void WriteBindings(FILE *file)
{
    for (int32_t keyCode = 0; keyCode < KEY_TABLE_SIZE; ++keyCode) {
        const char *const key = KeyName(keyCode);
        if (key == nullptr) {
            continue;
        }
        const char *const action = ActionName(GetBinding(uint32_t(keyCode)).callback);
        // The left button starts out as player 2's fire, which is no binding.
        const bool changed = keyCode == P_KEY_MOUSE1
                                 ? !LeftButtonFires()
                                 : !SameAction(action, DefaultActionName(keyCode));
        if (!changed) {
            continue;
        }
        if (action != nullptr) {
            fprintf(file, "bind %s %s\n", key, action);
        } else {
            fprintf(file, "unbind %s\n", key);
        }
    }
}
}  // namespace

void AddBindCommands()
{
    C_AddCommand("bind", Bind, nullptr);
    C_AddCommand("unbind", Unbind, nullptr);
    C_AddCommand("unbindall", UnbindAll, nullptr);
    C_AddCommand("bindlist", ListBindings, nullptr);
    C_AddConfigWriter(WriteBindings);
}
