#include "ui/state_cells.h"


namespace {

constexpr StateCell kCells[kStateCellCount] = {
    {"AL", 1016},  {"MD", 1017}, {"AR", 1018}, {"AZ", 1019}, {"CA", 1020}, {"CO", 1021}, {"CT", 1022},
    {"DE", 1023},  {"FL", 1024}, {"GA", 1025}, {"ID", 1026}, {"IL", 1027}, {"IA", 1028}, {"KS", 1029},
    {"KY", 1030},  {"LA", 1031}, {"MA", 1032}, {"ME", 1033}, {"MI", 1034}, {"MN", 1035}, {"MS", 1036},
    {"MO", 1037},  {"MT", 1038}, {"IN", 1039}, {"NE", 1040}, {"NV", 1041}, {"NH", 1042}, {"NJ", 1043},
    {"NM", 1044},  {"NY", 1045}, {"NC", 1046}, {"ND", 1047}, {"OH", 1048}, {"OK", 1049}, {"OR", 1050},
    {"PA", 1051},  {"RI", 1052}, {"SC", 1053}, {"SD", 1054}, {"TN", 1055}, {"TX", 1056}, {"UT", 1057},
    {"VT", 1058},  {"VA", 1059}, {"WA", 1060}, {"WV", 1061}, {"WI", 1062}, {"WY", 1063}, {"AB", 1064},
    {"BC", 1065},  {"LB", 1066}, {"MB", 1067}, {"NB", 1068}, {"NF", 1069}, {"NS", 1070}, {"NWT", 1071},
    {"NU", 1072},  {"ON", 1073}, {"QC", 1074}, {"SK", 1075}, {"YT", 1076}, {"PEI", 1077}, {"DC", 1113},
};

}  // namespace

const StateCell& StateCellAt(size_t index) { return kCells[index]; }

int StateCellIndexOf(const std::string& label) {
    for (size_t i = 0; i < kStateCellCount; ++i) {
        if (label == kCells[i].code) return static_cast<int>(i);
    }
    return -1;
}

std::vector<size_t> StateCellsNamedBy(const contest::Record& contest, const std::string& code) {
    // A code lights every cell whose label counts as the same multiplier: "NL" and "NF" light both "NF" and
    // "LB", "PE" lights "PEI".
    const std::string canonical = contest.CanonicalLocation(code);
    std::vector<size_t> cells;
    for (size_t i = 0; i < kStateCellCount; ++i) {
        if (contest.CanonicalLocation(kCells[i].code) == canonical) cells.push_back(i);
    }
    return cells;
}

bool StateCellMarks::Mark(size_t index) {
    if (index >= kStateCellCount || marked_[index] != 0) return false;
    marked_[index] = 1;
    return true;
}

size_t StateCellMarks::MarkedCount() const {
    size_t n = 0;
    for (int m : marked_) n += m != 0;
    return n;
}
