#include "engine/qso_log.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace {

constexpr const char* kOutside = "QSO index outside the log";

// A time the rates can measure: valid and within the date range. The host passes the value by pointer,
// so a valid status may come with a day count that is no date at all (NaN, 1e300).
bool IsRateTime(const COleDateTime& t) {
    return t.HasDate();
}

}  // namespace

double QsoLog::LinearDays(double dt) {
    if (dt >= 0)
        return dt;
    double whole = std::ceil(dt);
    return whole - (dt - whole);
}

// The number of a text in a table of names, given in the order the log first meets them.
uint32_t QsoLog::Intern(TextIndex<uint32_t>& ids, std::vector<std::string>& names, const std::string& text) {
    bool added = false;
    uint32_t& id = ids.Insert(text, &added);
    if (added) {
        id = static_cast<uint32_t>(names.size());
        names.push_back(text);
    }
    return id;
}

int QsoLog::BandId(const std::string& band) const {
    const uint32_t* id = bands_.Find(band);
    return id ? static_cast<int>(*id) : -1;
}

bool QsoLog::Append(CInfo record) {
    Stage() = std::move(record);
    return Commit();
}

CInfo& QsoLog::Stage() {
    if (staged_)
        records_.pop_back();
    records_.emplace_back();
    staged_ = true;
    return records_.back();
}

void QsoLog::Discard() {
    if (staged_)
        records_.pop_back();
    staged_ = false;
}

bool QsoLog::Commit() {
    if (!staged_)
        throw std::logic_error("no record to log");
    staged_ = false;
    const CInfo& record = records_.back();
    Tally t;
    t.band = Intern(bands_, bandNames_, record.band);
    t.stateProv = Intern(stateProvs_, stateProvNames_, record.stateProv);
    bool added = false;
    PrefixEntry& prefix = prefixes_.Insert(record.prefix, &added);
    if (added) {
        prefix.id = static_cast<uint32_t>(prefixNames_.size());
        prefixNames_.push_back(record.prefix);
    }
    ++prefix.records;
    t.prefix = prefix.id;
    t.dupe = record.dupe;
    t.hasCall = !record.call.empty();
    t.counted = record.notCounted == 0 && record.reserved == 0;
    t.rateTime = IsRateTime(record.time);
    t.days = t.rateTime ? LinearDays(record.time.m_dt) : 0;

    const uint64_t serial = nextSerial_++;
    CallEntry& call = calls_.Insert(record.call, &added);
    if (added) {
        // Lists are reused, with the room they had, after a removal or a clear.
        if (!freeCallLists_.empty()) {
            call.list = freeCallLists_.back();
            freeCallLists_.pop_back();
        } else if (callListsInUse_ < callLists_.size()) {
            call.list = static_cast<uint32_t>(callListsInUse_++);
        } else {
            call.list = static_cast<uint32_t>(callLists_.size());
            callLists_.emplace_back();
            ++callListsInUse_;
        }
        callLists_[call.list].clear();
    }
    const bool bandBefore = !added && CallHasBand(call, static_cast<int>(t.band), true);
    call.bandMask |= BandBit(t.band);
    if (record.OccupiesBand())
        call.occupiedMask |= BandBit(t.band);
    if (!record.stateProv.empty())
        ++call.stateProvRecords;
    callLists_[call.list].push_back(serial);

    tallies_.push_back(t);
    serials_.push_back(serial);
    return bandBefore;
}

void QsoLog::RemoveAt(size_t index) {
    CheckIndex(index);
    const CInfo& record = records_[index];
    const uint64_t serial = serials_[index];

    CallEntry* call = calls_.Find(record.call);
    if (call != nullptr) {
        std::vector<uint64_t>& list = callLists_[call->list];
        list.erase(std::find(list.begin(), list.end(), serial));
        if (list.empty()) {
            freeCallLists_.push_back(call->list);
            calls_.Erase(record.call);
        } else {
            if (!record.stateProv.empty())
                --call->stateProvRecords;
            call->bandMask = 0;
            call->occupiedMask = 0;
            for (uint64_t s : list) {
                const size_t position = PositionOf(s);
                call->bandMask |= BandBit(tallies_[position].band);
                if (records_[position].OccupiesBand())
                    call->occupiedMask |= BandBit(tallies_[position].band);
            }
        }
    }
    PrefixEntry* prefix = prefixes_.Find(record.prefix);
    if (prefix != nullptr)
        --prefix->records;

    const auto at = static_cast<std::ptrdiff_t>(index);
    records_.erase(records_.begin() + at);
    tallies_.erase(tallies_.begin() + at);
    serials_.erase(serials_.begin() + at);
}

const CInfo& QsoLog::At(size_t index) const {
    CheckIndex(index);
    return records_[index];
}

