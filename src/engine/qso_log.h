#pragma once
// The engine's copy of the contest log: records in logging order, never reordered.
//
// Beside the records the log keeps indexes, so that the call check, the logging of a QSO and the status
// refresh answer in constant time however long the log grows, and a compact tally of each record, so that
// the score is counted from a few bytes per QSO. Every change goes through Append, RemoveAt, SetDupe and
// Clear, which keep them in step; each indexed question gives exactly the answer of a scan from the first
// record.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/cinfo.h"
#include "engine/text_index.h"

class QsoLog {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // What the score model reads of a record. Bands, prefixes and states/provinces are numbered in the
    // order the log first met them (BandName, PrefixName, StateProvName give the texts back).
    struct Tally {
        double days = 0;   // the time as a straight day count (see LinearDays), when rateTime
        int32_t dupe = 0;  // the record's dupe flag
        uint32_t prefix = 0;
        uint32_t band = 0;
        uint32_t stateProv = 0;
        bool hasCall = false;   // the call is not empty
        bool counted = false;   // notCounted and reserved are 0
        bool rateTime = false;  // the time is valid and within the date range
    };

    // Appends a record; true when the log already held a record with the same call on the same band that
    // occupies it (CInfo::OccupiesBand): the new record is a dupe.
    bool Append(CInfo record);
    // The same in two steps, so a record is built where it will stay: Stage gives an empty record to fill,
    // which is no part of the log yet; Commit logs it (answering as Append) or Discard drops it. Nothing
    // else may change the log in between.
    CInfo& Stage();
    bool Commit();
    void Discard();
    // Throws std::invalid_argument when the index is outside the log.
    void RemoveAt(size_t index);
    const CInfo& At(size_t index) const;
    // Empties the log and its indexes; the room the records took is kept for the rebuild that follows.
    void Clear();
    size_t Count() const { return records_.size() - (staged_ ? 1 : 0); }
    bool Empty() const { return Count() == 0; }

    std::vector<CInfo>::const_iterator begin() const { return records_.begin(); }
    std::vector<CInfo>::const_iterator end() const { return records_.end() - (staged_ ? 1 : 0); }

    // Some record with this call occupies this band, in any mode (exact comparison): the dupe test.
    bool HasCallBand(const std::string& call, const std::string& band) const;
    // Indexes of the records with this call on this band, in logging order.
    std::vector<size_t> IndexesOfCallBand(const std::string& call, const std::string& band) const;
    // Both questions of the call check in one lookup of the call.
    struct CallFacts {
        bool onBand = false;          // HasCallBand
        bool stateProvKnown = false;  // HasStateProvForCall
    };
    CallFacts FactsOf(const std::string& call, const std::string& band) const;
    // Some record has this DXCC prefix.
    bool HasPrefix(const std::string& prefix) const;
    // Some record with this call has a state/province: that W/VE station's multiplier is known.
    bool HasStateProvForCall(const std::string& call) const;
    // Index of the first record with this call, band and mode whose time is the same QSO time
    // (COleDateTime::SameTime), or npos.
    size_t Find(const std::string& call, const std::string& band, const std::string& mode,
                const COleDateTime& time) const;
    // Indexes of the records with this call, in logging order.
    std::vector<size_t> IndexesOfCall(const std::string& call) const;

    // Marks record `index` as a dupe or not; it scores nothing while it is a dupe, has an unacceptable
    // exchange or lies outside the period. Throws std::invalid_argument when the index is outside the log.
    void SetDupe(size_t index, bool dupe);

    // One tally per record, in logging order.
    const std::vector<Tally>& Tallies() const { return tallies_; }
    const std::string& BandName(uint32_t band) const { return bandNames_[band]; }
    size_t BandCount() const { return bandNames_.size(); }
    const std::string& PrefixName(uint32_t prefix) const { return prefixNames_[prefix]; }
    size_t PrefixCount() const { return prefixNames_.size(); }
    const std::string& StateProvName(uint32_t stateProv) const { return stateProvNames_[stateProv]; }
    size_t StateProvCount() const { return stateProvNames_.size(); }

    // The probes of all the log's indexes so far.
    IndexProbeCounts IndexProbes() const;

    // A date-time as a straight line of days: before 30 December 1899 the fraction of a date-time runs
    // forwards from the negative day, so -1.25 is 06:00 on 29 December, that is -0.75 days.
    static double LinearDays(double dt);

private:
    struct CallEntry {
        uint32_t bandMask = 0;      // bit b: a record on band b (bands from 31 on share the last bit)
        uint32_t occupiedMask = 0;  // bit b: a record that occupies band b
        uint32_t stateProvRecords = 0;
        uint32_t list = 0;  // its records' serials in callLists_
    };
    struct PrefixEntry {
        uint32_t id = 0;
        uint32_t records = 0;
    };

    static uint32_t BandBit(uint32_t band) { return 1u << (band < 31 ? band : 31); }
    static uint32_t Intern(TextIndex<uint32_t>& ids, std::vector<std::string>& names,
                           const std::string& text);
    int BandId(const std::string& band) const;
    bool CallHasBand(const CallEntry& entry, int band, bool occupying) const;
    // The first record of the call on the band, and of this mode and time where they are given.
    size_t FirstOnBand(const std::string& call, const std::string& band, const std::string* mode,
                       const COleDateTime* time) const;
    size_t PositionOf(uint64_t serial) const;
    void CheckIndex(size_t index) const;

    std::vector<CInfo> records_;  // the staged record, if any, last
    bool staged_ = false;
    std::vector<Tally> tallies_;
    // Serial number of each record, parallel to records_ and rising with it, so that a serial's position
    // is a binary search away even after removals have moved the records.
    std::vector<uint64_t> serials_;
    uint64_t nextSerial_ = 0;

    TextIndex<CallEntry> calls_;
    std::vector<std::vector<uint64_t>> callLists_;  // serials of each call's records, in logging order
    size_t callListsInUse_ = 0;                     // lists from this one on are free since the last clear
    std::vector<uint32_t> freeCallLists_;
    TextIndex<PrefixEntry> prefixes_;
    std::vector<std::string> prefixNames_;
    TextIndex<uint32_t> bands_;
    std::vector<std::string> bandNames_;
    TextIndex<uint32_t> stateProvs_;
    std::vector<std::string> stateProvNames_;
};
