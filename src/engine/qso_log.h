#pragma once
// The engine's copy of the contest log: records in logging order, never reordered.
#include <cstddef>
#include <vector>

#include "engine/cinfo.h"

class QsoLog {
public:
    void Append(const CInfo& record) { records_.push_back(record); }
    // Throws std::invalid_argument when the index is outside the log.
    void RemoveAt(size_t index);
    const CInfo& At(size_t index) const;
    void Clear();
    size_t Count() const { return records_.size(); }
    bool Empty() const { return records_.empty(); }

    std::vector<CInfo>::const_iterator begin() const { return records_.begin(); }
    std::vector<CInfo>::const_iterator end() const { return records_.end(); }

private:
    std::vector<CInfo> records_;
};
