#include "ui/state_cells.h"

#include <algorithm>

namespace {

#define K(code, id) {code, id, "K"}
#define VE(code, id) {code, id, "VE"}
constexpr StateCell kCells[kStateCellCount] = {
    K("AL", 1016),  K("MD", 1017),  K("AR", 1018),  K("AZ", 1019),  K("CA", 1020),  K("CO", 1021),
    K("CT", 1022),  K("DE", 1023),  K("FL", 1024),  K("GA", 1025),  K("ID", 1026),  K("IL", 1027),
    K("IA", 1028),  K("KS", 1029),  K("KY", 1030),  K("LA", 1031),  K("MA", 1032),  K("ME", 1033),
    K("MI", 1034),  K("MN", 1035),  K("MS", 1036),  K("MO", 1037),  K("MT", 1038),  K("IN", 1039),
    K("NE", 1040),  K("NV", 1041),  K("NH", 1042),  K("NJ", 1043),  K("NM", 1044),  K("NY", 1045),
    K("NC", 1046),  K("ND", 1047),  K("OH", 1048),  K("OK", 1049),  K("OR", 1050),  K("PA", 1051),
    K("RI", 1052),  K("SC", 1053),  K("SD", 1054),  K("TN", 1055),  K("TX", 1056),  K("UT", 1057),
    K("VT", 1058),  K("VA", 1059),  K("WA", 1060),  K("WV", 1061),  K("WI", 1062),  K("WY", 1063),
    VE("AB", 1064), VE("BC", 1065), VE("LB", 1066), VE("MB", 1067), VE("NB", 1068), VE("NL", 1069),
    VE("NS", 1070), VE("NT", 1071), VE("NU", 1072), VE("ON", 1073), VE("QC", 1074), VE("SK", 1075),
    VE("YT", 1076), VE("PE", 1077), K("DC", 1113),
};
#undef K
#undef VE

}  // namespace

const StateCell& StateCellAt(size_t index) { return kCells[index]; }

int StateCellIndexOf(const std::string& label) {
    for (size_t i = 0; i < kStateCellCount; ++i) {
        if (label == kCells[i].code) return static_cast<int>(i);
    }
    return -1;
}

bool StateCellShown(const contest::Record& contest, size_t index) {
    if (index >= kStateCellCount) return false;
    const std::vector<std::string>& counted = contest.LocationMultipliers(kCells[index].country);
    return std::find(counted.begin(), counted.end(), kCells[index].code) != counted.end();
}

size_t StateCellCount(const contest::Record& contest) {
    size_t n = 0;
    for (size_t i = 0; i < kStateCellCount; ++i) n += StateCellShown(contest, i);
    return n;
}

std::vector<size_t> StateCellsNamedBy(const contest::Record& contest, const std::string& code) {
    std::vector<size_t> cells;
    const std::string canonical = contest.CanonicalLocation(code);
    for (size_t i = 0; i < kStateCellCount; ++i) {
        if (kCells[i].code == canonical && StateCellShown(contest, i)) cells.push_back(i);
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
