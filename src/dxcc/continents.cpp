#include "dxcc/continents.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

struct PrefixContinent {
    const char* prefix;
    const char* continent;
};

// Sorted by prefix, byte by byte. Taken from the country file's entity lines (its continent column), with the
// extended DXCC window's own keys on the continent of their page.
constexpr PrefixContinent kContinents[] = {
    {"1A", "EU"}, {"1A0", "EU"}, {"1S", "AS"}, {"3A", "EU"}, {"3B6", "AF"}, {"3B8", "AF"}, {"3B9", "AF"},
    {"3C", "AF"}, {"3C0", "AF"}, {"3D2", "OC"}, {"3D2/c", "OC"}, {"3D2/r", "OC"}, {"3DA", "AF"}, {"3V", "AF"},
    {"3W", "AS"}, {"3X", "AF"}, {"3Y", "AF"}, {"3Y/b", "AF"}, {"3Y/p", "SA"}, {"4J", "AS"}, {"4L", "AS"},
    {"4O", "EU"}, {"4S", "AS"}, {"4U1I", "EU"}, {"4U1U", "NA"}, {"4U1V", "EU"}, {"4W", "OC"}, {"4X", "AS"},
    {"5A", "AF"}, {"5B", "AS"}, {"5H", "AF"}, {"5N", "AF"}, {"5R", "AF"}, {"5T", "AF"}, {"5U", "AF"}, {"5V", "AF"},
    {"5W", "OC"}, {"5X", "AF"}, {"5Z", "AF"}, {"6W", "AF"}, {"6Y", "NA"}, {"7O", "AS"}, {"7P", "AF"}, {"7Q", "AF"},
    {"7X", "AF"}, {"8P", "NA"}, {"8Q", "AS"}, {"8R", "SA"}, {"9A", "EU"}, {"9G", "AF"}, {"9H", "EU"}, {"9J", "AF"},
    {"9K", "AS"}, {"9L", "AF"}, {"9M2", "AS"}, {"9M6", "OC"}, {"9N", "AS"}, {"9Q", "AF"}, {"9U", "AF"}, {"9V", "AS"},
    {"9X", "AF"}, {"9Y", "SA"}, {"A2", "AF"}, {"A3", "OC"}, {"A4", "AS"}, {"A5", "AS"}, {"A6", "AS"}, {"A7", "AS"},
    {"A9", "AS"}, {"AP", "AS"}, {"BS7", "AS"}, {"BV", "AS"}, {"BV9P", "AS"}, {"BY", "AS"}, {"C2", "OC"},
    {"C3", "EU"}, {"C5", "AF"}, {"C6", "NA"}, {"C9", "AF"}, {"CE", "SA"}, {"CE0X", "SA"}, {"CE0Y", "SA"},
    {"CE0Z", "SA"}, {"CE9", "SA"}, {"CM", "NA"}, {"CN", "AF"}, {"CP", "SA"}, {"CT", "EU"}, {"CT3", "AF"},
    {"CU", "EU"}, {"CX", "SA"}, {"CY0", "NA"}, {"CY9", "NA"}, {"D2", "AF"}, {"D4", "AF"}, {"D6", "AF"}, {"DL", "EU"},
    {"DU", "OC"}, {"E3", "AF"}, {"E4", "AS"}, {"E5", "OC"}, {"E5/n", "OC"}, {"E5/s", "OC"}, {"E6", "OC"},
    {"E7", "EU"}, {"EA", "EU"}, {"EA6", "EU"}, {"EA8", "AF"}, {"EA9", "AF"}, {"EI", "EU"}, {"EK", "AS"},
    {"EL", "AF"}, {"EP", "AS"}, {"ER", "EU"}, {"ES", "EU"}, {"ET", "AF"}, {"EU", "EU"}, {"EX", "AS"}, {"EY", "AS"},
    {"EZ", "AS"}, {"F", "EU"}, {"FG", "NA"}, {"FH", "AF"}, {"FJ", "NA"}, {"FK", "OC"}, {"FK/c", "OC"}, {"FM", "NA"},
    {"FO", "OC"}, {"FO/a", "OC"}, {"FO/c", "NA"}, {"FO/m", "OC"}, {"FO0", "OC"}, {"FP", "NA"}, {"FR", "AF"},
    {"FS", "NA"}, {"FT/g", "AF"}, {"FT/j", "AF"}, {"FT/t", "AF"}, {"FT/w", "AF"}, {"FT/x", "AF"}, {"FT/z", "AF"},
    {"FW", "OC"}, {"FY", "SA"}, {"G", "EU"}, {"GD", "EU"}, {"GI", "EU"}, {"GJ", "EU"}, {"GM", "EU"}, {"GM/s", "EU"},
    {"GU", "EU"}, {"GW", "EU"}, {"H4", "OC"}, {"H40", "OC"}, {"HA", "EU"}, {"HB", "EU"}, {"HB0", "EU"}, {"HC", "SA"},
    {"HC8", "SA"}, {"HH", "NA"}, {"HI", "NA"}, {"HK", "SA"}, {"HK0", "SA"}, {"HK0/a", "NA"}, {"HK0/m", "SA"},
    {"HL", "AS"}, {"HP", "NA"}, {"HR", "NA"}, {"HS", "AS"}, {"HV", "EU"}, {"HZ", "AS"}, {"I", "EU"}, {"IG9", "AF"},
    {"IS", "EU"}, {"IT", "EU"}, {"IT9", "EU"}, {"J2", "AF"}, {"J3", "NA"}, {"J5", "AF"}, {"J6", "NA"}, {"J7", "NA"},
    {"J8", "NA"}, {"JA", "AS"}, {"JD/m", "OC"}, {"JD/o", "AS"}, {"JT", "AS"}, {"JW", "EU"}, {"JW/b", "EU"},
    {"JX", "EU"}, {"JY", "AS"}, {"K", "NA"}, {"KG4", "NA"}, {"KH0", "OC"}, {"KH1", "OC"}, {"KH2", "OC"},
    {"KH3", "OC"}, {"KH4", "OC"}, {"KH5", "OC"}, {"KH5K", "OC"}, {"KH6", "OC"}, {"KH7K", "OC"}, {"KH8", "OC"},
    {"KH8/s", "OC"}, {"KH9", "OC"}, {"KL", "NA"}, {"KP1", "NA"}, {"KP2", "NA"}, {"KP4", "NA"}, {"KP5", "NA"},
    {"LA", "EU"}, {"LU", "SA"}, {"LX", "EU"}, {"LY", "EU"}, {"LZ", "EU"}, {"OA", "SA"}, {"OD", "AS"}, {"OE", "EU"},
    {"OH", "EU"}, {"OH0", "EU"}, {"OJ0", "EU"}, {"OK", "EU"}, {"OM", "EU"}, {"ON", "EU"}, {"OX", "NA"}, {"OY", "EU"},
    {"OZ", "EU"}, {"P2", "OC"}, {"P4", "SA"}, {"P5", "AS"}, {"PA", "EU"}, {"PJ2", "SA"}, {"PJ4", "SA"},
    {"PJ5", "NA"}, {"PJ7", "NA"}, {"PY", "SA"}, {"PY0F", "SA"}, {"PY0P", "SA"}, {"PY0S", "SA"}, {"PY0T", "SA"},
    {"PZ", "SA"}, {"R1FJ", "EU"}, {"S0", "AF"}, {"S2", "AS"}, {"S5", "EU"}, {"S7", "AF"}, {"S9", "AF"}, {"SM", "EU"},
    {"SP", "EU"}, {"ST", "AF"}, {"SU", "AF"}, {"SV", "EU"}, {"SV/a", "EU"}, {"SV5", "EU"}, {"SV9", "EU"},
    {"T2", "OC"}, {"T30", "OC"}, {"T31", "OC"}, {"T32", "OC"}, {"T33", "OC"}, {"T5", "AF"}, {"T7", "EU"},
    {"T8", "OC"}, {"TA", "AS"}, {"TA1", "EU"}, {"TF", "EU"}, {"TG", "NA"}, {"TI", "NA"}, {"TI9", "NA"}, {"TJ", "AF"},
    {"TK", "EU"}, {"TL", "AF"}, {"TN", "AF"}, {"TR", "AF"}, {"TT", "AF"}, {"TU", "AF"}, {"TY", "AF"}, {"TZ", "AF"},
    {"UA", "EU"}, {"UA2", "EU"}, {"UA9", "AS"}, {"UK", "AS"}, {"UN", "AS"}, {"UR", "EU"}, {"V2", "NA"}, {"V3", "NA"},
    {"V4", "NA"}, {"V5", "AF"}, {"V6", "OC"}, {"V7", "OC"}, {"V8", "OC"}, {"VE", "NA"}, {"VK", "OC"}, {"VK0", "OC"},
    {"VK0H", "AF"}, {"VK0M", "OC"}, {"VK9C", "OC"}, {"VK9L", "OC"}, {"VK9M", "OC"}, {"VK9N", "OC"}, {"VK9W", "OC"},
    {"VK9X", "OC"}, {"VP2E", "NA"}, {"VP2M", "NA"}, {"VP2V", "NA"}, {"VP5", "NA"}, {"VP6", "OC"}, {"VP6/d", "OC"},
    {"VP8", "SA"}, {"VP8/g", "SA"}, {"VP8/h", "SA"}, {"VP8/o", "SA"}, {"VP8/s", "SA"}, {"VP9", "NA"}, {"VQ9", "AF"},
    {"VR", "AS"}, {"VU", "AS"}, {"VU4", "AS"}, {"VU7", "AS"}, {"XE", "NA"}, {"XF4", "NA"}, {"XT", "AF"},
    {"XU", "AS"}, {"XW", "AS"}, {"XX9", "AS"}, {"XZ", "AS"}, {"YA", "AS"}, {"YB", "OC"}, {"YI", "AS"}, {"YJ", "OC"},
    {"YK", "AS"}, {"YL", "EU"}, {"YN", "NA"}, {"YO", "EU"}, {"YS", "NA"}, {"YU", "EU"}, {"YV", "SA"}, {"YV0", "NA"},
    {"Z2", "AF"}, {"Z3", "EU"}, {"Z6", "EU"}, {"Z8", "AF"}, {"ZA", "EU"}, {"ZB", "EU"}, {"ZC4", "AS"}, {"ZD7", "AF"},
    {"ZD8", "AF"}, {"ZD9", "AF"}, {"ZF", "NA"}, {"ZK3", "OC"}, {"ZL", "OC"}, {"ZL7", "OC"}, {"ZL8", "OC"},
    {"ZL9", "OC"}, {"ZP", "SA"}, {"ZS", "AF"}, {"ZS8", "AF"},
};

}  // namespace

std::string ContinentOf(const std::string& prefix) {
    const auto* end = std::end(kContinents);
    const auto* it = std::lower_bound(std::begin(kContinents), end, prefix.c_str(),
                                      [](const PrefixContinent& e, const char* p) { return std::strcmp(e.prefix, p) < 0; });
    return it != end && prefix == it->prefix ? it->continent : "";
}
