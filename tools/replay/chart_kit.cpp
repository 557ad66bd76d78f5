#include "chart_kit.h"

#include <algorithm>

#include "common/text.h"
#include "contest_dates.h"

namespace replay {

// Green and orange are kept out of the bands: on the page green is operating time and orange a QSO at risk.
const char* const kBandColours[6] = {"#0072B2", "#56B4E9", "#CC79A7", "#882255", "#F0E442", "#999999"};

std::string Esc(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            switch (c) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                case '\t':
                case '\n':
                case '\r':
                    out += ' ';
                    break;
                default:
                    if (c >= 0x20 && c != 0x7F)
                        out += static_cast<char>(c);
            }
            continue;
        }
        size_t length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
        bool valid = length > 0 && i + length <= s.size();
        for (size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (valid) {
            out.append(s, i, length);
            i += length - 1;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string Num(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), ",");
    return (n < 0 ? "-" : "") + digits;
}

std::string Time(long long minute, const char* format) {
    return FromWholeMinutes(minute).Format(format);
}

std::string Duration(long long minutes) {
    return text::Format("%d h %02d min", static_cast<int>(minutes / 60), static_cast<int>(minutes % 60));
}

std::string Hours(long long minutes) {
    return minutes % 60 == 0 ? std::to_string(minutes / 60) + " hours" : Duration(minutes);
}

std::string Plural(size_t n, const char* one, const char* many) {
    return Num(static_cast<long long>(n)) + " " + (n == 1 ? one : many);
}

// --- pictures ---------------------------------------------------------------------------------------------
// Drawn in whole tenths of a pixel: integer arithmetic writes the same coordinates on every build, whatever
// its floating point does.

std::string Coord(Tenths t) {
    const Tenths magnitude = t < 0 ? -t : t;
    return (t < 0 ? "-" : "") + std::to_string(magnitude / kPx) + "." + std::to_string(magnitude % kPx);
}

Tenths Along(long long value, long long range, Tenths length) {
    return range > 0 ? value * length / range : 0;
}

namespace {

// A round step for about five grid lines up to `most`.
int NiceStep(int most) {
    int step = 1;
    for (int scale = 1;; scale *= 10) {
        for (int m : {1, 2, 5}) {
            step = m * scale;
            if (most / step <= 5)
                return step;
        }
    }
}

int AxisTop(int most, int step) {
    return std::max(step, (most + step - 1) / step * step);
}

}  // namespace

std::string SvgOpen(int width, int height, const std::string& title) {
    return text::Format(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 %d %d\" width=\"%d\" height=\"%d\" "
               "font-family=\"sans-serif\" font-size=\"11\" role=\"img\">",
               width, height, width, height) +
           "<title>" + Esc(title) + "</title>";
}

std::string Text(Tenths x, Tenths y, const std::string& s, const char* anchor, const std::string& extra) {
    return "<text x=\"" + Coord(x) + "\" y=\"" + Coord(y) + "\" text-anchor=\"" + anchor + "\"" + extra +
           ">" + Esc(s) + "</text>";
}

std::string Line(Tenths x1, Tenths y1, Tenths x2, Tenths y2, const char* stroke, const char* extra) {
    return "<line x1=\"" + Coord(x1) + "\" y1=\"" + Coord(y1) + "\" x2=\"" + Coord(x2) + "\" y2=\"" +
           Coord(y2) + "\" stroke=\"" + stroke + "\"" + extra + "/>";
}

std::string Rect(Tenths x, Tenths y, Tenths w, Tenths h, const char* fill, const std::string& tip) {
    std::string r = "<rect x=\"" + Coord(x) + "\" y=\"" + Coord(y) + "\" width=\"" + Coord(w) +
                    "\" height=\"" + Coord(h) + "\" fill=\"" + fill + "\"";
    return tip.empty() ? r + "/>" : r + "><title>" + Esc(tip) + "</title></rect>";
}

std::string Rotate(int degrees, Tenths x, Tenths y) {
    return " transform=\"rotate(" + std::to_string(degrees) + " " + Coord(x) + " " + Coord(y) + ")\"";
}

