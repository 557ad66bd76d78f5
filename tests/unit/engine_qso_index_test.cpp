// The log's indexes against the scans they replace: after every append, removal and clear, each indexed
// question must give the answer of a scan from the first record.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "engine/qso_log.h"
#include "engine/text_index.h"

namespace {

const char* const kCalls[] = {"K1AB", "K1ABC", "k1ab", "DL1ABC", ""};
const char* const kBands[] = {"20m", "20M", "40m"};
const char* const kModes[] = {"RTTY", "rtty"};
const char* const kPrefixes[] = {"K", "VE", "DL", ""};
const char* const kStates[] = {"", "NY", "ON"};

COleDateTime TimeFor(int choice) {
    switch (choice) {
        case 0: return COleDateTime::Null();
        case 1: return COleDateTime(0.0, COleDateTime::invalid);
        default: return COleDateTime(43834.0 + choice / 1440.0, COleDateTime::valid);
    }
}

std::vector<size_t> ScanCallBand(const QsoLog& log, const std::string& c, const std::string& b) {
    std::vector<size_t> indexes;
    for (size_t i = 0; i < log.Count(); ++i) {
        if (log.At(i).call == c && log.At(i).band == b) indexes.push_back(i);
    }
    return indexes;
}

// The band is occupied by a record that may count: not one with a bad exchange or outside the period.
bool ScanOccupied(const QsoLog& log, const std::vector<size_t>& indexes) {
    for (size_t i : indexes) {
        if (log.At(i).OccupiesBand()) return true;
    }
    return false;
}

size_t ScanFind(const QsoLog& log, const std::string& c, const std::string& b, const std::string& m,
                const COleDateTime& t) {
    for (size_t i = 0; i < log.Count(); ++i) {
        const CInfo& r = log.At(i);
        if (r.call == c && r.band == b && r.mode == m && r.time.SameTime(t)) return i;
    }
    return QsoLog::npos;
}

void ExpectIndexesMatchScans(const QsoLog& log) {
    for (const char* call : kCalls) {
        bool stateKnown = false;
        for (const CInfo& r : log) stateKnown = stateKnown || (r.call == call && !r.stateProv.empty());
        ASSERT_EQ(log.HasStateProvForCall(call), stateKnown) << call;
        for (const char* band : kBands) {
            const std::vector<size_t> onBand = ScanCallBand(log, call, band);
            const bool occupied = ScanOccupied(log, onBand);
            ASSERT_EQ(log.IndexesOfCallBand(call, band), onBand) << call << " " << band;
            ASSERT_EQ(log.HasCallBand(call, band), occupied);
            ASSERT_EQ(log.FactsOf(call, band).onBand, occupied);
            ASSERT_EQ(log.FactsOf(call, band).stateProvKnown, stateKnown);
            for (const char* mode : kModes) {
                for (int t = 0; t < 5; ++t) {
                    ASSERT_EQ(log.Find(call, band, mode, TimeFor(t)), ScanFind(log, call, band, mode, TimeFor(t)))
                        << call << " " << band << " " << mode << " time " << t;
                }
            }
        }
    }
    for (const char* prefix : kPrefixes) {
        bool found = false;
        for (const CInfo& r : log) found = found || r.prefix == prefix;
        ASSERT_EQ(log.HasPrefix(prefix), found) << prefix;
    }
}

TEST(QsoLogIndex, AnswersAsTheScansDoThroughAppendsRemovalsAndClears) {
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        QsoLog log;
        for (int step = 0; step < 600; ++step) {
            int op = pick(100);
            if (op < 60 || log.Empty()) {
                CInfo r;
                r.call = kCalls[pick(5)];
                r.band = kBands[pick(3)];
                r.mode = kModes[pick(2)];
                r.prefix = kPrefixes[pick(4)];
                r.stateProv = kStates[pick(3)];
                r.time = TimeFor(pick(5));
                r.badQso = pick(4) == 0;
                r.outsidePeriod = pick(6) == 0;
                const bool occupied = ScanOccupied(log, ScanCallBand(log, r.call, r.band));
                ASSERT_EQ(log.Append(r), occupied);
            } else if (op < 98) {
                // Remove the way RemoveData0 does: the first record of a key, or any record by position.
                size_t index = static_cast<size_t>(pick(static_cast<int>(log.Count())));
                if (op % 2 == 0) {
                    const CInfo r = log.At(index);
                    index = log.Find(r.call, r.band, r.mode, r.time);
                    if (index == QsoLog::npos) index = 0;  // an invalid time finds nothing
                }
                log.RemoveAt(index);
            } else {
                log.Clear();
            }
            ExpectIndexesMatchScans(log);
            if (HasFatalFailure()) return;
        }
    }
}

