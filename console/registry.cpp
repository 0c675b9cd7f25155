#include "console/registry.h"

#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
struct HistoryLine {
    char text[C_LINE_SIZE];
};

struct CommandEntry {
    const char *name;
    C_Handler action;
    C_Handler getter;
    CommandEntry *next;
    bool extension;  // added to the game's own variables; saved only when changed
    float defaultValue;
};

CommandEntry *registry = nullptr;  // newest first
char argumentText[C_LINE_SIZE];
float valueSlot = 0.0f;
char completion[C_LINE_SIZE];
std::vector<HistoryLine> history;  // oldest first; grows only as lines are run
constexpr int32_t MAX_CONFIG_WRITERS = 8;
constexpr int32_t MAX_EXTENSION_VARIABLES = 64;  // far more than the game adds
C_ConfigWriter configWriters[MAX_CONFIG_WRITERS];
int32_t configWriterCount = 0;

void CopyBounded(char *out, const char *text, size_t size) { snprintf(out, size, "%s", text); }

bool IsEmptyLine(const char *line)
{
    return line[0] == '\0' || strcmp(line, " ") == 0 || strcmp(line, "\n") == 0;
}

void Lower(char *text)
{
    for (; *text != '\0'; ++text) {
        if (*text >= 'A' && *text <= 'Z') {
            *text = char(*text - 'A' + 'a');
        }
    }
}

