#pragma once
// The engine's copy of the contest log: records in logging order, never reordered.
//
// Beside the records the log keeps indexes, so that the call check and the logging of a QSO answer in
// constant time however long the log grows. Every change goes through Append, RemoveAt and Clear, which
// keep the indexes in step; each indexed question gives exactly the answer of a scan from the first record.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/cinfo.h"

class QsoLog {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    void Append(const CInfo& record);
    // Throws std::invalid_argument when the index is outside the log.
    void RemoveAt(size_t index);
    const CInfo& At(size_t index) const;
    void Clear();
    size_t Count() const { return records_.size(); }
    bool Empty() const { return records_.empty(); }

    std::vector<CInfo>::const_iterator begin() const { return records_.begin(); }
    std::vector<CInfo>::const_iterator end() const { return records_.end(); }

    // Some record has this call on this band, in any mode (exact comparison): the dupe test.
    bool HasCallBand(const std::string& call, const std::string& band) const;
    // Index of the earliest record with this call on this band, or npos.
    size_t FirstOfCallBand(const std::string& call, const std::string& band) const;
    // Some record has this DXCC prefix.
    bool HasPrefix(const std::string& prefix) const;
    // Some record with this call has a state/province: that W/VE station's multiplier is known.
    bool HasStateProvForCall(const std::string& call) const;
    // Index of the first record with this call, band and mode whose time is the same QSO time
    // (COleDateTime::SameTime), or npos.
    size_t Find(const std::string& call, const std::string& band, const std::string& mode,
                const COleDateTime& time) const;

    // Marks record `index` as a dupe or not; it scores nothing while it is a dupe or has an unacceptable
    // state/province. Throws std::invalid_argument when the index is outside the log.
    void SetDupe(size_t index, bool dupe);

private:
    struct CallBand {
        std::string call, band;
        bool operator==(const CallBand& o) const { return call == o.call && band == o.band; }
    };
    struct CallBandHash {
        size_t operator()(const CallBand& k) const;
    };

    size_t PositionOf(uint64_t serial) const;
    static void Decrement(std::unordered_map<std::string, int>& counts, const std::string& key);

    std::vector<CInfo> records_;
    // Serial number of each record, parallel to records_ and rising with it, so that a serial's position
    // is a binary search away even after removals have moved the records.
    std::vector<uint64_t> serials_;
    uint64_t nextSerial_ = 0;
    // Serials of the records of each call and band, in logging order.
    std::unordered_map<CallBand, std::vector<uint64_t>, CallBandHash> byCallBand_;
    std::unordered_map<std::string, int> prefixCount_;
    std::unordered_map<std::string, int> stateProvCountByCall_;
};
