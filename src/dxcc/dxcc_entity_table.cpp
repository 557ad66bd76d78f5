#include "dxcc/dxcc_entity_table.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// A plain row: a DXCC entity whose caption is its key, with no extra key.
#define R(page, id, caption) {caption, caption, "", DxccPage::page, id, ""}

// Every entity of the country file, DXCC and WAE-only, on the page of its continent there and under the prefix
// it names the entity by; an extra key is the prefix an older country file gave it. Page after page in tab order,
// each page sorted by caption byte by byte and numbered from 1015 without gaps.
constexpr DxccEntity kRows[] = {
    // EU: 73 boxes, ids 1015 to 1087 (5 of them WAE countries)
    {"1A", "1A", "1A0", DxccPage::EU, 1015, ""},
    R(EU, 1016, "3A"), R(EU, 1017, "4O"), R(EU, 1018, "4U1I"),
    {"4U1V", "4U1V", "", DxccPage::EU, 1019, "OE"},
    R(EU, 1020, "9A"), R(EU, 1021, "9H"), R(EU, 1022, "C3"), R(EU, 1023, "CT"), R(EU, 1024, "CU"),
    R(EU, 1025, "DL"), R(EU, 1026, "E7"), R(EU, 1027, "EA"), R(EU, 1028, "EA6"), R(EU, 1029, "EI"),
    R(EU, 1030, "ER"), R(EU, 1031, "ES"), R(EU, 1032, "EU"), R(EU, 1033, "F"), R(EU, 1034, "G"), R(EU, 1035, "GD"),
    R(EU, 1036, "GI"), R(EU, 1037, "GJ"), R(EU, 1038, "GM"),
    {"GM/s", "GM/s", "", DxccPage::EU, 1039, "GM"},
    R(EU, 1040, "GU"), R(EU, 1041, "GW"), R(EU, 1042, "HA"), R(EU, 1043, "HB"), R(EU, 1044, "HB0"),
    R(EU, 1045, "HV"), R(EU, 1046, "I"), R(EU, 1047, "IS"),
    {"IT9", "IT9", "IT", DxccPage::EU, 1048, "I"},
    R(EU, 1049, "JW"),
    {"JW/b", "JW/b", "", DxccPage::EU, 1050, "JW"},
    R(EU, 1051, "JX"), R(EU, 1052, "LA"), R(EU, 1053, "LX"), R(EU, 1054, "LY"), R(EU, 1055, "LZ"),
    R(EU, 1056, "OE"), R(EU, 1057, "OH"), R(EU, 1058, "OH0"), R(EU, 1059, "OJ0"), R(EU, 1060, "OK"),
    R(EU, 1061, "OM"), R(EU, 1062, "ON"), R(EU, 1063, "OY"), R(EU, 1064, "OZ"), R(EU, 1065, "PA"),
    R(EU, 1066, "R1FJ"), R(EU, 1067, "S5"), R(EU, 1068, "SM"), R(EU, 1069, "SP"), R(EU, 1070, "SV"),
    R(EU, 1071, "SV/a"), R(EU, 1072, "SV5"), R(EU, 1073, "SV9"), R(EU, 1074, "T7"),
    {"TA1", "TA1", "", DxccPage::EU, 1075, "TA"},
    R(EU, 1076, "TF"), R(EU, 1077, "TK"), R(EU, 1078, "UA"),
    {"UA2", "UA2", "UA2/f", DxccPage::EU, 1079, ""},
    R(EU, 1080, "UR"), R(EU, 1081, "YL"), R(EU, 1082, "YO"), R(EU, 1083, "YU"), R(EU, 1084, "Z3"),
    R(EU, 1085, "Z6"), R(EU, 1086, "ZA"), R(EU, 1087, "ZB"),
    // AF: 77 boxes, ids 1015 to 1091 (1 of them WAE countries)
    R(AF, 1015, "3B6"), R(AF, 1016, "3B8"), R(AF, 1017, "3B9"), R(AF, 1018, "3C"), R(AF, 1019, "3C0"),
    R(AF, 1020, "3DA"), R(AF, 1021, "3V"), R(AF, 1022, "3X"),
    {"3Y/b", "3Y/b", "3Y", DxccPage::AF, 1023, ""},
    R(AF, 1024, "5A"), R(AF, 1025, "5H"), R(AF, 1026, "5N"), R(AF, 1027, "5R"), R(AF, 1028, "5T"),
    R(AF, 1029, "5U"), R(AF, 1030, "5V"), R(AF, 1031, "5X"), R(AF, 1032, "5Z"), R(AF, 1033, "6W"),
    R(AF, 1034, "7P"), R(AF, 1035, "7Q"), R(AF, 1036, "7X"), R(AF, 1037, "9G"), R(AF, 1038, "9J"),
    R(AF, 1039, "9L"), R(AF, 1040, "9Q"), R(AF, 1041, "9U"), R(AF, 1042, "9X"), R(AF, 1043, "A2"),
    R(AF, 1044, "C5"), R(AF, 1045, "C9"), R(AF, 1046, "CN"), R(AF, 1047, "CT3"), R(AF, 1048, "D2"),
    R(AF, 1049, "D4"), R(AF, 1050, "D6"), R(AF, 1051, "E3"), R(AF, 1052, "EA8"), R(AF, 1053, "EA9"),
    R(AF, 1054, "EL"), R(AF, 1055, "ET"), R(AF, 1056, "FH"), R(AF, 1057, "FR"), R(AF, 1058, "FT/g"),
    R(AF, 1059, "FT/j"), R(AF, 1060, "FT/t"), R(AF, 1061, "FT/w"), R(AF, 1062, "FT/x"), R(AF, 1063, "FT/z"),
    {"IG9", "IG9", "", DxccPage::AF, 1064, "I"},
    R(AF, 1065, "J2"), R(AF, 1066, "J5"), R(AF, 1067, "S0"), R(AF, 1068, "S7"), R(AF, 1069, "S9"),
    R(AF, 1070, "ST"), R(AF, 1071, "SU"), R(AF, 1072, "T5"), R(AF, 1073, "TJ"), R(AF, 1074, "TL"),
    R(AF, 1075, "TN"), R(AF, 1076, "TR"), R(AF, 1077, "TT"), R(AF, 1078, "TU"), R(AF, 1079, "TY"),
    R(AF, 1080, "TZ"), R(AF, 1081, "V5"), R(AF, 1082, "VK0H"), R(AF, 1083, "VQ9"), R(AF, 1084, "XT"),
    R(AF, 1085, "Z2"), R(AF, 1086, "Z8"), R(AF, 1087, "ZD7"), R(AF, 1088, "ZD8"), R(AF, 1089, "ZD9"),
    R(AF, 1090, "ZS"), R(AF, 1091, "ZS8"),
    // AS: 55 boxes, ids 1015 to 1069
    R(AS, 1015, "1S"), R(AS, 1016, "3W"), R(AS, 1017, "4J"), R(AS, 1018, "4L"), R(AS, 1019, "4S"),
    R(AS, 1020, "4X"), R(AS, 1021, "5B"), R(AS, 1022, "7O"), R(AS, 1023, "8Q"), R(AS, 1024, "9K"),
    R(AS, 1025, "9M2"), R(AS, 1026, "9N"), R(AS, 1027, "9V"), R(AS, 1028, "A4"), R(AS, 1029, "A5"),
    R(AS, 1030, "A6"), R(AS, 1031, "A7"), R(AS, 1032, "A9"), R(AS, 1033, "AP"), R(AS, 1034, "BS7"),
    R(AS, 1035, "BV"), R(AS, 1036, "BV9P"), R(AS, 1037, "BY"), R(AS, 1038, "E4"), R(AS, 1039, "EK"),
    R(AS, 1040, "EP"), R(AS, 1041, "EX"), R(AS, 1042, "EY"), R(AS, 1043, "EZ"), R(AS, 1044, "HL"),
    R(AS, 1045, "HS"), R(AS, 1046, "HZ"), R(AS, 1047, "JA"), R(AS, 1048, "JD/o"), R(AS, 1049, "JT"),
    R(AS, 1050, "JY"), R(AS, 1051, "OD"), R(AS, 1052, "P5"), R(AS, 1053, "S2"), R(AS, 1054, "TA"),
    R(AS, 1055, "UA9"), R(AS, 1056, "UK"), R(AS, 1057, "UN"), R(AS, 1058, "VR"), R(AS, 1059, "VU"),
    R(AS, 1060, "VU4"), R(AS, 1061, "VU7"), R(AS, 1062, "XU"), R(AS, 1063, "XW"), R(AS, 1064, "XX9"),
    R(AS, 1065, "XZ"), R(AS, 1066, "YA"), R(AS, 1067, "YI"), R(AS, 1068, "YK"), R(AS, 1069, "ZC4"),
    // NA: 50 boxes, ids 1015 to 1064
    R(NA, 1015, "4U1U"), R(NA, 1016, "6Y"), R(NA, 1017, "8P"), R(NA, 1018, "C6"), R(NA, 1019, "CM"),
    R(NA, 1020, "CY0"), R(NA, 1021, "CY9"), R(NA, 1022, "FG"), R(NA, 1023, "FJ"), R(NA, 1024, "FM"),
    R(NA, 1025, "FO/c"), R(NA, 1026, "FP"), R(NA, 1027, "FS"), R(NA, 1028, "HH"), R(NA, 1029, "HI"),
    R(NA, 1030, "HK0/a"), R(NA, 1031, "HP"), R(NA, 1032, "HR"), R(NA, 1033, "J3"), R(NA, 1034, "J6"),
    R(NA, 1035, "J7"), R(NA, 1036, "J8"), R(NA, 1037, "K"), R(NA, 1038, "KG4"), R(NA, 1039, "KL"),
    R(NA, 1040, "KP1"), R(NA, 1041, "KP2"), R(NA, 1042, "KP4"), R(NA, 1043, "KP5"), R(NA, 1044, "OX"),
    R(NA, 1045, "PJ5"), R(NA, 1046, "PJ7"), R(NA, 1047, "TG"), R(NA, 1048, "TI"), R(NA, 1049, "TI9"),
    R(NA, 1050, "V2"), R(NA, 1051, "V3"), R(NA, 1052, "V4"), R(NA, 1053, "VE"), R(NA, 1054, "VP2E"),
    R(NA, 1055, "VP2M"), R(NA, 1056, "VP2V"), R(NA, 1057, "VP5"), R(NA, 1058, "VP9"), R(NA, 1059, "XE"),
    R(NA, 1060, "XF4"), R(NA, 1061, "YN"), R(NA, 1062, "YS"), R(NA, 1063, "YV0"), R(NA, 1064, "ZF"),
    // SA: 32 boxes, ids 1015 to 1046
    R(SA, 1015, "3Y/p"), R(SA, 1016, "8R"), R(SA, 1017, "9Y"), R(SA, 1018, "CE"), R(SA, 1019, "CE0X"),
    R(SA, 1020, "CE0Y"), R(SA, 1021, "CE0Z"), R(SA, 1022, "CE9"), R(SA, 1023, "CP"), R(SA, 1024, "CX"),
    R(SA, 1025, "FY"), R(SA, 1026, "HC"), R(SA, 1027, "HC8"), R(SA, 1028, "HK"),
    {"HK0/m", "HK0/m", "HK0", DxccPage::SA, 1029, ""},
    R(SA, 1030, "LU"), R(SA, 1031, "OA"), R(SA, 1032, "P4"), R(SA, 1033, "PJ2"), R(SA, 1034, "PJ4"),
    R(SA, 1035, "PY"), R(SA, 1036, "PY0F"),
    {"PY0S", "PY0S", "PY0P", DxccPage::SA, 1037, ""},
    R(SA, 1038, "PY0T"), R(SA, 1039, "PZ"), R(SA, 1040, "VP8"), R(SA, 1041, "VP8/g"), R(SA, 1042, "VP8/h"),
    R(SA, 1043, "VP8/o"), R(SA, 1044, "VP8/s"), R(SA, 1045, "YV"), R(SA, 1046, "ZP"),
    // OC: 59 boxes, ids 1015 to 1073
    R(OC, 1015, "3D2"), R(OC, 1016, "3D2/c"), R(OC, 1017, "3D2/r"), R(OC, 1018, "4W"), R(OC, 1019, "5W"),
    R(OC, 1020, "9M6"), R(OC, 1021, "A3"), R(OC, 1022, "C2"), R(OC, 1023, "DU"), R(OC, 1024, "E5/n"),
    {"E5/s", "E5/s", "E5", DxccPage::OC, 1025, ""},
    R(OC, 1026, "E6"), R(OC, 1027, "FK"), R(OC, 1028, "FK/c"), R(OC, 1029, "FO"), R(OC, 1030, "FO/a"),
    R(OC, 1031, "FO/m"), R(OC, 1032, "FW"), R(OC, 1033, "H4"), R(OC, 1034, "H40"), R(OC, 1035, "JD/m"),
    R(OC, 1036, "KH0"), R(OC, 1037, "KH1"), R(OC, 1038, "KH2"), R(OC, 1039, "KH3"), R(OC, 1040, "KH4"),
    R(OC, 1041, "KH5"), R(OC, 1042, "KH6"), R(OC, 1043, "KH7K"), R(OC, 1044, "KH8"), R(OC, 1045, "KH8/s"),
    R(OC, 1046, "KH9"), R(OC, 1047, "P2"), R(OC, 1048, "T2"), R(OC, 1049, "T30"), R(OC, 1050, "T31"),
    R(OC, 1051, "T32"), R(OC, 1052, "T33"), R(OC, 1053, "T8"), R(OC, 1054, "V6"), R(OC, 1055, "V7"),
    R(OC, 1056, "V8"), R(OC, 1057, "VK"),
    {"VK0M", "VK0M", "VK0", DxccPage::OC, 1058, ""},
    R(OC, 1059, "VK9C"), R(OC, 1060, "VK9L"), R(OC, 1061, "VK9M"), R(OC, 1062, "VK9N"), R(OC, 1063, "VK9W"),
    R(OC, 1064, "VK9X"), R(OC, 1065, "VP6"), R(OC, 1066, "VP6/d"), R(OC, 1067, "YB"), R(OC, 1068, "YJ"),
    R(OC, 1069, "ZK3"), R(OC, 1070, "ZL"), R(OC, 1071, "ZL7"), R(OC, 1072, "ZL8"), R(OC, 1073, "ZL9"),
};

