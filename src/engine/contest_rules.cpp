#include "engine/contest_rules.h"

#include "common/text.h"

namespace {

const char* const kBandTable[] = {"80m", "80m", "40m", "20m", "15m", "10m"};
const char* const kModeTable[] = {"RTTY", "BPSK31", "BPSK63", "AMTOR", "PACKET"};

// US states and DC, then the Canadian provinces; Prince Edward Island both as "PEI" and "PE".
const char* const kStateProvTable[] = {
    "AK", "AL", "AR", "AZ", "CA", "CO", "CT", "DC", "DE", "FL", "GA", "HI", "IA", "ID", "IL", "IN", "KS",
    "KY", "LA", "MA", "MD", "ME", "MI", "MN", "MO", "MS", "MT", "NC", "ND", "NE", "NH", "NJ", "NM", "NV",
    "NY", "OH", "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT", "VA", "VT", "WA", "WI", "WV", "WY",
    "ON", "QC", "NS", "NB", "MB", "BC", "SK", "AB", "NL", "NT", "YT", "NU", "PEI", "PE", nullptr};

const char* const kRussianTextPrefixes[] = {"UA", "UA2", "UA9", "CE9/KC4", "UR", "UN", "EU"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

CContestRules::CContestRules(const char* const* table, size_t count) : entries_(table, table + count) {}

bool CContestRules::Contains(const std::string& text) const {
    for (const std::string& entry : entries_) {
        if (text::EqualsNoCase(entry, text)) return true;
    }
    return false;
}

const CContestRules& AcceptedBands() {
    static const CContestRules bands(kBandTable, sizeof kBandTable / sizeof kBandTable[0]);
    return bands;
}

const CContestRules& AcceptedModes() {
    static const CContestRules modes(kModeTable, sizeof kModeTable / sizeof kModeTable[0]);
    return modes;
}

namespace rules {

bool IsWve(const std::string& prefix) { return prefix == "K" || prefix == "VE"; }

bool IsStateProv(const std::string& code) {
    for (const char* const* entry = kStateProvTable; *entry != nullptr; ++entry) {
        if (code == *entry) return true;
    }
    return false;
}

std::string NormaliseStateProv(const std::string& exchange) { return text::Trim(text::ToUpper(exchange)); }

bool IsRussianTextPrefix(const std::string& prefix) {
    for (const char* p : kRussianTextPrefixes) {
        if (prefix == p) return true;
    }
    return false;
}

int IsValidExchange(const std::string& exchange, const std::string& prefix, int disable) {
    if (disable != 0) return 0;
    if (exchange == "599") return 0;
    // A serial number of three or four digits is valid from W/VE and DX stations alike.
    if (exchange.size() == 3 || exchange.size() == 4) {
        for (char c : exchange) {
            if (!IsDigit(c)) return 0;
        }
        return 1;
    }
    if (!IsWve(prefix)) return 0;
    return exchange.size() == 2 && IsStateProv(exchange) ? 1 : 0;
}

}  // namespace rules
