#include "console/console.h"

#include "platform/file.h"
#include "platform/window.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char C_VERSION[] = "0.3a";

namespace {
constexpr char LOG_PATH[] = "basev2/console.log";
constexpr char SITE_ADDRESS[] = "http://vorn2.example.org";
// The display shows at most 31 rows above the current one; older rows need no storage.
constexpr int32_t ROW_RING = 64;
constexpr int32_t ROW_CHARACTERS = C_LINE_SIZE - 1;

char *consoleText = nullptr;
size_t textLength = 0;

// The row view: the newest rows, kept up to date one printed character at a time.
char rows[ROW_RING][C_LINE_SIZE];
int64_t ringRow = 0;  // rows started since the last rebuild; picks the ring slot
int32_t currentRow = 0;
int32_t rowColumn = 0;
bool rowsStale = false;  // the text changed under the rows (con_clear)

char *RingSlot(int64_t row) { return rows[row % ROW_RING]; }

void FeedRows(const char *text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        char *row = RingSlot(ringRow);
        if (text[i] != '\n') {
            // Over-long lines are cut, leaving room for their line feed.
            if (rowColumn < ROW_CHARACTERS - 1) {
                row[rowColumn++] = text[i];
            }
            continue;
        }
        row[rowColumn] = '\n';
        ++ringRow;
        ++currentRow;
        rowColumn = 0;
        memset(RingSlot(ringRow), 0, C_LINE_SIZE);
    }
}

void RebuildRows()
{
    memset(rows, 0, sizeof rows);
    ringRow = 0;
    currentRow = 0;
    rowColumn = 0;
    FeedRows(consoleText, textLength);
    rowsStale = false;
}

// Drops whole lines from the front until `needed` more bytes fit. Drops a quarter of the text
// at least, so a full console costs one move per few thousand prints, not one per print.
void MakeRoom(size_t needed)
{
    size_t drop = needed > C_TEXT_CAPACITY / 4 ? needed : C_TEXT_CAPACITY / 4;
    if (drop > textLength) {
        drop = textLength;
    }
    if (drop == 0) {
        return;
    }
    const char *lineEnd =
        static_cast<const char *>(memchr(consoleText + drop - 1, '\n', textLength - (drop - 1)));
    if (lineEnd != nullptr) {
        drop = size_t(lineEnd - consoleText) + 1;
    }
    int32_t droppedRows = 0;
    for (size_t i = 0; i < drop; ++i) {
        droppedRows += consoleText[i] == '\n';
    }
    memmove(consoleText, consoleText + drop, textLength - drop);
    textLength -= drop;
    consoleText[textLength] = '\0';
    currentRow -= droppedRows;
}

void Append(const char *piece)
{
    size_t length = strlen(piece);
    constexpr size_t room = C_TEXT_CAPACITY - 1;
    if (length > room / 2) {
        piece += length - room / 2;  // a print larger than half the console keeps its end
        length = room / 2;
    }
    if (textLength + length > room) {
        MakeRoom(textLength + length - room);
    }
    memcpy(consoleText + textLength, piece, length);
    textLength += length;
    consoleText[textLength] = '\0';
    if (!rowsStale) {
        FeedRows(piece, length);
    }
}

bool WriteLog()
{
    FilePtr file(fopen(LOG_PATH, "w"));
    // A full disk must not be reported as a log written.
    const bool written = file && fwrite(consoleText, 1, textLength, file.get()) == textLength;
    if (!P_FinishWriting(file) || !written) {
        C_Print("Can't create log file!\n", nullptr);
        return false;
    }
    return true;
}

void ReportList(const char *prefix, va_list *texts)
{
    for (const char *text = va_arg(*texts, const char *); text != nullptr;
         text = va_arg(*texts, const char *)) {
        P_MessageBox(text,
                     prefix[0] == 'F' ? "Fatal Error!" : "Warning! Do you want to Continue ?");
        C_Print(prefix, text, nullptr);
    }
}
}  // namespace

void C_InitText()
{
    free(consoleText);
    consoleText = static_cast<char *>(calloc(C_TEXT_CAPACITY, 1));
    textLength = 0;
    memset(rows, 0, sizeof rows);
    ringRow = 0;
    currentRow = 0;
    rowColumn = 0;
    rowsStale = false;
}

void C_Print(const char *first, ...)
{
    va_list pieces;
    va_start(pieces, first);
    for (const char *piece = first; piece != nullptr; piece = va_arg(pieces, const char *)) {
        if (consoleText == nullptr) {
            fputs(piece, stderr);
        } else {
            Append(piece);
        }
    }
    va_end(pieces);
    if (consoleText != nullptr && rowsStale) {
        RebuildRows();
    }
}

void C_Clear()
{
    if (consoleText == nullptr) {
        return;
    }
    memset(consoleText, 0, C_TEXT_CAPACITY);
    consoleText[0] = '\n';
    textLength = 1;
    // The rows keep showing the old lines until the next print rebuilds them.
    rowsStale = true;
}

void C_SaveLog()
{
    if (consoleText == nullptr) {
        return;
    }
    if (!WriteLog()) {
        return;
    }
    // Printed after the file is closed, so a log never holds its own line.
    C_Print("Log ", LOG_PATH, " created!\n", nullptr);
}

void C_ShowBanner()
{
    C_Print("      ___________\n\n", nullptr);
    C_Print("     |Vorn II v", C_VERSION, "|_____________\n", nullptr);
    C_Print("     |Official site :: ", SITE_ADDRESS, "|\n\n", nullptr);
    C_Print("      _______________________________\n", nullptr);
}

void C_Shutdown()
{
    if (consoleText == nullptr) {
        return;
    }
    C_SaveLog();
    free(consoleText);
    consoleText = nullptr;
    textLength = 0;
}

void C_ReportError(uint32_t flags, ...)
{
    va_list texts;
    va_start(texts, flags);
    if (flags & 1) {
        ReportList("Fatal Error: ", &texts);
    }
    if (flags & 4) {
        ReportList("Warning: ", &texts);
    }
    va_end(texts);
}

const char *C_Text() { return consoleText != nullptr ? consoleText : ""; }

int32_t C_CurrentRow() { return currentRow; }

void C_GetRow(int32_t row, char *out)
{
    out[0] = '\0';
    if (row < 0 || row > currentRow || currentRow - row >= ROW_RING - 1) {
        return;
    }
    memcpy(out, RingSlot(ringRow - (currentRow - row)), C_LINE_SIZE);
}
