#pragma once
// The drawing kit of the analysis page: texts as the page writes them (escaped for XML, numbers with thousands
// separators, whole minutes as times and durations) and SVG charts over the contest's clock hours, drawn in
// whole tenths of a pixel so that every build writes the same coordinates.
#include <string>
#include <vector>

namespace replay {

// One colour per band in the rules' order (80, 40, 20, 15, 10 m), told apart also in colour-blind eyes.
extern const char* const kBandColours[6];
// Each of these means one thing wherever the page uses it: a rule broken, operating time, the off time. (Orange,
// in the page's style, marks a QSO at risk.)
constexpr const char* kFlagColour = "#B00020";
constexpr const char* kOperatingColour = "#009E73";
constexpr const char* kOffColour = "#8C8C8C";
constexpr const char* kLineColour = "#222222";

// Text for the page: the XML specials escaped; bytes that are no UTF-8 taken as Latin-1, control characters
// that XML forbids dropped.
std::string Esc(const std::string& s);
std::string Num(long long n);                                                // "12,345"
std::string Time(long long minute, const char* format = "%Y-%m-%d %H:%M");  // of whole minutes
std::string Duration(long long minutes);                                     // "5 h 05 min"
std::string Hours(long long minutes);  // "24 hours", or "24 h 30 min" when not whole
std::string Plural(size_t n, const char* one, const char* many);

// A chart is drawn twice: wide for a screen or paper, narrow for a phone, each with legible labels.
constexpr int kWideChart = 920;
constexpr int kNarrowChart = 400;

using Tenths = long long;
constexpr Tenths kPx = 10;

std::string Coord(Tenths t);                                  // "77.1"
Tenths Along(long long value, long long range, Tenths length);  // the share `value` of `range` of a length

struct Series {
    std::string name, colour;
    std::vector<int> values;  // one per hour
};

struct HourChart {
    int width = kWideChart;  // in pixels of the picture's own coordinates
    std::string title, yLabel;
    std::vector<long long> hours;  // the clock hours along the x axis
    std::vector<Series> stacks;    // stacked bars
    bool grouped = false;          // the bars side by side in each hour instead of stacked
    std::string lineName;          // non-empty: `line` on a second axis at the right
    std::vector<int> line;
    std::vector<Series> lines;     // without bars: lines on the left axis, one per series
    int limit = -1;  // a dashed level; a bar above it is drawn in the flag colour
    std::string limitName;
};

std::string SvgOpen(int width, int height, const std::string& title);
std::string Text(Tenths x, Tenths y, const std::string& s, const char* anchor = "middle",
                 const std::string& extra = "");
std::string Line(Tenths x1, Tenths y1, Tenths x2, Tenths y2, const char* stroke, const char* extra = "");
std::string Rect(Tenths x, Tenths y, Tenths w, Tenths h, const char* fill, const std::string& tip = "");
std::string Rotate(int degrees, Tenths x, Tenths y);
std::string DrawHourChart(const HourChart& c);

}  // namespace replay
