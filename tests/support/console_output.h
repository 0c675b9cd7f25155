#pragma once

#include "console/console.h"

#include <string>

// What the console printed since the last call (or since construction).
class ConsoleOutput {
public:
    void Skip() { printedFrom = std::string(C_Text()).size(); }
    std::string Printed()
    {
        const std::string text = C_Text();
        const std::string printed = text.substr(printedFrom);
        printedFrom = text.size();
        return printed;
    }

private:
    size_t printedFrom = 0;
};