#undef R

static_assert(sizeof(kRows) / sizeof(kRows[0]) == kDxccRowCount, "346 boxes on six pages");

constexpr DxccPageInfo kPages[kDxccPageCount] = {
    {DxccPage::EU, "EU", 119, 0, 73},
    {DxccPage::AF, "AF", 118, 73, 77},
    {DxccPage::AS, "AS", 117, 150, 55},
    {DxccPage::NA, "NA", 122, 205, 50},
    {DxccPage::SA, "SA", 121, 255, 32},
    {DxccPage::OC, "OC", 120, 287, 59},
};

static_assert(kPages[5].firstRow + kPages[5].rowCount == kDxccRowCount, "pages cover the table");

}  // namespace

DxccRowRange DxccEntityTable::Rows() { return DxccRowRange(kRows, kDxccRowCount); }

const DxccPageInfo& DxccEntityTable::Page(DxccPage page) { return kPages[static_cast<int>(page)]; }

DxccRowRange DxccEntityTable::PageRows(DxccPage page) {
    const DxccPageInfo& info = Page(page);
    return DxccRowRange(kRows + info.firstRow, info.rowCount);
}

bool DxccEntityTable::Matches(const DxccEntity& row, const std::string& prefix) {
    if (prefix == row.key) return true;
    // An empty extra key means "none": it must not let the empty prefix tick the row.
    return row.extraKey[0] != '\0' && prefix == row.extraKey;
}

