// The binary settings archive: last project information, print settings, report info, bar widths.
#pragma once

#include "data/records.h"

#include <array>
#include <string>

namespace tavolin {

struct AppSettings {
    ProjectInfo project;
    PrintSettings print;
    ReportInfo report;
    std::array<int, 3> barWidths{220, 220, 220};
};

// Reads what it can; anything that could not be read keeps its value in `settings`.
void readSettings(const std::string& path, AppSettings& settings);
// Writes beside the target and renames over it; false when it could not be written.
bool writeSettings(const std::string& path, const AppSettings& settings);

} // namespace tavolin
