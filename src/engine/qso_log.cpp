#include "engine/qso_log.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

size_t QsoLog::CallBandHash::operator()(const CallBand& k) const {
    std::hash<std::string> h;
    size_t seed = h(k.call);
    seed ^= h(k.band) + 0x9e3779b9u + (seed << 6) + (seed >> 2);
    return seed;
}

void QsoLog::Append(const CInfo& record) {
    records_.push_back(record);
    uint64_t serial = nextSerial_++;
    serials_.push_back(serial);
    byCallBand_[CallBand{record.call, record.band}].push_back(serial);
    ++prefixCount_[record.prefix];
    if (!record.stateProv.empty()) ++stateProvCountByCall_[record.call];
}

void QsoLog::RemoveAt(size_t index) {
    if (index >= records_.size()) throw std::invalid_argument("QSO index outside the log");
    const CInfo& record = records_[index];
    uint64_t serial = serials_[index];

    auto it = byCallBand_.find(CallBand{record.call, record.band});
    if (it != byCallBand_.end()) {
        std::vector<uint64_t>& serials = it->second;
        serials.erase(std::find(serials.begin(), serials.end(), serial));
        if (serials.empty()) byCallBand_.erase(it);
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
    byCallBand_.clear();
    prefixCount_.clear();
    stateProvCountByCall_.clear();
}

bool QsoLog::HasCallBand(const std::string& call, const std::string& band) const {
    return byCallBand_.count(CallBand{call, band}) != 0;
}

size_t QsoLog::FirstOfCallBand(const std::string& call, const std::string& band) const {
    auto it = byCallBand_.find(CallBand{call, band});
    return it == byCallBand_.end() ? npos : PositionOf(it->second.front());
}

bool QsoLog::HasPrefix(const std::string& prefix) const { return prefixCount_.count(prefix) != 0; }

bool QsoLog::HasStateProvForCall(const std::string& call) const {
    return stateProvCountByCall_.count(call) != 0;
}

size_t QsoLog::Find(const std::string& call, const std::string& band, const std::string& mode,
                    const COleDateTime& time) const {
    auto it = byCallBand_.find(CallBand{call, band});
    if (it == byCallBand_.end()) return npos;
    for (uint64_t serial : it->second) {
        size_t position = PositionOf(serial);
        const CInfo& record = records_[position];
        if (record.mode == mode && record.time.SameTime(time)) return position;
    }
    return npos;
}

void QsoLog::SetDupe(size_t index, bool dupe) {
    if (index >= records_.size()) throw std::invalid_argument("QSO index outside the log");
    CInfo& record = records_[index];
    record.dupe = dupe ? 1 : 0;
    record.notCounted = dupe || record.badQso != 0 ? 1 : 0;
}

size_t QsoLog::PositionOf(uint64_t serial) const {
    return static_cast<size_t>(std::lower_bound(serials_.begin(), serials_.end(), serial) - serials_.begin());
}

void QsoLog::Decrement(std::unordered_map<std::string, int>& counts, const std::string& key) {
    auto it = counts.find(key);
    if (it != counts.end() && --it->second == 0) counts.erase(it);
}