bool DxccEntityTable::Shown(const DxccEntity& row, bool waeCountries) {
    return waeCountries || row.dxccKey[0] == '\0';
}

size_t DxccEntityTable::ShownCount(bool waeCountries) {
    size_t n = 0;
    for (const DxccEntity& row : Rows()) n += Shown(row, waeCountries);
    return n;
}

namespace {

// Every key and extra key with its row, sorted by text, so that marking the worked prefixes costs a
// binary search each rather than a pass over the table; a refresh follows every call check of the host.
using KeyIndex = std::vector<std::pair<const char*, size_t>>;

bool KeyLess(const std::pair<const char*, size_t>& a, const std::pair<const char*, size_t>& b) {
    return std::strcmp(a.first, b.first) < 0;
}

const KeyIndex& Index() {
    static const KeyIndex index = [] {
        KeyIndex keys;
        for (size_t i = 0; i < kDxccRowCount; ++i) {
            keys.push_back({kRows[i].key, i});
            if (kRows[i].extraKey[0] != '\0') keys.push_back({kRows[i].extraKey, i});
        }
        std::sort(keys.begin(), keys.end(), KeyLess);
        return keys;
    }();
    return index;
}

}  // namespace

void DxccMarks::MarkWorked(const std::string& prefix, bool waeCountries) {
    // A text with an embedded zero byte is no key (keys are compared whole).
    if (prefix.empty() || prefix.find('\0') != std::string::npos) return;
    const KeyIndex& index = Index();
    auto range = std::equal_range(index.begin(), index.end(), std::make_pair(prefix.c_str(), size_t{0}), KeyLess);
    for (auto it = range.first; it != range.second; ++it) {
        const DxccEntity& row = kRows[it->second];
        if (DxccEntityTable::Shown(row, waeCountries)) {
            worked_[it->second] = 1;
        } else {
            // A WAE-only country where the contest counts DXCC entities only: its DXCC entity's box.
            MarkWorked(row.dxccKey, waeCountries);
        }
    }
}

int DxccMarks::Worked(DxccPage page, size_t indexInPage) const {
    const DxccPageInfo& info = DxccEntityTable::Page(page);
    return indexInPage < info.rowCount ? worked_[info.firstRow + indexInPage] : 0;
}

size_t DxccMarks::MarkedCount() const {
    size_t n = 0;
    for (int w : worked_) n += w != 0;
    return n;
}
