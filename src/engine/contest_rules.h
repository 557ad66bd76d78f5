#pragma once
// The contest's fixed rule tables: accepted bands and modes, the W/VE test, the state/province codes
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
// An accepted state/province code, compared exactly.
bool IsStateProv(const std::string& code);
// The received exchange as AddData0 tests it: upper case, blanks trimmed at both ends.
std::string NormaliseStateProv(const std::string& exchange);
bool IsRussianTextPrefix(const std::string& prefix);

// IsValidExchg0: 1 when the received exchange is acceptable from a station with this prefix, else 0.
int IsValidExchange(const std::string& exchange, const std::string& prefix, int disable);

}  // namespace rules
