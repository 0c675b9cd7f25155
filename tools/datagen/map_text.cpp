#include "tools/datagen/map_text.h"

#include "platform/file.h"

namespace {
// -1 for a character that is no cell code.
int16_t CellCode(char c)
{
    if (c == '.') {
        return 0;
    }
    if (c >= '1' && c <= '7') {
        return int16_t(c - '0');
    }
    if (c == 'R') {
        return CELL_RESPAWN;
    }
    return -1;
}
}  // namespace

bool ParseMapText(const std::string &text, std::vector<int16_t> *cells, std::string *error)
{
    std::vector<std::string> rows;
    size_t start = 0;
    int32_t lineNumber = 0;
    bool blankSeen = false;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line[0] == '#') {
            continue;
        }
        if (line.empty()) {
            blankSeen = true;
            continue;
        }
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (blankSeen) {
            *error = where + "map rows after a blank line";
            return false;
        }
        if (int32_t(rows.size()) == MAP_ROWS) {
            *error = where + "more than " + std::to_string(MAP_ROWS) + " rows";
            return false;
        }
        if (int32_t(line.size()) != MAP_COLUMNS) {
            *error = where + "row has " + std::to_string(line.size()) + " characters, not " +
                     std::to_string(MAP_COLUMNS);
            return false;
        }
        for (size_t column = 0; column < line.size(); ++column) {
            if (CellCode(line[column]) < 0) {
                *error = where + "unknown cell '" + line[column] + "' in column " +
                         std::to_string(column + 1) + " (use . 1-7 R)";
                return false;
            }
        }
        rows.push_back(line);
    }
    if (int32_t(rows.size()) != MAP_ROWS) {
        *error =
            "map has " + std::to_string(rows.size()) + " rows, not " + std::to_string(MAP_ROWS);
        return false;
    }
    cells->assign(MAP_CELLS, 0);
    for (int32_t row = 0; row < MAP_ROWS; ++row) {
        for (int32_t column = 0; column < MAP_COLUMNS; ++column) {
            (*cells)[size_t(column * MAP_ROWS + row)] = CellCode(rows[size_t(row)][size_t(column)]);
        }
    }
    return true;
}

std::vector<uint8_t> EncodeMap(const std::vector<int16_t> &cells)
{
    std::vector<uint8_t> file(cells.size() * 2);
    for (size_t i = 0; i < cells.size(); ++i) {
        WriteLE16(file.data() + i * 2, uint16_t(cells[i]));
    }
    return file;
}
