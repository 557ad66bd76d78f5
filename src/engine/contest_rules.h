#pragma once
// The contest's fixed rule tables: accepted bands and modes with their Cabrillo codes, the W/VE test and
// which prefixes are DXCC multipliers, the state/province codes with the older spellings of some of them,
// and the own-station prefixes that switch the windows to Russian captions.
#include <cstddef>
#include <string>
#include <vector>

// A list of accepted texts, tested without regard to letter case, kept in table order.
class CContestRules {
public:
    CContestRules(const char* const* table, size_t count);

    bool Contains(const std::string& text) const;
    size_t Count() const { return entries_.size(); }
    const std::string& At(size_t index) const { return entries_.at(index); }

private:
    std::vector<std::string> entries_;
};

// "80m" stands twice: the six per-band rows follow this table, and row 0 is the 160 m slot.
const CContestRules& AcceptedBands();
const CContestRules& AcceptedModes();

namespace rules {

// W/VE station: the prefix is exactly "K" (USA) or exactly "VE" (Canada). Everything else is DX.
bool IsWve(const std::string& prefix);
// A prefix that counts as a DXCC multiplier: any entity but the USA and Canada, whose stations count by
// their state or province instead; an empty (unknown) prefix is no entity.
bool IsDxccMultiplier(const std::string& prefix);
// An accepted state/province code, compared exactly; the older spellings still sent on the air ("PEI",
// "NF", "LB", "NWT") included.
bool IsStateProv(const std::string& code);
// The code a state/province counts under as a multiplier: "PEI" is "PE", "NF" and "LB" are "NL" and
// "NWT" is "NT"; every other code is itself.
std::string CanonicalStateProv(const std::string& code);
// The received exchange as AddData0 tests it: upper case, blanks trimmed at both ends.
std::string NormaliseStateProv(const std::string& exchange);
bool IsRussianTextPrefix(const std::string& prefix);

// IsValidExchg0: 1 when the received exchange is acceptable from a station with this prefix, else 0.
int IsValidExchange(const std::string& exchange, const std::string& prefix, int disable);

// The Cabrillo mode of a logged mode (exact, case-sensitive name): "RY" for RTTY and the other keyboard
// modes, "DG" for FT8 and FT4, "??" for anything else.
const char* CabrilloModeCode(const std::string& mode);

}  // namespace rules
