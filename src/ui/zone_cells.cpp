#include "ui/zone_cells.h"

int ZoneCellIndexOf(const std::string& code) {
    if (code.empty() || code.size() > 2) return -1;
    int zone = 0;
    for (char c : code) {
        if (c < '0' || c > '9') return -1;
        zone = zone * 10 + (c - '0');
    }
    return zone >= 1 && zone <= static_cast<int>(kZoneCellCount) ? zone - 1 : -1;
}

ZoneMarks ZoneMarksOf(const std::vector<std::string>& onBand, const std::vector<std::string>& anyBand) {
    ZoneMarks marks;
    marks.fill(ZoneMark::none);
    for (const std::string& code : anyBand) {
        const int cell = ZoneCellIndexOf(code);
        if (cell >= 0) marks[static_cast<size_t>(cell)] = ZoneMark::otherBand;
    }
    for (const std::string& code : onBand) {
        const int cell = ZoneCellIndexOf(code);
        if (cell >= 0) marks[static_cast<size_t>(cell)] = ZoneMark::currentBand;
    }
    return marks;
}
