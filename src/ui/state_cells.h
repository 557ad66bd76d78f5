#pragma once
// The 63 cells of the State/Province window (48 contiguous states, DC and 14 Canadian areas) as the status
// refresh sees them: a code, the id of the cell's item, and the marks a window holds for them. Each is labelled
// with the code a location counts under, and a contest's window shows the cells of the codes its record counts
// (its LocationMultipliers): the CQ WW's all 63, with Labrador (LB) apart from Newfoundland (NL); the Roundup's
// 62, where LB is NL. AK and HI have no cell.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "contest/record.h"

constexpr size_t kStateCellCount = 63;

struct StateCell {
    const char* code;     // label of the cell
    uint16_t controlId;   // item of the cell in the window's template
    const char* country;  // the prefix of the country whose location it is: "K" or "VE"
};

// Cell `index` (below kStateCellCount) in mark order: index i is the item 1016 + i for i up to 61, and
// index 62 is DC (1113).
const StateCell& StateCellAt(size_t index);

// The cell labelled exactly `label`, or -1.
int StateCellIndexOf(const std::string& label);

// Whether the contest's window shows cell `index`: its label is one of the location multipliers the contest
// counts for the cell's country. How many cells it shows.
bool StateCellShown(const contest::Record& contest, size_t index);
size_t StateCellCount(const contest::Record& contest);

// The cell that a worked state/province code lights in the contest's window: the shown cell labelled with the
// code it counts under ("PEI" lights "PE", "NF" lights "NL", "LB" lights "NL" in the Roundup and "LB" in the CQ
// WW); none for a code that names no cell (AK, HI, anything unknown). Exact and case-sensitive.
std::vector<size_t> StateCellsNamedBy(const contest::Record& contest, const std::string& code);

// The marks of one State/Province window: one int (0 or 1) per cell, all 0 in a new window.
class StateCellMarks {
public:
    void Clear() { marked_.fill(0); }
    // Marks cell `index`; true when it was not marked before.
    bool Mark(size_t index);
    int Marked(size_t index) const { return index < kStateCellCount ? marked_[index] : 0; }
    size_t MarkedCount() const;

    bool operator==(const StateCellMarks& other) const { return marked_ == other.marked_; }
    bool operator!=(const StateCellMarks& other) const { return marked_ != other.marked_; }

private:
    std::array<int, kStateCellCount> marked_{};
};
