#include "scoring/score_model.h"

#include <cmath>
#include <unordered_set>
#include <utility>

#include "common/text.h"
#include "engine/bad_qso_file.h"
#include "engine/contest_rules.h"
#include "engine/engine.h"
#include "engine/text_file.h"
#include "platform/file_io.h"

namespace {

constexpr size_t kBandPadWidth = 20;
constexpr double kHalfSecond = 0.5 / 86400.0;
constexpr int64_t kHourWindow = 60;
constexpr int64_t kTenMinuteWindow = 10;

std::string PadBand(const std::string& band) {
    return band.size() >= kBandPadWidth ? band : std::string(kBandPadWidth - band.size(), '0') + band;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The day count as a straight line: before 30 December 1899 the fraction of a date-time runs forwards
// from the negative day, so -1.25 is 06:00 on 29 December, that is -0.75 days.
double LinearDays(double dt) {
    if (dt >= 0) return dt;
    double whole = std::ceil(dt);
    return whole - (dt - whole);
}

// A time the rates can measure: valid and within the date range. The host passes the value by pointer,
// so a valid status may come with a day count that is no date at all (NaN, 1e300).
bool IsRateTime(const COleDateTime& t) {
    DateTimeFields fields;
    return t.GetFields(fields);
}

// Distinct texts in the order first met.
class DistinctList {
public:
    explicit DistinctList(std::vector<std::string>& ordered) : ordered_(ordered) { ordered_.clear(); }
    bool Add(const std::string& value) {
        if (!seen_.insert(value).second) return false;
        ordered_.push_back(value);
        return true;
    }

private:
    std::vector<std::string>& ordered_;
    std::unordered_set<std::string> seen_;
};

}  // namespace

void OrderBandsForReport(std::vector<std::string>& bands) {
    for (size_t i = 0; i + 1 < bands.size(); ++i) {
        for (size_t j = i + 1; j < bands.size(); ++j) {
            if (PadBand(bands[i]) < PadBand(bands[j])) std::swap(bands[i], bands[j]);
        }
    }
}

int32_t CountBadQsos(const std::string& fileName) {
    std::string content;
    if (platform::ReadWholeFile(fileName, kTextFileLimit, content) != platform::ReadResult::read) return 0;
    int32_t count = 0;
    size_t start = 0;
    bool firstLine = true;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string createHeader = badqso::kCreateHeader;
        bool header = firstLine && line.compare(0, createHeader.size(), createHeader) == 0;
        firstLine = false;
        // The header and the dupe lines are not bad QSOs, nor is a blank line. The dupe message is matched
        // at the end of the line, where it is written, so a call such as UA3UBN or an exchange cannot hide
        // a bad QSO.
        if (header || text::Trim(line).empty() || EndsWith(text::TrimRight(line), badqso::kDupe)) continue;
        ++count;
    }
    return count;
}

int64_t SpanMinutes(double days) {
    double rounded = days < 0 ? days - kHalfSecond : days + kHalfSecond;
    return static_cast<int64_t>(rounded * 1440.0);
}

ScoreModel ComputeScoreModel(Engine& engine) {
    ScoreModel model;
    OrderBandsForReport(engine.bandsSeen);
    model.totals.badQsos = CountBadQsos(engine.badQsoFileName);

    DistinctList prefixes(engine.workedDxcc);
    DistinctList statesProvs(engine.workedStateProv);

    const bool ratesCounted = engine.cabrilloRequested == 0 && !engine.qsoLog.Empty();
    const COleDateTime rateReference =
        engine.qsoLog.Empty() ? COleDateTime() : engine.qsoLog.At(engine.qsoLog.Count() - 1).time;
    const bool referenceIsTime = IsRateTime(rateReference);

    for (const std::string& band : engine.bandsSeen) {
        BandStats stats;
        stats.band = band;
        for (const CInfo& q : engine.qsoLog) {
            if (q.band != band || q.call.empty()) continue;
            stats.dupes += q.dupe;
            if (q.notCounted != 0 || q.reserved != 0) continue;
            ++stats.qsos;
            ++stats.points;
            // Every worked prefix is listed, but the USA and Canada count by their states and provinces.
            if (prefixes.Add(q.prefix) && rules::IsDxccMultiplier(q.prefix)) ++model.totals.dxcc;
            // "PEI" and "PE" are one multiplier, listed under the code it counts as.
            if (!q.stateProv.empty() && statesProvs.Add(rules::CanonicalStateProv(q.stateProv))) {
                ++model.totals.stateProvCount;
            }
            if (q.prefix == rules::kUsaPrefix) ++stats.kQsos;
            if (q.prefix == rules::kCanadaPrefix) ++stats.veQsos;
            // A QSO without a valid time is in no rate window.
            if (ratesCounted && referenceIsTime && IsRateTime(q.time)) {
                int64_t minutes = SpanMinutes(LinearDays(rateReference.m_dt) - LinearDays(q.time.m_dt));
                if (minutes < kHourWindow) {
                    ++model.rates.hourQsos;
                    ++model.rates.hourPoints;
                }
                if (minutes < kTenMinuteWindow) {
                    ++model.rates.tenQsos;
                    ++model.rates.tenPoints;
                }
            }
        }
        ScoreTotals& t = model.totals;
        t.qsos += stats.qsos;
        t.points += stats.points;
        t.kQsos += stats.kQsos;
        t.veQsos += stats.veQsos;
        t.dupes += stats.dupes;
        model.bands.push_back(stats);
    }

    ScoreTotals& t = model.totals;
    // 32-bit arithmetic as the report prints it; computed unsigned so a huge log wraps instead of being
    // undefined behaviour.
    t.score = static_cast<int32_t>(static_cast<uint32_t>(t.points) *
                                   (static_cast<uint32_t>(t.dxcc) + static_cast<uint32_t>(t.stateProvCount)));
    engine.claimedScore = t.score;
    return model;
}
