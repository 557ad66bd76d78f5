#include "ui/status_model.h"

#include <cmath>

#include "common/text.h"

const char* const kEmptyBandCell = "   -";

namespace {

constexpr const char* kSp1Macro = "<SP1>";
constexpr double kSp1Threshold = 300.0;  // hertz; a move of exactly this much sends nothing

// Titles; the second of each pair is code page 1251 (see status_model.h).
// Each starts with the contest's short name (its Cabrillo CONTEST text).
constexpr const char* kWorkedWithTitle = " %s worked with ";
constexpr const char* kWorkedWithTitleRu = " %s \xF0\xE0\xE1\xEE\xF2\xE0\xEB\xE8 \xF1 ";  // "worked with"
constexpr const char* kDxccTitle = "%s %s DXCC worked %i of %i";
constexpr const char* kDxccTitleRu =
    "%s %s DXCC \xEE\xF2\xF0\xE0\xE1\xEE\xF2\xE0\xED\xEE %i of %i";  // "worked"
constexpr const char* kStateTitle = "%s %s State/Province working %i";
constexpr const char* kStateTitleRu =
    "%s %s State/Province \xEE\xF2\xF0\xE0\xE1\xEE\xF2\xE0\xED\xEE %i";  // "worked"
// The zones on the band the host is on and on any band; off the bands only the latter.
constexpr const char* kZonesTitle = "%s %s zones %i on %s, %i in all";
constexpr const char* kZonesTitleRu =
    "%s %s \xE7\xEE\xED\xFB %i \xED\xE0 %s, \xE2\xF1\xE5\xE3\xEE %i";  // "zones", "on", "in all"
constexpr const char* kZonesOffBandTitle = "%s %s zones %i in all";
constexpr const char* kZonesOffBandTitleRu = "%s %s \xE7\xEE\xED\xFB \xE2\xF1\xE5\xE3\xEE %i";

// Code page 1251, Russian for "band change", "minutes to the end of the hour" and "changes".
constexpr BandChangeCaptions kBandChangeRu = {
    "\xD1\xEC\xE5\xED\xE0 \xE4\xE8\xE0\xEF\xE0\xE7\xEE\xED\xE0",
    "\xCC\xE8\xED\xF3\xF2 \xE4\xEE \xEA\xEE\xED\xF6\xE0 \xF7\xE0\xF1\xE0",
    "\xCF\xE5\xF0\xE5\xF5\xEE\xE4\xFB",
};

constexpr size_t kBandRowTexts = 5;  // label, mode, time, exchange, spare

// The heading of the band rows' exchange column: the state or province of a W/VE station and a DX station's
// serial number; where the contest counts zones, the zone every station sends and the W/VE station's QTH.
constexpr const char* kExchangeHeading = "State/Prov/NR";
constexpr const char* kZoneExchangeHeading = "Zone/QTH";

// Six rows of five texts, labelled by the contest's band table in its order (so row 0, the 160 m slot, says
// "80m" in the ARRL RTTY Roundup), every cell empty.
std::vector<std::vector<std::string>> EmptyBandRows(const contest::Record& contest) {
    std::vector<std::vector<std::string>> rows(kBandRowCount, std::vector<std::string>(kBandRowTexts, kEmptyBandCell));
    const CaseInsensitiveTextSet& bands = contest.AcceptedBands();
    for (size_t i = 0; i < kBandRowCount; ++i) rows[i][0] = i < bands.Count() ? bands.At(i) : "";
    return rows;
}

int CountAsInt(size_t n) { return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n); }

}  // namespace

const char* const kRowBands[kBandRowCount] = {"160m", "80m", "40m", "20m", "15m", "10m"};
const int kRowBandStartMhz[kBandRowCount] = {1, 3, 7, 14, 21, 28};

