#include "scoring/score_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/text.h"
#include "engine/contest_rules.h"
#include "engine/engine.h"

namespace {

constexpr size_t kBandPadWidth = 20;
constexpr double kHalfSecond = 0.5 / 86400.0;
constexpr int64_t kHourWindow = 60;
constexpr int64_t kTenMinuteWindow = 10;

std::string PadBand(const std::string& band) {
    return band.size() >= kBandPadWidth ? band : std::string(kBandPadWidth - band.size(), '0') + band;
}

// Distinct texts in the order the report meets them: band by band in report order, and within a band in
// logging order. Each text keeps the first (row, record) place it was met at; sorting by it gives that order
// from a single pass over the log.
class FirstMet {
public:
    static constexpr uint64_t kNever = ~0ull;
    explicit FirstMet(size_t count) : first_(count, kNever) {}
    void Meet(size_t id, size_t row, size_t record) {
        const uint64_t place = (static_cast<uint64_t>(row) << 40) | record;
        if (place < first_[id]) first_[id] = place;
    }
    bool Met(size_t id) const { return first_[id] != kNever; }
    // The ids met, in the order they were first met.
    std::vector<size_t> InOrder() const {
        std::vector<size_t> ids;
        for (size_t id = 0; id < first_.size(); ++id) {
            if (Met(id)) ids.push_back(id);
        }
        std::sort(ids.begin(), ids.end(), [this](size_t a, size_t b) { return first_[a] < first_[b]; });
        return ids;
    }

private:
    std::vector<uint64_t> first_;
};

}  // namespace

void OrderBandsForReport(std::vector<std::string>& bands) {
    for (size_t i = 0; i + 1 < bands.size(); ++i) {
        for (size_t j = i + 1; j < bands.size(); ++j) {
            if (PadBand(bands[i]) < PadBand(bands[j])) std::swap(bands[i], bands[j]);
        }
    }
}

int64_t SpanMinutes(double days) {
    double rounded = days < 0 ? days - kHalfSecond : days + kHalfSecond;
    return static_cast<int64_t>(rounded * 1440.0);
}

ScoreModel ComputeScoreModel(const Engine& engine) {
    engine.AssertLocked();
    ScoreModel model;
    std::vector<std::string> bandsSeen = engine.bandsSeen;
    OrderBandsForReport(bandsSeen);
    model.totals.badQsos = static_cast<int32_t>(engine.badQsoFile.BadQsoCount());
    const QsoLog& log = engine.qsoLog;
    const std::vector<QsoLog::Tally>& tallies = log.Tallies();

    // The report rows of each band the log knows: none for a band that is not in bandsSeen, whose records
    // are never counted.
    std::vector<std::vector<size_t>> rowsOfBand(log.BandCount());
    for (size_t row = 0; row < bandsSeen.size(); ++row) {
        BandStats stats;
        stats.band = bandsSeen[row];
        model.bands.push_back(stats);
        for (uint32_t band = 0; band < log.BandCount(); ++band) {
            if (log.BandName(band) == stats.band) rowsOfBand[band].push_back(row);
        }
    }
    // What each prefix is, and the multiplier each state/province spelling counts as.
    std::vector<char> isUsa(log.PrefixCount()), isCanada(log.PrefixCount());
    for (uint32_t p = 0; p < log.PrefixCount(); ++p) {
        isUsa[p] = log.PrefixName(p) == rules::kUsaPrefix;
        isCanada[p] = log.PrefixName(p) == rules::kCanadaPrefix;
    }
    std::vector<std::string> multiplierStates;
    std::vector<size_t> multiplierOfState(log.StateProvCount(), std::string::npos);
    for (uint32_t s = 0; s < log.StateProvCount(); ++s) {
        // AK and HI stay the accepted exchange of their QSO but are no multiplier.
        if (!rules::IsStateProvMultiplier(log.StateProvName(s))) continue;
        const std::string canonical = rules::CanonicalStateProv(log.StateProvName(s));
        auto it = std::find(multiplierStates.begin(), multiplierStates.end(), canonical);
        multiplierOfState[s] = static_cast<size_t>(it - multiplierStates.begin());
        if (it == multiplierStates.end()) multiplierStates.push_back(canonical);
    }

    const bool ratesCounted = engine.cabrilloRequested == 0 && !tallies.empty();
    const bool referenceIsTime = !tallies.empty() && tallies.back().rateTime;
    const double referenceDays = referenceIsTime ? tallies.back().days : 0;

    const int32_t points = Contest().pointsPerQso;
    FirstMet prefixesMet(log.PrefixCount());
    FirstMet statesMet(multiplierStates.size());
    for (size_t i = 0; i < tallies.size(); ++i) {
        const QsoLog::Tally& q = tallies[i];
        if (!q.hasCall) continue;
        for (size_t row : rowsOfBand[q.band]) {
            BandStats& stats = model.bands[row];
            stats.dupes += q.dupe;
            if (!q.counted) continue;
            ++stats.qsos;
            stats.points += points;
            prefixesMet.Meet(q.prefix, row, i);
            const size_t state = multiplierOfState[q.stateProv];
            if (state != std::string::npos) statesMet.Meet(state, row, i);
            if (isUsa[q.prefix]) ++stats.kQsos;
            if (isCanada[q.prefix]) ++stats.veQsos;
            // A QSO without a valid time is in no rate window.
            if (ratesCounted && referenceIsTime && q.rateTime) {
                int64_t minutes = SpanMinutes(referenceDays - q.days);
                if (minutes < kHourWindow) {
                    ++model.rates.hourQsos;
                    model.rates.hourPoints += points;
                }
                if (minutes < kTenMinuteWindow) {
                    ++model.rates.tenQsos;
                    model.rates.tenPoints += points;
                }
            }
        }
    }

    // Every worked prefix is listed, but the USA and Canada count by their states and provinces; "PEI" and
    // "PE" are one multiplier, listed under the code it counts as.
    ScoreTotals& t = model.totals;
    for (size_t p : prefixesMet.InOrder()) {
        model.workedDxcc.push_back(log.PrefixName(static_cast<uint32_t>(p)));
        if (rules::IsDxccMultiplier(model.workedDxcc.back())) ++t.dxcc;
    }
    for (size_t s : statesMet.InOrder()) model.workedStateProv.push_back(multiplierStates[s]);
    t.stateProvCount = static_cast<int32_t>(model.workedStateProv.size());

    for (const BandStats& stats : model.bands) {
        t.qsos += stats.qsos;
        t.points += stats.points;
        t.kQsos += stats.kQsos;
        t.veQsos += stats.veQsos;
        t.dupes += stats.dupes;
    }
    // 32-bit as the report prints it: a huge log wraps.
    t.score = static_cast<int32_t>(
        static_cast<uint32_t>(Contest().Score(t.points, static_cast<long long>(t.dxcc) + t.stateProvCount)));
    return model;
}
