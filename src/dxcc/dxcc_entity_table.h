#pragma once
// The countries of the extended DXCC window: one tick box per entity of the country file on six continent
// pages, the DXCC entities and the WAE-only countries (IT9, GM/s, ...), these shown only where the contest counts
// them (its record's waeCountries). This is the only place that knows individual entities; the engine treats a
// QSO's prefix as opaque text from the host, and a row is ticked only by a prefix equal to its key (or extra
// key), byte for byte: where a contest counts DXCC entities only, a WAE-only country's prefix ticks the box of
// the DXCC entity it belongs to.
//
// The table is constant. The ticks live in a DxccMarks object, one per open extended DXCC window, so the
// table can be shared freely between threads.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Continent pages in tab order, which is also the order the marks are moved into the pages.
enum class DxccPage : int { EU = 0, AF, AS, NA, SA, OC };
constexpr int kDxccPageCount = 6;
constexpr size_t kDxccRowCount = 346;

struct DxccEntity {
    const char* caption;   // text of the box
    const char* key;       // prefix that ticks the box
    const char* extraKey;  // a second prefix that ticks the same box; empty when there is none
    DxccPage page;
    uint16_t controlId;    // id of the box on its page
    const char* dxccKey;   // a WAE-only country: the key of the DXCC entity it belongs to; empty for a DXCC entity
};

struct DxccPageInfo {
    DxccPage page;
    const char* name;    // "EU", "AF", ...
    int templateId;      // dialog template of the page
    size_t firstRow;     // index of the page's first row in the table
    size_t rowCount;
};

// The rows of one page, in control-id order.
class DxccRowRange {
public:
    DxccRowRange(const DxccEntity* first, size_t count) : first_(first), count_(count) {}
    const DxccEntity* begin() const { return first_; }
    const DxccEntity* end() const { return first_ + count_; }
    size_t size() const { return count_; }
    const DxccEntity& operator[](size_t i) const { return first_[i]; }

private:
    const DxccEntity* first_;
    size_t count_;
};

class DxccEntityTable {
public:
    // All rows, page after page (EU, AF, AS, NA, SA, OC), each page in control-id order.
    static DxccRowRange Rows();
    static DxccRowRange PageRows(DxccPage page);
    static const DxccPageInfo& Page(DxccPage page);
    // True when `prefix` ticks row `row`: equal to its key or to its non-empty extra key.
    static bool Matches(const DxccEntity& row, const std::string& prefix);
    // Whether a contest shows the row: every row where it counts the WAE-only countries, else the DXCC entities.
    static bool Shown(const DxccEntity& row, bool waeCountries);
    static size_t ShownCount(bool waeCountries);
};

// The ticks of one extended DXCC window: one int per row of the table (0 or 1), as the page's boxes are
// bound to them.
class DxccMarks {
public:
    void ClearMarks() { worked_.fill(0); }
    // Ticks the row whose key or extra key equals `prefix`, among the rows a contest with or without the
    // WAE-only countries shows (see DxccEntityTable::Shown); a prefix that is no key changes nothing.
    void MarkWorked(const std::string& prefix, bool waeCountries);

    int Worked(size_t row) const { return worked_[row]; }
    // The mark of box `indexInPage` of `page`, in the page's control-id order.
    int Worked(DxccPage page, size_t indexInPage) const;
    size_t MarkedCount() const;

    bool operator==(const DxccMarks& other) const { return worked_ == other.worked_; }
    bool operator!=(const DxccMarks& other) const { return worked_ != other.worked_; }

private:
    std::array<int, kDxccRowCount> worked_{};
};