// From the 32nd band on, bands share the last bit of a call's band mask: the answers for them must still be
// those of the records.
TEST(QsoLogIndex, BandsPastTheThirtyFirstShareABitAndAnswerAsTheScans) {
    QsoLog log;
    auto add = [&log](const char* call, int band, bool bad) {
        CInfo r;
        r.call = call;
        r.band = "b" + std::to_string(band);
        r.mode = "RTTY";
        r.badQso = bad;
        log.Append(r);
    };
    for (int band = 0; band < 40; ++band) add("DL1ABC", band, false);
    add("K1AB", 33, true);  // on a band past the 31st, but occupying none
    add("K1AB", 35, false);
    for (int round = 0; round < 2; ++round) {
        for (int band = 0; band < 40; ++band) {
            const std::string name = "b" + std::to_string(band);
            const std::vector<size_t> onBand = ScanCallBand(log, "K1AB", name);
            EXPECT_EQ(!onBand.empty(), band == 33 || (round == 0 && band == 35)) << name;
            EXPECT_EQ(log.IndexesOfCallBand("K1AB", name), onBand) << name;
            EXPECT_EQ(log.HasCallBand("K1AB", name), round == 0 && band == 35) << name;
            EXPECT_EQ(log.FactsOf("K1AB", name).onBand, round == 0 && band == 35) << name;
        }
        log.RemoveAt(log.Count() - 1);  // K1AB's record on b35
    }
}

TEST(QsoLogIndex, FindGivesTheFirstOfEqualRecords) {
    QsoLog log;
    CInfo r;
    r.call = "K1AB";
    r.band = "20m";
    r.mode = "RTTY";
    r.time = TimeFor(3);
    for (const char* aux : {"first", "second", "third"}) {
        r.aux = aux;
        log.Append(r);
    }
    log.RemoveAt(log.Find("K1AB", "20m", "RTTY", TimeFor(3)));
    EXPECT_EQ(log.At(log.Find("K1AB", "20m", "RTTY", TimeFor(3))).aux, "second");
    log.RemoveAt(1);
    EXPECT_EQ(log.At(log.Find("K1AB", "20m", "RTTY", TimeFor(3))).aux, "second");
    log.RemoveAt(0);
    EXPECT_EQ(log.Find("K1AB", "20m", "RTTY", TimeFor(3)), QsoLog::npos);
    EXPECT_FALSE(log.HasCallBand("K1AB", "20m"));
}

TEST(TextIndex, AnswersAsAMapDoesThroughInsertsAndErasures) {
    // Many keys, short and long (past the slot's own room), so runs of probes wrap and erasures move slots.
    std::mt19937 random(7);
    TextIndex<int> index;
    std::map<std::string, int> reference;
    auto key = [&] {
        const unsigned n = random() % 3000;
        return n % 7 == 0 ? "A-LONG-KEY-OF-MORE-THAN-FIFTEEN-" + std::to_string(n) : std::to_string(n);
    };
    for (int step = 0; step < 20000; ++step) {
        const std::string k = key();
        if (random() % 3 == 0) {
            index.Erase(k);
            reference.erase(k);
        } else {
            bool added = false;
            index.Insert(k, &added) = step;
            EXPECT_EQ(added, reference.count(k) == 0) << k;
            reference[k] = step;
        }
        if (step % 1000 == 0) {
            index.Clear();
            reference.clear();
        }
    }
    ASSERT_EQ(index.Count(), reference.size());
    for (unsigned n = 0; n < 3000; ++n) {
        const std::string longKey = "A-LONG-KEY-OF-MORE-THAN-FIFTEEN-" + std::to_string(n);
        for (const std::string& k : {std::to_string(n), longKey}) {
            const int* found = index.Find(k);
            auto it = reference.find(k);
            ASSERT_EQ(found != nullptr, it != reference.end()) << k;
            if (found) {
                EXPECT_EQ(*found, it->second) << k;
            }
        }
    }
}

}  // namespace