void QsoLog::Clear() {
    // The room is kept for a log rebuilt to about the size it had, and let go when it was far larger.
    const bool shrink = records_.capacity() > 8 * records_.size() + 4096;
    staged_ = false;
    records_.clear();
    tallies_.clear();
    serials_.clear();
    if (shrink) {
        records_.shrink_to_fit();
        tallies_.shrink_to_fit();
        serials_.shrink_to_fit();
    }
    if (callLists_.size() > 8 * callListsInUse_ + 4096) callLists_.resize(callListsInUse_);
    calls_.Clear();
    callListsInUse_ = 0;
    freeCallLists_.clear();
    prefixes_.Clear();
    prefixNames_.clear();
    bands_.Clear();
    bandNames_.clear();
    stateProvs_.Clear();
    stateProvNames_.clear();
}

bool QsoLog::CallHasBand(const CallEntry& entry, int band, bool occupying) const {
    const uint32_t mask = occupying ? entry.occupiedMask : entry.bandMask;
    if (band < 0 || (mask & BandBit(static_cast<uint32_t>(band))) == 0)
        return false;
    if (band < 31)
        return true;
    // Bands from the 32nd on share a bit: look at the records themselves.
    for (uint64_t serial : callLists_[entry.list]) {
        const size_t position = PositionOf(serial);
        if (tallies_[position].band == static_cast<uint32_t>(band) &&
            (!occupying || records_[position].OccupiesBand()))
            return true;
    }
    return false;
}

bool QsoLog::HasCallBand(const std::string& call, const std::string& band) const {
    const CallEntry* entry = calls_.Find(call);
    return entry != nullptr && CallHasBand(*entry, BandId(band), true);
}

std::vector<size_t> QsoLog::IndexesOfCallBand(const std::string& call, const std::string& band) const {
    std::vector<size_t> indexes;
    const CallEntry* entry = calls_.Find(call);
    const int id = BandId(band);
    if (entry == nullptr || !CallHasBand(*entry, id, false))
        return indexes;
    for (uint64_t serial : callLists_[entry->list]) {
        const size_t position = PositionOf(serial);
        if (tallies_[position].band == static_cast<uint32_t>(id))
            indexes.push_back(position);
    }
    return indexes;
}

QsoLog::CallFacts QsoLog::FactsOf(const std::string& call, const std::string& band) const {
    CallFacts facts;
    const CallEntry* entry = calls_.Find(call);
    if (entry != nullptr) {
        facts.onBand = CallHasBand(*entry, BandId(band), true);
        facts.stateProvKnown = entry->stateProvRecords > 0;
    }
    return facts;
}

bool QsoLog::HasPrefix(const std::string& prefix) const {
    const PrefixEntry* entry = prefixes_.Find(prefix);
    return entry != nullptr && entry->records > 0;
}

bool QsoLog::HasStateProvForCall(const std::string& call) const {
    const CallEntry* entry = calls_.Find(call);
    return entry != nullptr && entry->stateProvRecords > 0;
}

size_t QsoLog::Find(const std::string& call, const std::string& band, const std::string& mode,
                    const COleDateTime& time) const {
    return FirstOnBand(call, band, &mode, &time);
}

size_t QsoLog::FirstOnBand(const std::string& call, const std::string& band, const std::string* mode,
                           const COleDateTime* time) const {
    const CallEntry* entry = calls_.Find(call);
    const int id = BandId(band);
    if (entry == nullptr || !CallHasBand(*entry, id, false))
        return npos;
    for (uint64_t serial : callLists_[entry->list]) {
        const size_t position = PositionOf(serial);
        if (tallies_[position].band != static_cast<uint32_t>(id))
            continue;
        const CInfo& record = records_[position];
        if ((mode == nullptr || record.mode == *mode) && (time == nullptr || record.time.SameTime(*time)))
            return position;
    }
    return npos;
}

std::vector<size_t> QsoLog::IndexesOfCall(const std::string& call) const {
    std::vector<size_t> indexes;
    const CallEntry* entry = calls_.Find(call);
    if (entry == nullptr)
        return indexes;
    for (uint64_t serial : callLists_[entry->list])
        indexes.push_back(PositionOf(serial));
    return indexes;
}

void QsoLog::SetDupe(size_t index, bool dupe) {
    CheckIndex(index);
    CInfo& record = records_[index];
    record.dupe = dupe ? 1 : 0;
    record.notCounted = dupe || !record.OccupiesBand() ? 1 : 0;
    tallies_[index].dupe = record.dupe;
    tallies_[index].counted = record.notCounted == 0 && record.reserved == 0;
}

size_t QsoLog::PositionOf(uint64_t serial) const {
    return static_cast<size_t>(std::lower_bound(serials_.begin(), serials_.end(), serial) - serials_.begin());
}

IndexProbeCounts QsoLog::IndexProbes() const {
    IndexProbeCounts sum;
    sum += calls_.Probes();
    sum += prefixes_.Probes();
    sum += bands_.Probes();
    sum += stateProvs_.Probes();
    return sum;
}

void QsoLog::CheckIndex(size_t index) const {
    if (index >= Count())
        throw std::invalid_argument(kOutside);
}
