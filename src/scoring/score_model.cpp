#include "scoring/score_model.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>
#include <utility>

#include "common/text.h"
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
    explicit FirstMet(size_t count = 0) : first_(count, kNever) {}
    void Meet(size_t id, size_t row, size_t record) {
        if (id >= first_.size()) first_.resize(id + 1, kNever);
        const uint64_t place = (static_cast<uint64_t>(row) << 40) | record;
        if (place < first_[id]) first_[id] = place;
    }
    bool Met(size_t id) const { return first_[id] != kNever; }
    // The row an id was first met in.
    size_t RowOf(size_t id) const { return static_cast<size_t>(first_[id] >> 40); }
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

// The credit of each (prefix, counted exchange, band) of the log, asked of the contest's Credit rule once each:
// a QSO's credit depends on nothing else the log keeps, unless the contest's rule needs the worked call itself,
// which is then asked for every QSO. Multiplier keys are numbered as they are met.
class Credits {
public:
    struct Entry {
        int32_t points = 0;
        std::vector<uint32_t> keys;
    };
    Credits(const contest::Record& record, const Engine& engine)
        : record_(record), engine_(engine), log_(engine.qsoLog), perQso_(record.CreditNeedsCall()) {}

    const Entry& Of(size_t record, const QsoLog::Tally& q) {
        if (perQso_) {
            scratch_ = Make(record);
            return scratch_;
        }
        const uint64_t key = (static_cast<uint64_t>(q.prefix) << 42) | (static_cast<uint64_t>(q.stateProv) << 21) | q.band;
        auto [it, added] = index_.emplace(key, entries_.size());
        if (added) entries_.push_back(Make(record));
        return entries_[it->second];
    }
    const std::vector<contest::MultiplierKey>& Keys() const { return keys_; }

private:
    Entry Make(size_t record) {
        const CInfo& r = log_.At(record);
        const contest::Credit c = record_.CreditOf(
            {engine_.ownCall, engine_.ownPrefix, r.call, r.prefix, r.band, r.mode, r.time, r.stateProv});
        Entry e;
        e.points = c.points;
        for (const contest::MultiplierKey& key : c.keys) {
            auto [k, keyAdded] = keyIds_.emplace(key, keys_.size());
            if (keyAdded) keys_.push_back(key);
            e.keys.push_back(static_cast<uint32_t>(k->second));
        }
        return e;
    }

    const contest::Record& record_;
    const Engine& engine_;
    const QsoLog& log_;
    const bool perQso_;
    std::unordered_map<uint64_t, size_t> index_;
    std::vector<Entry> entries_;
    Entry scratch_;
    std::map<contest::MultiplierKey, size_t> keyIds_;
    std::vector<contest::MultiplierKey> keys_;
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
    // The countries whose QSOs the report counts apart (K and VE).
    const contest::Record& contest = engine.contest;
    const std::vector<contest::LocationCountry>& countries = contest.LocationCountries();
    std::vector<char> isFirst(log.PrefixCount()), isSecond(log.PrefixCount());
    for (uint32_t p = 0; p < log.PrefixCount(); ++p) {
        isFirst[p] = countries.size() > 0 && log.PrefixName(p) == countries[0].prefix;
        isSecond[p] = countries.size() > 1 && log.PrefixName(p) == countries[1].prefix;
    }
    Credits credits(contest, engine);
    const std::vector<contest::MultiplierKind>& kinds = contest.MultiplierKinds();

    const bool ratesCounted = engine.cabrilloRequested == 0 && !tallies.empty();
    const bool referenceIsTime = !tallies.empty() && tallies.back().rateTime;
    const double referenceDays = referenceIsTime ? tallies.back().days : 0;

    FirstMet prefixesMet(log.PrefixCount());
    // Each key's first place; a key of a per-band kind, each band's first place apart.
    std::vector<FirstMet> keysMet;
    for (size_t i = 0; i < tallies.size(); ++i) {
        const QsoLog::Tally& q = tallies[i];
        if (!q.hasCall) continue;
        for (size_t row : rowsOfBand[q.band]) {
            BandStats& stats = model.bands[row];
            stats.dupes += q.dupe;
            if (!q.counted) continue;
            const Credits::Entry& credit = credits.Of(i, q);
            const int32_t points = credit.points;
            ++stats.qsos;
            stats.points += points;
            prefixesMet.Meet(q.prefix, row, i);
            for (uint32_t key : credit.keys) {
                const size_t slot = kinds[credits.Keys()[key].kind].perBand ? row : 0;
                if (keysMet.size() <= slot) keysMet.resize(slot + 1);
                keysMet[slot].Meet(key, row, i);
            }
            if (isFirst[q.prefix]) ++stats.kQsos;
            if (isSecond[q.prefix]) ++stats.veQsos;
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

    // Every worked prefix is listed for the windows, whether it is a multiplier or not; the multipliers are
    // the keys the Credit rule gave, each once per contest or per band as its kind says, the locations listed
    // under the code they count as.
    ScoreTotals& t = model.totals;
    for (size_t p : prefixesMet.InOrder()) model.workedDxcc.push_back(log.PrefixName(static_cast<uint32_t>(p)));
    t.multipliers.assign(kinds.size(), 0);
    for (BandStats& stats : model.bands) stats.multipliers.assign(kinds.size(), 0);
    for (size_t slot = 0; slot < keysMet.size(); ++slot) {
        for (size_t key : keysMet[slot].InOrder()) {
            const contest::MultiplierKey& k = credits.Keys()[key];
            ++t.multipliers[k.kind];
            if (kinds[k.kind].perBand) {
                BandStats& band = model.bands[slot];
                ++band.multipliers[k.kind];
                const contest::MultiplierKind::Of of = kinds[k.kind].of;
                if (of == contest::MultiplierKind::Of::country) band.countries.push_back(k.code);
                if (of == contest::MultiplierKind::Of::location) band.locations.push_back(k.code);
                if (of == contest::MultiplierKind::Of::zone) band.zones.push_back(k.code);
            } else {
                // A multiplier counted once is the band's where it was first worked.
                ++model.bands[keysMet[slot].RowOf(key)].multipliers[k.kind];
            }
            switch (kinds[k.kind].of) {
                case contest::MultiplierKind::Of::location:
                    model.workedStateProv.push_back(k.code);
                    ++t.stateProvCount;
                    break;
                case contest::MultiplierKind::Of::country:
                    ++t.dxcc;
                    break;
                case contest::MultiplierKind::Of::zone:
                    ++t.zones;
                    break;
                case contest::MultiplierKind::Of::callPrefix:
                    break;
            }
        }
    }

    for (const BandStats& stats : model.bands) {
        t.qsos += stats.qsos;
        t.points += stats.points;
        t.kQsos += stats.kQsos;
        t.veQsos += stats.veQsos;
        t.dupes += stats.dupes;
    }
    // 32-bit as the report prints it: a huge log wraps.
    long long multipliers = 0;
    for (int32_t m : t.multipliers) multipliers += m;
    t.score = static_cast<int32_t>(static_cast<uint32_t>(contest.Score(t.points, multipliers)));
    return model;
}