int BandIndexOfFrequency(double hz) {
    // Compared as doubles: a NaN or a huge answer from the host must not reach an integer conversion.
    const double mhz = std::trunc(hz / 1000000.0);
    for (size_t i = 0; i < kBandRowCount; ++i) {
        if (mhz == kRowBandStartMhz[i]) return static_cast<int>(i);
    }
    return -1;
}

std::string WidestStateTitle(const contest::Record& contest, bool russian, const std::string& contestStartYear) {
    return text::Format(russian ? kStateTitleRu : kStateTitle, contest.cabrilloContest, contestStartYear.c_str(),
                        static_cast<int>(StateCellCount(contest)));
}

std::string WidestDxccTitle(const contest::Record& contest, bool russian, const std::string& contestStartYear) {
    const int entities = contest.dxccEntityCount;  // as many worked as there are: the widest count
    return text::Format(russian ? kDxccTitleRu : kDxccTitle, contest.cabrilloContest, contestStartYear.c_str(),
                        entities, entities);
}

std::string WidestZonesTitle(const contest::Record& contest, bool russian, const std::string& contestStartYear) {
    const int zones = static_cast<int>(kZoneCellCount);
    return text::Format(russian ? kZonesTitleRu : kZonesTitle, contest.cabrilloContest, contestStartYear.c_str(), zones,
                        kRowBands[0], zones);
}

const BandChangeCaptions& BandChangeRussianCaptions() { return kBandChangeRu; }

int BandChangeLightLimit(const contest::Record& contest, const std::string& contestStartYear,
                         const std::string& categoryOperator, const std::string& categoryTransmitter) {
    const int year = text::LeadingInt(contestStartYear);
    if (text::Trim(categoryOperator).empty() || year <= 0) return contest.multiOpBandChangesPerHour;
    const contest::BandChangeRule* rule = contest.BandChangeRuleOf(year, categoryOperator, categoryTransmitter);
    return rule ? rule->perClockHour : -1;
}

