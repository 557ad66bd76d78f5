#include "engine/qso_log.h"

#include <stdexcept>

void QsoLog::RemoveAt(size_t index) {
    if (index >= records_.size()) throw std::invalid_argument("QSO index outside the log");
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
}

const CInfo& QsoLog::At(size_t index) const {
    if (index >= records_.size()) throw std::invalid_argument("QSO index outside the log");
    return records_[index];
}

void QsoLog::Clear() {
    records_.clear();
    records_.shrink_to_fit();
}