const CommandEntry *Find(const char *word)
{
    for (const CommandEntry *entry = registry; entry != nullptr; entry = entry->next) {
        if (strcmp(entry->name, word) == 0) {
            return entry;
        }
    }
    return nullptr;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the decimal number at the start of `text`: sign, digits, point, exponent.
size_t NumberLength(const char *text)
{
    size_t i = 0;
    if (text[i] == '+' || text[i] == '-') {
        ++i;
    }
    size_t digits = 0;
    while (IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (text[i] == '.') {
        ++i;
        while (IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (text[i] == 'e' || text[i] == 'E') {
        size_t exponent = i + 1;
        if (text[exponent] == '+' || text[exponent] == '-') {
            ++exponent;
        }
        if (IsDigit(text[exponent])) {
            while (IsDigit(text[exponent])) {
                ++exponent;
            }
            i = exponent;
        }
    }
    return i;
}
}  // namespace

void C_InitRegistry()
{
    while (registry != nullptr) {
        CommandEntry *const next = registry->next;
        delete registry;
        registry = next;
    }
    memset(argumentText, 0, sizeof argumentText);
    valueSlot = 0.0f;
    history.clear();
    configWriterCount = 0;
}

void C_AddCommand(const char *name, C_Handler action, C_Handler getter)
{
    if (Find(name) != nullptr) {
        C_Print("C_AddCommand : Can't add command :", name, "\n", nullptr);
        return;
    }
    registry = new CommandEntry{name, action, getter, registry, false, 0.0f};
}

void C_AddVariable(const char *name, C_Handler action, C_Handler getter, float defaultValue)
{
    C_AddCommand(name, action, getter);
    if (registry != nullptr && registry->name == name) {
        registry->extension = true;
        registry->defaultValue = defaultValue;
    }
}

void C_AddConfigWriter(C_ConfigWriter writer)
{
    assert(configWriterCount < MAX_CONFIG_WRITERS);
    if (configWriterCount < MAX_CONFIG_WRITERS) {
        configWriters[configWriterCount++] = writer;
    }
}

void C_WriteExtensions(FILE *file, void (*writeVariable)(const char *name, float value, FILE *file))
{
    // Oldest first, so a file keeps its order as new settings are added.
    const CommandEntry *changed[MAX_EXTENSION_VARIABLES];
    int32_t count = 0;
    for (const CommandEntry *entry = registry; entry != nullptr && count < MAX_EXTENSION_VARIABLES;
         entry = entry->next) {
        if (entry->extension && entry->getter != nullptr) {
            entry->getter();
            if (valueSlot != entry->defaultValue) {
                changed[count++] = entry;
            }
        }
    }
    while (count > 0) {
        const CommandEntry *const entry = changed[--count];
        entry->getter();
        writeVariable(entry->name, valueSlot, file);
    }
    for (int32_t i = 0; i < configWriterCount; ++i) {
        configWriters[i](file);
    }
}

void C_Execute(const char *given)
{
    if (IsEmptyLine(given)) {
        return;
    }
    char line[C_LINE_SIZE];
    CopyBounded(line, given, sizeof line);
    C_Print("]", line, "\n", nullptr);
    C_HistoryAdd(line);
    Lower(line);

    // Only space and line feed end the word: a tab or carriage return belongs to it.
    const size_t wordLength = strcspn(line, " \n");
    CopyBounded(argumentText, line + wordLength, sizeof argumentText);
    line[wordLength] = '\0';

    const CommandEntry *const entry = Find(line);
    if (entry == nullptr) {
        C_Print("Unknown command : ", line, "\n", nullptr);
        return;
    }
    if (entry->getter != nullptr && C_Arg().text[0] == '\0') {
        entry->getter();
        C_PrintValue(entry->name, valueSlot);
        return;
    }
    entry->action();
}

C_ArgText C_Arg()
{
    C_ArgText arg;
    CopyBounded(arg.text, argumentText[0] != '\0' ? argumentText + 1 : "", sizeof arg.text);
    return arg;
}

float C_ArgFloat()
{
    const char *text = argumentText;
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\v' ||
           *text == '\f') {
        ++text;
    }
    // Only the plain decimal form counts: no hexadecimal, "inf" or "nan" as strtod would take.
    char number[C_LINE_SIZE];
    const size_t length = NumberLength(text);
    memcpy(number, text, length);
    number[length] = '\0';
    return length == 0 ? 0.0f : strtof(number, nullptr);
}

int32_t C_ArgInt()
{
    const float value = C_ArgFloat();
    // Out-of-range conversions are undefined; a huge or infinite argument saturates instead.
    if (!(value > -2147483648.0f)) {
        return value < 0.0f ? INT32_MIN : 0;
    }
    if (value >= 2147483648.0f) {
        return INT32_MAX;
    }
    return int32_t(value);
}

void C_ReportFloat(float value) { valueSlot = value; }

void C_ReportInt(int32_t value) { valueSlot = float(value); }

void C_PrintValue(const char *name, float value)
{
    char number[64];
    snprintf(number, sizeof number, "%f", double(value));
    C_Print("\"", name, "\" is \"", number, "\"\n", nullptr);
}

const char *C_Complete(char *prefix)
{
    Lower(prefix);
    const size_t prefixLength = strlen(prefix);
    int32_t matches = 0;
    const char *candidate = nullptr;
    for (const CommandEntry *entry = registry; entry != nullptr; entry = entry->next) {
        if (strncmp(entry->name, prefix, prefixLength) == 0) {
            ++matches;
            candidate = entry->name;
        }
    }
    if (candidate == nullptr) {
        return prefix;
    }
    snprintf(completion, sizeof completion, "%s ", candidate);
    if (matches >= 2) {
        C_Print("]", size_t(matches) >= prefixLength ? completion : prefix, "\n", nullptr);
        for (const CommandEntry *entry = registry; entry != nullptr; entry = entry->next) {
            if (strncmp(entry->name, prefix, prefixLength) == 0) {
                C_Print("   ", entry->name, "\n", nullptr);
            }
        }
    }
    return completion;
}

void C_ForEachVariable(void (*visit)(const char *name, float value, void *context), void *context)
{
    for (const CommandEntry *entry = registry; entry != nullptr; entry = entry->next) {
        if (entry->getter != nullptr && !entry->extension) {
            entry->getter();
            visit(entry->name, valueSlot, context);
        }
    }
}

void C_HistoryAdd(const char *line)
{
    HistoryLine entry;
    snprintf(entry.text, sizeof entry.text, "%s", line);
    history.push_back(entry);
}

const char *C_HistoryGet(int32_t n)
{
    if (n <= 0 || size_t(n) > history.size()) {
        return "";
    }
    return history[history.size() - size_t(n)].text;
}