StatusRefresh RefreshStatus(StatusModelState& state, HostLink& host, const StatusViewFields& views,
                            const OpenStatusWindows& openAtStart, const StateCellMarks* stateMarks,
                            const StatusSnapshotSource& takeSnapshot, std::atomic<int>& refreshPending) {
    StatusRefresh r;
    if (!host.Connected()) {
        refreshPending.store(1);
        return r;
    }
    r.hostConnected = true;

    // Windows the settings ask for and that do not exist, in a fixed order.
    r.open = openAtStart;
    if (views.viewDxcc == 1 && !r.open.dxcc) {
        r.windowsToReopen.push_back({StatusWindowKind::Dxcc, "setup_view_dxcc"});
        r.open.dxcc = true;
    }
    bool stateWindowIsNew = false;
    if (views.viewState == 1 && !r.open.state) {
        r.windowsToReopen.push_back({StatusWindowKind::State, "setup_view_state"});
        r.open.state = true;
        stateWindowIsNew = true;
    }
    if (views.viewDxccExtended == 1 && !r.open.dxccExtended) {
        r.windowsToReopen.push_back({StatusWindowKind::DxccExtended, "setup_view_dxcc_extended"});
        r.open.dxccExtended = true;
    }
    if (views.viewTimer == 1 && !r.open.bandChange) {
        r.windowsToReopen.push_back({StatusWindowKind::BandChange, nullptr});
        r.open.bandChange = true;
    }
    if (views.viewZones == 1 && !r.open.zones) {
        r.windowsToReopen.push_back({StatusWindowKind::Zones, "setup_view_zones"});
        r.open.zones = true;
    }

    state.currentCall = host.ReadCurrentCall(5);

    const StatusSnapshot snap = takeSnapshot(state.currentCall);
    r.russianTexts = snap.russianTexts;

    // Each row shows the last QSO with the call on its band; bad QSOs and dupes count like any other.
    state.bandRows = EmptyBandRows(*snap.contest);
    state.exchangeHeading = snap.contest->Counts(contest::MultiplierKind::Of::zone) ? kZoneExchangeHeading : kExchangeHeading;
    if (!state.currentCall.empty()) {
        for (const CInfo& record : snap.callRecords) {
            if (record.call != state.currentCall) continue;
            for (size_t row = 0; row < kBandRowCount; ++row) {
                if (record.band != kRowBands[row]) continue;
                std::vector<std::string>& cells = state.bandRows[row];
                cells[1] = record.mode;
                cells[2] = record.time.Format("%H:%M");
                cells[3] = snap.contest->SendsLocation(record.prefix) ? record.stateProv : record.exchRcvd;
            }
        }
    }
    const double hz = host.ReadFrequency();
    if (std::fabs(hz - state.lastSp1Frequency) > kSp1Threshold) {
        host.SendMacro(kSp1Macro);
        state.lastSp1Frequency = hz;
        r.sp1Sent = true;
    }
    state.currentBandIndex = BandIndexOfFrequency(hz);
    // Where the contest counts its multipliers per band, the windows show the current band's; off the bands,
    // and where they count once per contest, the contest's.
    const std::string band = state.currentBandIndex != -1 ? kRowBands[state.currentBandIndex] : "";
    state.workedDxcc = snap.WorkedDxccOn(band);
    const std::vector<std::string> workedStateProv = snap.WorkedStateProvOn(band);
    r.zonesOnBand = snap.WorkedZonesOn(band);
    r.zonesAnyBand = snap.WorkedZonesOn("");

    r.workedCount = state.currentBandIndex != -1 ? CountAsInt(state.workedDxcc.size()) : 0;
    const char* year = snap.contestStartYear.c_str();
    const char* contest = snap.contest->cabrilloContest;
    r.dxccTitle = text::Format(snap.russianTexts ? kDxccTitleRu : kDxccTitle, contest, year, r.workedCount,
                               snap.contest->dxccEntityCount);
    r.dxccWindowTitle = state.currentCall.empty()
        ? r.dxccTitle
        : text::Format(snap.russianTexts ? kWorkedWithTitleRu : kWorkedWithTitle, contest) + state.currentCall;
    r.stateTitle = text::Format(snap.russianTexts ? kStateTitleRu : kStateTitle, contest, year,
                                CountAsInt(workedStateProv.size()));

    if (r.open.state) {
        if (stateMarks != nullptr && !stateWindowIsNew) r.stateMarks = *stateMarks;
        // The first refresh that finds the window turns every cell green once; after that only the removal
        // of a W/VE QSO starts the cells afresh, and this same refresh marks again what is still worked. Where
        // the cells show one band's QTHs, another band starts them afresh too.
        const bool bandChanged = snap.LocationsPerBand() && band != state.stateCellsBand;
        state.stateCellsBand = band;
        if (state.stateCellsReset == 0 || snap.stateCellsResetRequested || bandChanged) {
            state.stateCellsReset = 1;
            r.resetStateCells = true;
            r.stateMarks.Clear();
        }
        for (const std::string& code : workedStateProv) {
            for (size_t cell : StateCellsNamedBy(*snap.contest, code)) {
                if (r.stateMarks.Mark(cell)) r.stateCellsToMark.push_back(cell);
            }
        }
    }

    if (r.open.zones) {
        r.zoneMarks = ZoneMarksOf(r.zonesOnBand, r.zonesAnyBand);
        const int all = CountAsInt(r.zonesAnyBand.size());
        r.zonesTitle = band.empty()
            ? text::Format(snap.russianTexts ? kZonesOffBandTitleRu : kZonesOffBandTitle, contest, year, all)
            : text::Format(snap.russianTexts ? kZonesTitleRu : kZonesTitle, contest, year,
                           CountAsInt(r.zonesOnBand.size()), band.c_str(), all);
    }

    if (r.open.dxccExtended && r.workedCount > 0) {
        for (const std::string& prefix : state.workedDxcc)
            r.dxccMarks.MarkWorked(prefix, snap.contest->waeCountries);
    }

    refreshPending.store(1);
    return r;
}
