#include "band_mode.h"

#include <algorithm>
#include <cctype>

#include "common/text.h"

namespace replay {

namespace {

struct BandRange {
    const char* name;
    unsigned long long lowKHz, highKHz;  // both edges belong to the band
};

// Band edges over all three regions, so a QSO the operator really made is never filed off-band.
const BandRange kBands[] = {
    {"160m", 1800, 2000},      {"80m", 3500, 4000},       {"60m", 5060, 5450},     {"40m", 7000, 7300},
    {"30m", 10100, 10150},     {"20m", 14000, 14350},     {"17m", 18068, 18168},   {"15m", 21000, 21450},
    {"12m", 24890, 24990},     {"10m", 28000, 29700},     {"6m", 50000, 54000},    {"4m", 70000, 71000},
    {"2m", 144000, 148000},    {"1.25m", 222000, 225000}, {"70cm", 420000, 450000},
};

}  // namespace

std::string BandFromFrequencyHz(unsigned long long hz) {
    for (const BandRange& b : kBands) {
        if (hz >= b.lowKHz * 1000 && hz <= b.highKHz * 1000) return b.name;
    }
    return "";
}

std::optional<unsigned> BandLowerEdgeHz(const std::string& band) {
    std::string wanted = NormaliseBandName(band);
    for (const BandRange& b : kBands) {
        if (wanted == b.name) return static_cast<unsigned>(b.lowKHz * 1000);
    }
    return std::nullopt;
}

std::string NormaliseBandName(const std::string& band) {
    std::string t = text::Trim(band);
    std::string lower;
    for (char c : t) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const BandRange& b : kBands) {
        if (lower == b.name) return b.name;
    }
    return t;
}

std::optional<unsigned long long> ParseScaledDecimal(const std::string& textIn, int scaleDigits) {
    std::string t = text::Trim(textIn);
    if (t.empty()) return std::nullopt;
    unsigned long long whole = 0;
    size_t i = 0;
    bool anyDigit = false;
    for (; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i) {
        whole = whole * 10 + static_cast<unsigned>(t[i] - '0');
        anyDigit = true;
        if (whole > 1000000000000ULL) return std::nullopt;
    }
    unsigned long long fraction = 0;
    int fractionDigits = 0;
    bool roundUp = false;
    if (i < t.size() && t[i] == '.') {
        ++i;
        for (; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i) {
            anyDigit = true;
            if (fractionDigits < scaleDigits) {
                fraction = fraction * 10 + static_cast<unsigned>(t[i] - '0');
                ++fractionDigits;
            } else if (fractionDigits == scaleDigits) {
                roundUp = t[i] >= '5';
                ++fractionDigits;  // only the first dropped digit rounds
            }
        }
    }
    if (!anyDigit || i != t.size()) return std::nullopt;
    for (int d = std::min(fractionDigits, scaleDigits); d < scaleDigits; ++d) fraction *= 10;
    unsigned long long scale = 1;
    for (int d = 0; d < scaleDigits; ++d) scale *= 10;
    return whole * scale + fraction + (roundUp ? 1 : 0);
}

std::string HostModeFromAdif(const std::string& modeIn, const std::string& submodeIn) {
    std::string mode = text::Trim(modeIn);
    std::string submode = text::Trim(submodeIn);
    std::string m = text::ToUpper(mode);
    std::string s = text::ToUpper(submode);
    if (m == "RTTY") return "RTTY";
    if (m == "PKT" || m == "PACKET") return "PACKET";
    if (m == "AMTOR" || (m == "TOR" && s == "AMTORFEC")) return "AMTOR";
    // Older ADIF versions wrote the PSK speed as the mode itself.
    if ((m == "PSK" && s == "PSK31") || m == "PSK31") return "BPSK31";
    if ((m == "PSK" && s == "PSK63") || m == "PSK63") return "BPSK63";
    return submode.empty() ? mode : submode;
}

}  // namespace replay
