#pragma once
// The 63 cells of the State/Province window (48 contiguous states, DC and 14 provinces and territories) as
// the status refresh sees them: a code, the id of the cell's item, and the marks a window holds for them.
// AK and HI have no cell.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "contest/record.h"

constexpr size_t kStateCellCount = 63;

struct StateCell {
    const char* code;    // label of the cell
    uint16_t controlId;  // item of the cell in the window's template
};

// Cell `index` (below kStateCellCount) in mark order: index i is the item 1016 + i for i up to 61, and
// index 62 is DC (1113).
const StateCell& StateCellAt(size_t index);

// The cell labelled exactly `label`, or -1.
int StateCellIndexOf(const std::string& label);

// The cells that a worked state/province code lights, in cell order: those whose label counts as the same
// multiplier ("PE" and "PEI" light "PEI", "NT" lights "NWT", "NL", "NF" and "LB" light both "NF" and "LB");
// none for a code that names no cell (AK, HI, anything unknown). Exact and case-sensitive.
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