std::string DrawHourChart(const HourChart& c) {
    // The legend along the top, in as many rows as the width needs.
    struct Key {
        enum { box, line, dashed } kind;
        std::string colour, name;
    };
    std::vector<Key> keys;
    for (const Series& s : c.stacks) keys.push_back({Key::box, s.colour, s.name});
    for (const Series& s : c.lines) keys.push_back({Key::line, s.colour, s.name});
    if (!c.lineName.empty()) keys.push_back({Key::line, kLineColour, c.lineName});
    if (c.limit >= 0) keys.push_back({Key::dashed, kFlagColour, c.limitName});
    const Tenths left = 500, right = c.lineName.empty() ? 140 : 580;
    std::vector<std::pair<Tenths, Tenths>> keyAt;  // x, row
    Tenths kx = left, row = 0;
    for (const Key& k : keys) {
        const Tenths advance = 300 + 66 * static_cast<Tenths>(k.name.size());
        if (kx > left && kx + advance > c.width * kPx) kx = left, ++row;
        keyAt.emplace_back(kx, row);
        kx += advance;
    }
    const int width = c.width, height = 290 + static_cast<int>(row) * 16;
    const Tenths top = 340 + row * 160, bottom = 460;
    const Tenths plotW = width * kPx - left - right, plotH = height * kPx - top - bottom;
    const size_t n = c.hours.size();
    const long long bars = std::max<long long>(1, static_cast<long long>(n));
    std::vector<int> totals(n, 0);
    int most = 0;
    for (const Series& s : c.stacks) {
        for (size_t h = 0; h < n; ++h) {
            totals[h] += s.values[h];
            most = std::max(most, c.grouped ? s.values[h] : totals[h]);
        }
    }
    for (const Series& s : c.lines) {
        for (int v : s.values)
            most = std::max(most, v);
    }
    most = std::max(most, c.limit + 1);
    const int step = NiceStep(most), yTop = AxisTop(most, step);
    auto y = [&](long long v) { return top + plotH - Along(v, yTop, plotH); };
    // Bar h spans [slotX(h), slotX(h + 1)); its centre is halfway.
    auto slotX = [&](long long h) { return left + Along(h, bars, plotW); };
    auto centre = [&](long long h) { return left + Along(2 * h + 1, 2 * bars, plotW); };

    std::string svg = SvgOpen(width, height, c.title);
    for (int v = 0; v <= yTop; v += step) {
        svg += Line(left, y(v), left + plotW, y(v), "#dddddd");
        svg += Text(left - 60, y(v) + 40, std::to_string(v), "end");
    }
    svg += Text(140, top + plotH / 2, c.yLabel, "middle", Rotate(-90, 140, top + plotH / 2));

    const Tenths slot = plotW / bars, barW = Along(72, 100 * bars, plotW);
    const Tenths groupW = c.grouped && !c.stacks.empty() ? barW / static_cast<Tenths>(c.stacks.size()) : barW;
    const long long labelEvery = slot >= 160 ? 1 : slot >= 80 ? 2 : slot >= 30 ? 6 : 24;
    for (size_t i = 0; i < n; ++i) {
        const long long h = static_cast<long long>(i);
        const Tenths x = centre(h) - barW / 2;
        const long long minute = c.hours[i] * 60;
        int base = 0;
        for (size_t k = 0; k < c.stacks.size(); ++k) {
            const Series& s = c.stacks[k];
            const int v = s.values[i];
            if (v == 0)
                continue;
            // Grouped bars are each held to the limit, stacked ones by their total.
            const bool over = c.limit >= 0 && (c.grouped ? v : totals[i]) > c.limit;
            svg += Rect(c.grouped ? x + static_cast<Tenths>(k) * groupW : x, y(base + v), groupW,
                        y(base) - y(base + v), over ? kFlagColour : s.colour.c_str(),
                        Time(minute, "%H:00 ") + s.name + ": " + std::to_string(v));
            if (!c.grouped)
                base += v;
        }
        if (h % labelEvery == 0)
            svg += Text(centre(h), top + plotH + 140, Time(minute, "%H"));
        if (h == 0 || c.hours[i] % 24 == 0) {
            svg += Line(slotX(h), top + plotH, slotX(h), top + plotH + 320, "#888888");
            svg += Text(slotX(h) + 30, top + plotH + 300, Time(minute, "%a %d %b"), "start");
        }
    }
    svg += Line(left, top + plotH, left + plotW, top + plotH, "#444444");
    svg += Line(left, top, left, top + plotH, "#444444");

    if (c.limit >= 0) {
        svg += Line(left, y(c.limit), left + plotW, y(c.limit), kFlagColour,
                    " stroke-dasharray=\"6 4\" stroke-width=\"1.5\"");
    }
    if (!c.lineName.empty() && n > 0) {
        const int lineMost = std::max(1, *std::max_element(c.line.begin(), c.line.end()));
        const int lineStep = NiceStep(lineMost), lineTop = AxisTop(lineMost, lineStep);
        auto ly = [&](long long v) { return top + plotH - Along(v, lineTop, plotH); };
        for (int v = 0; v <= lineTop; v += lineStep)
            svg += Text(left + plotW + 60, ly(v) + 40, Num(v), "start");
        svg += Line(left + plotW, top, left + plotW, top + plotH, "#444444");
        std::string points;
        for (size_t i = 0; i < n; ++i) {
            points += (i ? " " : "") + Coord(centre(static_cast<long long>(i))) + "," + Coord(ly(c.line[i]));
        }
        svg += "<polyline fill=\"none\" stroke=\"" + std::string(kLineColour) +
               "\" stroke-width=\"2\" points=\"" + points + "\"/>";
        const Tenths x = width * kPx - 120;
        svg += Text(x, top + plotH / 2, c.lineName, "middle", Rotate(90, x, top + plotH / 2));
    }

    for (const Series& s : c.lines) {
        std::string points;
        for (size_t i = 0; i < n && i < s.values.size(); ++i) {
            points += (i ? " " : "") + Coord(centre(static_cast<long long>(i))) + "," + Coord(y(s.values[i]));
        }
        svg += "<polyline fill=\"none\" stroke=\"" + s.colour + "\" stroke-width=\"2\" points=\"" + points +
               "\"><title>" + Esc(s.name) + "</title></polyline>";
    }

    for (size_t i = 0; i < keys.size(); ++i) {
        const Key& k = keys[i];
        const Tenths x = keyAt[i].first, y = 100 + keyAt[i].second * 160;
        if (k.kind == Key::box) {
            svg += Rect(x, y, 120, 120, k.colour.c_str());
            svg += Text(x + 160, y + 100, k.name, "start");
        } else {
            svg += Line(x, y + 60, x + 160, y + 60, k.colour.c_str(),
                        k.kind == Key::line ? " stroke-width=\"2\"" : " stroke-dasharray=\"6 4\" stroke-width=\"1.5\"");
            svg += Text(x + 200, y + 100, k.name, "start");
        }
    }
    return svg + "</svg>";
}

}  // namespace replay
