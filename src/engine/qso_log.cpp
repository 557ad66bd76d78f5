#include "engine/qso_log.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

size_t QsoLog::CallBandModeHash::operator()(const CallBandMode& k) const {
    std::hash<std::string> h;
    size_t seed = h(k.call);
    seed ^= h(k.band) + 0x9e3779b9u + (seed << 6) + (seed >> 2);
    seed ^= h(k.mode) + 0x9e3779b9u + (seed << 6) + (seed >> 2);
    return seed;
}

void QsoLog::Append(const CInfo& record) {
    records_.push_back(record);
    uint64_t serial = nextSerial_++;
    serials_.push_back(serial);
    byCallBandMode_[CallBandMode{record.call, record.band, record.mode}].push_back(serial);
    ++prefixCount_[record.prefix];
    if (!record.stateProv.empty()) ++stateProvCountByCall_[record.call];
}

void QsoLog::RemoveAt(size_t index) {
    if (index >= records_.size()) throw std::invalid_argument("QSO index outside the log");
    const CInfo& record = records_[index];
    uint64_t serial = serials_[index];

    auto it = byCallBandMode_.find(CallBandMode{record.call, record.band, record.mode});
    if (it != byCallBandMode_.end()) {
        std::vector<uint64_t>& serials = it->second;
        serials.erase(std::find(serials.begin(), serials.end(), serial));
        if (serials.empty()) byCallBandMode_.erase(it);
    }
    Decrement(prefixCount_, record.prefix);
    if (!record.stateProv.empty()) Decrement(stateProvCountByCall_, record.call);

    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    serials_.erase(serials_.begin() + static_cast<std::ptrdiff_t>(index));
}

const CInfo& QsoLog::At(size_t index) const {
    if (index >= records_.size()) throw std::invalid_argument("QSO index outside the log");
    return records_[index];
}

void QsoLog::Clear() {
    records_.clear();
    records_.shrink_to_fit();
    serials_.clear();
    serials_.shrink_to_fit();
    byCallBandMode_.clear();
    prefixCount_.clear();
    stateProvCountByCall_.clear();
}

bool QsoLog::HasCallBandMode(const std::string& call, const std::string& band, const std::string& mode) const {
    return byCallBandMode_.count(CallBandMode{call, band, mode}) != 0;
}

bool QsoLog::HasPrefix(const std::string& prefix) const { return prefixCount_.count(prefix) != 0; }

bool QsoLog::HasStateProvForCall(const std::string& call) const {
    return stateProvCountByCall_.count(call) != 0;
}

size_t QsoLog::Find(const std::string& call, const std::string& band, const std::string& mode,
                    const COleDateTime& time) const {
    auto it = byCallBandMode_.find(CallBandMode{call, band, mode});
    if (it == byCallBandMode_.end()) return npos;
    for (uint64_t serial : it->second) {
        size_t position = PositionOf(serial);
        if (records_[position].time.SameTime(time)) return position;
    }
    return npos;
}

size_t QsoLog::PositionOf(uint64_t serial) const {
    return static_cast<size_t>(std::lower_bound(serials_.begin(), serials_.end(), serial) - serials_.begin());
}

void QsoLog::Decrement(std::unordered_map<std::string, int>& counts, const std::string& key) {
    auto it = counts.find(key);
    if (it != counts.end() && --it->second == 0) counts.erase(it);
}
