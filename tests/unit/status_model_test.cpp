#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"
#include "engine/engine.h"
#include "app/plugin_object.h"
#include "ui/status_model.h"
#include "temp_dir.h"
#include "ui/status_snapshot.h"

namespace {

// A host that answers what the test sets and records what it was asked.
class FakeHost : public HostLink {
public:
    bool connected = true;
    double frequency = 14070000.0;
    std::string call;
    std::vector<std::string> macros;
    std::vector<std::string> requests;

    bool Connected() const override { return connected; }
    double ReadFrequency() override {
        requests.push_back("ReadFrequency");
        return frequency;
    }
    std::string ReadCurrentCall(int which) override {
        requests.push_back("ReadCurrentCall " + std::to_string(which));
        return call;
    }
    void SendMacro(const std::string& macro) override {
        requests.push_back("SendMacro " + macro);
        macros.push_back(macro);
    }
};

CInfo Qso(const char* call, const char* prefix, const char* band, const char* mode, int hour, int minute,
          const char* exchRcvd, const char* stateProv = "") {
    CInfo r;
    r.call = call;
    r.prefix = prefix;
    r.band = band;
    r.mode = mode;
    r.exchRcvd = exchRcvd;
    r.stateProv = stateProv;
    r.time = COleDateTime::FromFields(2024, 1, 6, hour, minute, 0);
    return r;
}

// UTF-8 Russian text to code page 1251, so the expected titles below can be written readably and the
// bytes of the model are checked against an encoding of their own.
std::string Cp1251(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        unsigned cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
        i += 2;
        if (cp >= 0x410 && cp <= 0x44F) out += static_cast<char>(0xC0 + (cp - 0x410));
        else if (cp == 0x401) out += '\xA8';
        else if (cp == 0x451) out += '\xB8';
        else out += '?';
    }
    return out;
}

// A refresh over an engine of the test's own, with the views and windows the test sets.
struct Bench {
    Engine engine;
    ScoreModel worked;  // what the last report found, as the windows get it
    FakeHost host;
    StatusModelState state;
    StatusViewFields views;
    OpenStatusWindows open{true, true, true, false};
    StateCellMarks stateMarks;  // the marks of the open State/Province window
    int snapshots = 0;

    explicit Bench(const contest::Record& contest = contest::ArrlRttyRoundup()) : engine(contest) {
        engine.contestStartYear = "2024";
        engine.refreshPending = 0;
    }

    StatusRefresh Refresh() {
        StatusRefresh r = RefreshStatus(state, host, views, open, &stateMarks,
                                        [this](const std::string& call) {
                                            ++snapshots;
                                            return CopyStatusData(
                                                engine, std::make_shared<const ScoreModel>(worked), call);
                                        },
                                        engine.refreshPending);
        if (r.hostConnected && r.open.state) stateMarks = r.stateMarks;  // as the window takes them
        return r;
    }
};

// The change-of-band light turns red at the limit of the entry's rule in the contest year of the reset; at the
// contest's multi-operator limit where no category (or no year) is given; never where no limit binds.
TEST(StatusModel, BandChangeLightFollowsTheEntrysCategoryAndYear) {
    const contest::Record& R = contest::ArrlRttyRoundup();
    const contest::Record& C = contest::CqWwRtty();
    struct Case {
        const contest::Record& contest;
        const char *year, *op, *transmitter;
        int limit;
    } cases[] = {
        {R, "2025", "", "ONE", 6},           {C, "2024", " ", "TWO", 8},          {R, "", "MULTI-OP", "ONE", 6},
        {R, "2025", "MULTI-OP", "ONE", 10},  {R, "2024", "MULTI-OP", "ONE", 6},   {R, "2025", "MULTI-OP", "TWO", 6},
        {R, "2025", "MULTI-OP", "UNLIMITED", -1}, {C, "2024", "MULTI-OP", "UNLIMITED", -1},
        {C, "2008", "multi-op", "", 6},      {C, "2009", "MULTI-OP", "TWO", 8},   {C, "2024", "SINGLE-OP", "ONE", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BandChangeLightLimit(c.contest, c.year, c.op, c.transmitter), c.limit)
            << c.contest.name << " " << c.year << " '" << c.op << "' " << c.transmitter;
    }
}

TEST(StatusModel, BandIndexCountsWholeMegahertzOnly) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double hz;
        int band;
    } cases[] = {
        {1850000, 0},  {1999999, 0},   {3580000, 1},   {7040000, 2},  {14070000, 3},  {21080000, 4},
        {28000000, 5}, {28999999, 5},  {29600000, -1}, {29100000, -1}, {10140000, -1}, {999999, -1},
        {0, -1},       {-1850000, -1}, {1e300, -1},    {nan, -1},     {inf, -1},      {-inf, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(BandIndexOfFrequency(c.hz), c.band) << c.hz;
}

TEST(StatusModel, FrequencySetsTheBandAndTheDxccCountButNotTheStateCount) {
    Bench b;
    b.worked.workedDxcc = {"DL", "K", "JA"};
    b.worked.workedStateProv = {"CT", "ON"};
    const struct {
        double hz;
        int band;
        const char* dxccTitle;
        size_t ticked;
    } cases[] = {
        {1850000, 0, "ARRL-RTTY 2024 DXCC worked 3 of 340", 3},
        {14070000, 3, "ARRL-RTTY 2024 DXCC worked 3 of 340", 3},
        {28000000, 5, "ARRL-RTTY 2024 DXCC worked 3 of 340", 3},
        {29600000, -1, "ARRL-RTTY 2024 DXCC worked 0 of 340", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hz);
        b.host.frequency = c.hz;
        StatusRefresh r = b.Refresh();
        EXPECT_EQ(b.state.currentBandIndex, c.band);
        EXPECT_EQ(r.dxccTitle, c.dxccTitle);
        EXPECT_EQ(r.dxccWindowTitle, c.dxccTitle);  // no call entered
        EXPECT_EQ(r.stateTitle, "ARRL-RTTY 2024 State/Province working 2");
        EXPECT_EQ(r.dxccMarks.MarkedCount(), c.ticked);
    }
}

TEST(StatusModel, Sp1IsSentOnlyWhenTheFrequencyMovedMoreThan300Hz) {
    Bench b;
    const struct {
        double hz;
        bool sent;
        double lastSp1;
    } steps[] = {
        {250.0, false, 0.0},           // the first refresh compares with 0
        {7040000.0, true, 7040000.0},
        {7040300.0, false, 7040000.0}, // exactly 300 Hz
        {7040301.0, true, 7040301.0},
        {7040001.0, false, 7040301.0},
        {7040000.0, true, 7040000.0},  // 301 Hz downwards
        {14070000.0, true, 14070000.0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.hz);
        b.host.macros.clear();
        b.host.frequency = s.hz;
        StatusRefresh r = b.Refresh();
        EXPECT_EQ(r.sp1Sent, s.sent);
        EXPECT_EQ(b.host.macros, s.sent ? std::vector<std::string>{"<SP1>"} : std::vector<std::string>{});
        EXPECT_EQ(b.state.lastSp1Frequency, s.lastSp1);
    }
}

TEST(StatusModel, AskingTheHostGoesCallThenFrequencyThenMacro) {
    Bench b;
    b.host.call = "W1AW";
    b.Refresh();
    EXPECT_EQ(b.host.requests,
              (std::vector<std::string>{"ReadCurrentCall 5", "ReadFrequency", "SendMacro <SP1>"}));
    EXPECT_EQ(b.snapshots, 1);
}

TEST(StatusModel, BandRowsShowTheLastQsoWithTheCallOnEachBand) {
    Bench b;
    b.engine.qsoLog.Append(Qso("W1AW", "K", "40m", "BPSK31", 10, 0, "CT", "CT"));
    b.engine.qsoLog.Append(Qso("W1AW", "K", "20m", "RTTY", 14, 5, "ct ", "CT"));
    b.engine.qsoLog.Append(Qso("K1XX", "K", "20m", "PACKET", 15, 0, "MA", "MA"));  // another call
    b.engine.qsoLog.Append(Qso("W1AW", "K", "40m", "RTTY", 11, 30, "CT", "CT"));    // later, same band
    CInfo dupe = Qso("W1AW", "K", "10m", "AMTOR", 23, 59, "XX");
    dupe.dupe = 1;
    dupe.badQso = 1;
    dupe.notCounted = 1;
    b.engine.qsoLog.Append(dupe);                                                    // counts like any other
    b.engine.qsoLog.Append(Qso("W1AW", "K", "160m", "RTTY", 0, 7, "CT", "CT"));     // row 0 by position
    b.engine.qsoLog.Append(Qso("W1AW", "K", "30m", "RTTY", 1, 0, "CT", "CT"));      // no row
    b.host.call = "W1AW";
    b.host.frequency = 7040000;
    b.Refresh();
    const std::vector<std::vector<std::string>> want = {
        {"80m", "RTTY", "00:07", "CT", "   -"},
        {"80m", "   -", "   -", "   -", "   -"},
        {"40m", "RTTY", "11:30", "CT", "   -"},
        {"20m", "RTTY", "14:05", "CT", "   -"},
        {"15m", "   -", "   -", "   -", "   -"},
        {"10m", "AMTOR", "23:59", "", "   -"},
    };
    EXPECT_EQ(b.state.bandRows, want);
    EXPECT_EQ(b.state.currentCall, "W1AW");
    EXPECT_EQ(b.state.currentBandIndex, 2);
}

TEST(StatusModel, DxRowsShowTheReceivedExchangeAndVeRowsTheProvince) {
    Bench b;
    b.engine.qsoLog.Append(Qso("DL1ABC", "DL", "15m", "RTTY", 9, 1, "0123"));
    b.engine.qsoLog.Append(Qso("DL1ABC", "DL", "80m", "BPSK63", 2, 2, " 45 "));  // as typed
    b.engine.qsoLog.Append(Qso("VE3AA", "VE", "20m", "RTTY", 3, 3, "on", "ON"));
    b.host.call = "DL1ABC";
    b.Refresh();
    EXPECT_EQ(b.state.bandRows[4], (std::vector<std::string>{"15m", "RTTY", "09:01", "0123", "   -"}));
    EXPECT_EQ(b.state.bandRows[1], (std::vector<std::string>{"80m", "BPSK63", "02:02", " 45 ", "   -"}));
    EXPECT_EQ(b.state.bandRows[3][1], "   -");

    b.host.call = "VE3AA";
    b.Refresh();
    EXPECT_EQ(b.state.bandRows[3], (std::vector<std::string>{"20m", "RTTY", "03:03", "ON", "   -"}));
    EXPECT_EQ(b.state.bandRows[4][1], "   -");  // the earlier call's row is emptied again
}

// The exchange column under a heading that says what it holds in each contest.
TEST(StatusModel, TheExchangeColumnIsHeadedForWhatItHolds) {
    const struct {
        const contest::Record& contest;
        const char *prefix, *exchRcvd, *counted, *shown, *heading;
    } cases[] = {
        {contest::ArrlRttyRoundup(), "VE", "on", "ON", "ON", "State/Prov/NR"},
        {contest::ArrlRttyRoundup(), "DL", "0123", "", "0123", "State/Prov/NR"},
        {contest::CqWwRtty(), "K", "5 ma", "05 MA", "05 MA", "Zone/QTH"},
        {contest::CqWwRtty(), "DL", "14", "14", "14", "Zone/QTH"},
    };
    for (const auto& c : cases) {
        Bench b(c.contest);
        b.engine.qsoLog.Append(Qso("XX1X", c.prefix, "20m", "RTTY", 3, 3, c.exchRcvd, c.counted));
        b.host.call = "XX1X";
        b.Refresh();
        EXPECT_EQ(b.state.bandRows[3][3], c.shown) << c.contest.name;
        EXPECT_EQ(b.state.exchangeHeading, c.heading) << c.contest.name;
    }
}

TEST(StatusModel, CallsCompareExactlyAndAnEmptyCallFillsNothing) {
    Bench b;
    b.engine.qsoLog.Append(Qso("W1AW", "K", "20m", "RTTY", 14, 5, "CT", "CT"));
    b.engine.qsoLog.Append(Qso("", "K", "40m", "RTTY", 14, 6, "CT", "CT"));
    for (const char* call : {"w1aw", "W1AW ", "W1A", ""}) {
        b.host.call = call;
        b.Refresh();
        for (const auto& row : b.state.bandRows) EXPECT_EQ(row[1], "   -") << '"' << call << '"';
    }
}

TEST(StatusModel, TitlesInEnglishAndRussian) {
    Bench b;
    b.worked.workedDxcc = {"DL", "K"};
    b.worked.workedStateProv = {"CT", "MA", "ON"};
    const struct {
        int russian;
        const char* call;
        std::string dxccWindow;
        std::string dxcc;
        std::string state;
    } cases[] = {
        {0, "W1AW", " ARRL-RTTY worked with W1AW", "ARRL-RTTY 2024 DXCC worked 2 of 340",
         "ARRL-RTTY 2024 State/Province working 3"},
        {0, "", "ARRL-RTTY 2024 DXCC worked 2 of 340", "ARRL-RTTY 2024 DXCC worked 2 of 340",
         "ARRL-RTTY 2024 State/Province working 3"},
        {1, "W1AW", Cp1251(" ARRL-RTTY работали с W1AW"), Cp1251("ARRL-RTTY 2024 DXCC отработано 2 of 340"),
         Cp1251("ARRL-RTTY 2024 State/Province отработано 3")},
        {1, "", Cp1251("ARRL-RTTY 2024 DXCC отработано 2 of 340"), Cp1251("ARRL-RTTY 2024 DXCC отработано 2 of 340"),
         Cp1251("ARRL-RTTY 2024 State/Province отработано 3")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.russian) + " " + c.call);
        b.engine.russianTexts = c.russian;
        b.host.call = c.call;
        StatusRefresh r = b.Refresh();
        EXPECT_EQ(r.dxccWindowTitle, c.dxccWindow);
        EXPECT_EQ(r.dxccTitle, c.dxcc);
        EXPECT_EQ(r.stateTitle, c.state);
        EXPECT_EQ(r.russianTexts, c.russian == 1);
    }
    const BandChangeCaptions& ru = BandChangeRussianCaptions();
    EXPECT_EQ(ru.control1026, Cp1251("Смена диапазона"));
    EXPECT_EQ(ru.control1025, Cp1251("Минут до конца часа"));
    EXPECT_EQ(ru.title, Cp1251("Переходы"));
}

TEST(StatusModel, WithoutAHostOnlyRefreshPendingIsSet) {
    Bench b;
    b.host.connected = false;
    b.host.call = "W1AW";
    b.views = {1, 1, 1, 1};
    b.open = {};
    b.worked.workedStateProv = {"CT"};
    b.engine.stateCellsResetRequested = true;
    b.state.currentCall = "K1XX";
    b.state.currentBandIndex = 4;
    b.state.lastSp1Frequency = 21000000;
    StatusRefresh r = b.Refresh();
    EXPECT_FALSE(r.hostConnected);
    EXPECT_EQ(b.engine.refreshPending.load(), 1);
    EXPECT_TRUE(r.windowsToReopen.empty());
    EXPECT_TRUE(b.host.requests.empty());
    EXPECT_EQ(b.snapshots, 0);
    EXPECT_TRUE(b.engine.stateCellsResetRequested);  // still waiting for a refresh that can act on it
    EXPECT_EQ(b.state.currentCall, "K1XX");
    EXPECT_EQ(b.state.currentBandIndex, 4);
    EXPECT_EQ(b.state.lastSp1Frequency, 21000000);
    EXPECT_EQ(b.state.stateCellsReset, 0);
    EXPECT_TRUE(r.stateCellsToMark.empty());
    EXPECT_EQ(r.dxccMarks.MarkedCount(), 0u);
}

TEST(StatusModel, RefreshPendingIsSetAtTheEndOfEveryRefresh) {
    Bench b;
    for (int i = 0; i < 3; ++i) {
        b.engine.refreshPending = 0;
        b.Refresh();
        EXPECT_EQ(b.engine.refreshPending.load(), 1);
    }
}

TEST(StatusModel, ReopensTheWindowsTheViewFieldsAskForInAFixedOrder) {
    using K = StatusWindowKind;
    const struct {
        StatusViewFields views;
        OpenStatusWindows open;
        std::vector<K> kinds;
    } cases[] = {
        {{1, 1, 1, 1}, {}, {K::Dxcc, K::State, K::DxccExtended, K::BandChange}},
        {{1, 1, 1, 1, 1}, {}, {K::Dxcc, K::State, K::DxccExtended, K::BandChange, K::Zones}},
        {{0, 0, 0, 0, 1}, {false, false, false, false, true}, {}},
        {{0, 0, 0, 0}, {}, {}},
        {{1, 1, 1, 1}, {true, true, true, true}, {}},
        {{1, 0, 0, 1}, {false, true, false, false}, {K::BandChange}},
        {{0, 1, 1, 0}, {false, false, true, false}, {K::Dxcc}},
        {{2, 2, 2, 2}, {}, {}},  // only 1 asks for a window
    };
    for (const auto& c : cases) {
        Bench b;
        b.views = c.views;
        b.open = c.open;
        StatusRefresh r = b.Refresh();
        std::vector<K> kinds;
        for (const StatusWindowToReopen& w : r.windowsToReopen) {
            kinds.push_back(w.kind);
            const char* want = w.kind == K::Dxcc           ? "setup_view_dxcc"
                               : w.kind == K::State        ? "setup_view_state"
                               : w.kind == K::DxccExtended ? "setup_view_dxcc_extended"
                               : w.kind == K::Zones        ? "setup_view_zones"
                                                           : nullptr;
            if (want) EXPECT_STREQ(w.settingsKey, want);
            else EXPECT_EQ(w.settingsKey, nullptr);
        }
        EXPECT_EQ(kinds, c.kinds);
        EXPECT_EQ(r.open.dxcc, c.open.dxcc || c.views.viewDxcc == 1);
        EXPECT_EQ(r.open.state, c.open.state || c.views.viewState == 1);
        EXPECT_EQ(r.open.dxccExtended, c.open.dxccExtended || c.views.viewDxccExtended == 1);
        EXPECT_EQ(r.open.bandChange, c.open.bandChange || c.views.viewTimer == 1);
        EXPECT_EQ(r.open.zones, c.open.zones || c.views.viewZones == 1);
    }
}

size_t Cell(const char* code) { return static_cast<size_t>(StateCellIndexOf(code)); }

TEST(StatusModel, StateCellsAreResetOnceThenOnlyAdded) {
    Bench b;
    b.worked.workedStateProv = {"CT", "PE", "AK", "XX", "PEI", "ct", "NL"};
    StatusRefresh r = b.Refresh();
    EXPECT_TRUE(r.resetStateCells);
    EXPECT_EQ(r.stateCellsToMark, (std::vector<size_t>{Cell("CT"), Cell("PE"), Cell("NL")}));
    EXPECT_EQ(r.stateMarks.MarkedCount(), 3u);
    EXPECT_EQ(b.state.stateCellsReset, 1);

    b.worked.workedStateProv = {"CT", "PEI", "NY"};
    r = b.Refresh();
    EXPECT_FALSE(r.resetStateCells);
    EXPECT_EQ(r.stateCellsToMark, std::vector<size_t>{Cell("NY")});
    EXPECT_EQ(r.stateMarks.MarkedCount(), 4u);

    // A state that drops out of the list stays marked: the refresh never unmarks.
    b.worked.workedStateProv = {"NY"};
    r = b.Refresh();
    EXPECT_FALSE(r.resetStateCells);
    EXPECT_TRUE(r.stateCellsToMark.empty());
    EXPECT_EQ(r.stateMarks.MarkedCount(), 4u);
}

TEST(StatusModel, RemovingAWveQsoStartsTheCellsAfreshAndMarksWhatIsStillWorked) {
    Bench b;
    b.worked.workedStateProv = {"CT", "ON"};
    b.Refresh();
    // The engine removed a W/VE QSO; its score computation has not yet dropped CT.
    b.engine.stateCellsResetRequested = true;
    StatusRefresh r = b.Refresh();
    EXPECT_FALSE(b.engine.stateCellsResetRequested);
    EXPECT_TRUE(r.resetStateCells);
    EXPECT_EQ(r.stateCellsToMark, (std::vector<size_t>{Cell("CT"), Cell("ON")}));
    // Now it has: CT stays green after the next reset.
    b.worked.workedStateProv = {"ON"};
    b.engine.stateCellsResetRequested = true;
    r = b.Refresh();
    EXPECT_TRUE(r.resetStateCells);
    EXPECT_EQ(r.stateCellsToMark, std::vector<size_t>{Cell("ON")});
    EXPECT_EQ(r.stateMarks.Marked(Cell("CT")), 0);
    // The request is used up.
    r = b.Refresh();
    EXPECT_FALSE(r.resetStateCells);
}

TEST(StatusModel, ClosedStateWindowGetsNothingAndAReopenedOneStartsUnmarked) {
    Bench b;
    b.open.state = false;
    b.worked.workedStateProv = {"CT"};
    StatusRefresh r = b.Refresh();
    EXPECT_FALSE(r.open.state);
    EXPECT_FALSE(r.resetStateCells);
    EXPECT_TRUE(r.stateCellsToMark.empty());
    EXPECT_EQ(b.state.stateCellsReset, 0);

    // The refresh reopens it: the marks of the window that went before do not carry over.
    b.stateMarks.Mark(Cell("TX"));
    b.views.viewState = 1;
    r = b.Refresh();
    EXPECT_TRUE(r.open.state);
    EXPECT_TRUE(r.resetStateCells);
    EXPECT_EQ(r.stateMarks.Marked(Cell("TX")), 0);
    EXPECT_EQ(r.stateCellsToMark, std::vector<size_t>{Cell("CT")});
}

// A contest that counts its multipliers per band shows the current band's countries, QTHs and zones, and every
// band's off the bands; its zones also on any band.
TEST(StatusModel, PerBandMultipliersFollowTheCurrentBand) {
    Bench b(contest::CqWwRtty());
    b.worked.workedDxcc = {"DL", "K", "JA", "KH6"};
    b.worked.bands.resize(2);
    b.worked.bands[0].band = "20m";
    b.worked.bands[0].countries = {"DL", "K", "JA"};
    b.worked.bands[0].locations = {"CT"};
    b.worked.bands[0].zones = {"14", "05", "25"};
    b.worked.bands[1].band = "40m";
    b.worked.bands[1].countries = {"DL"};
    b.worked.bands[1].locations = {"ON", "CT"};
    b.worked.bands[1].zones = {"14", "04"};
    const std::vector<std::string> any = {"14", "05", "25", "04"};
    b.open.zones = true;
    // The zone cells: on the band, on another band only (N), or not worked (-).
    const struct {
        double hz;
        int russian;
        const char *dxccTitle, *stateTitle;
        size_t ticked, cells;
        std::vector<std::string> zones;
        std::string zonesTitle;
        const char* zone4to5and14and25;
    } cases[] = {
        {14070000, 0, "CQ-WW-RTTY 2024 DXCC worked 3 of 346", "CQ-WW-RTTY 2024 State/Province working 1", 3, 1,
         {"14", "05", "25"}, "CQ-WW-RTTY 2024 zones 3 on 20m, 4 in all", "NBBB"},
        {7040000, 0, "CQ-WW-RTTY 2024 DXCC worked 1 of 346", "CQ-WW-RTTY 2024 State/Province working 2", 1, 2,
         {"14", "04"}, "CQ-WW-RTTY 2024 zones 2 on 40m, 4 in all", "BNBN"},
        {21080000, 0, "CQ-WW-RTTY 2024 DXCC worked 0 of 346", "CQ-WW-RTTY 2024 State/Province working 0", 0, 0, {},
         "CQ-WW-RTTY 2024 zones 0 on 15m, 4 in all", "NNNN"},
        {29600000, 0, "CQ-WW-RTTY 2024 DXCC worked 0 of 346", "CQ-WW-RTTY 2024 State/Province working 2", 0, 2, any,
         "CQ-WW-RTTY 2024 zones 4 in all", "BBBB"},
        {14070000, 1, nullptr, nullptr, 3, 1, {"14", "05", "25"}, Cp1251("CQ-WW-RTTY 2024 зоны 3 на 20m, всего 4"),
         "NBBB"},
        {29600000, 1, nullptr, nullptr, 0, 2, any, Cp1251("CQ-WW-RTTY 2024 зоны всего 4"), "BBBB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.hz) + " " + std::to_string(c.russian));
        b.host.frequency = c.hz;
        b.engine.russianTexts = c.russian;
        StatusRefresh r = b.Refresh();
        if (c.dxccTitle != nullptr) {
            EXPECT_EQ(r.dxccTitle, c.dxccTitle);
            EXPECT_EQ(r.stateTitle, c.stateTitle);
        }
        EXPECT_EQ(r.dxccMarks.MarkedCount(), c.ticked);
        // Another band starts the cells afresh: they show that band's QTHs alone.
        EXPECT_TRUE(r.resetStateCells);
        EXPECT_EQ(r.stateCellsToMark.size(), c.cells);
        EXPECT_EQ(r.stateMarks.MarkedCount(), c.cells);
        EXPECT_EQ(r.zonesOnBand, c.zones);
        EXPECT_EQ(r.zonesAnyBand, any);
        EXPECT_EQ(r.zonesTitle, c.zonesTitle);
        std::string marks;
        for (int zone : {4, 5, 14, 25}) {
            const ZoneMark m = r.zoneMarks[static_cast<size_t>(zone - 1)];
            marks += m == ZoneMark::currentBand ? 'B' : m == ZoneMark::otherBand ? 'N' : '-';
        }
        EXPECT_EQ(marks, c.zone4to5and14and25);
        size_t marked = 0;
        for (ZoneMark m : r.zoneMarks) marked += m != ZoneMark::none;
        EXPECT_EQ(marked, any.size());
    }
    // The same band again changes nothing.
    b.host.frequency = 29600000;
    EXPECT_FALSE(b.Refresh().resetStateCells);
    // A closed zone window gets no title and no marks.
    b.open.zones = false;
    StatusRefresh r = b.Refresh();
    EXPECT_EQ(r.zonesTitle, "");
    EXPECT_EQ(r.zoneMarks[13], ZoneMark::none);
    // The widest title counts all 40 zones on the widest band's name.
    EXPECT_EQ(WidestZonesTitle(contest::CqWwRtty(), false, "2024"), "CQ-WW-RTTY 2024 zones 40 on 160m, 40 in all");
    EXPECT_TRUE(contest::CqWwRtty().Counts(contest::MultiplierKind::Of::zone));
    EXPECT_FALSE(contest::ArrlRttyRoundup().Counts(contest::MultiplierKind::Of::zone));
}

TEST(ZoneCells, ZonesOneToFortyInOneOrTwoDigits) {
    const struct {
        const char* code;
        int cell;
    } cases[] = {{"01", 0}, {"1", 0}, {"05", 4}, {"40", 39}, {"41", -1}, {"00", -1}, {"0", -1},
                 {"005", -1}, {"", -1}, {"5 ", -1}, {"-5", -1}, {"MA", -1}};
    for (const auto& c : cases) EXPECT_EQ(ZoneCellIndexOf(c.code), c.cell) << '"' << c.code << '"';
    // A zone of both lists is worked on the band; a code that is no zone marks nothing.
    const ZoneMarks m = ZoneMarksOf({"05", "99"}, {"05", "40", "XX"});
    EXPECT_EQ(m[4], ZoneMark::currentBand);
    EXPECT_EQ(m[39], ZoneMark::otherBand);
    EXPECT_EQ(m[0], ZoneMark::none);
}

TEST(StatusModel, DxccMarksFollowTheWorkedListBothWays) {
    Bench b;
    b.worked.workedDxcc = {"DL", "E4", "UA2/f"};
    StatusRefresh r = b.Refresh();
    DxccMarks want;
    for (const char* p : {"DL", "E4", "UA2/f"}) want.MarkWorked(p, false);
    EXPECT_EQ(r.dxccMarks, want);
    EXPECT_EQ(r.dxccMarks.MarkedCount(), 3u);

    b.worked.workedDxcc = {"E4"};  // the score computation dropped DL and UA2
    r = b.Refresh();
    EXPECT_EQ(r.dxccMarks.MarkedCount(), 1u);

    b.open.dxccExtended = false;  // no window, no marks
    r = b.Refresh();
    EXPECT_EQ(r.dxccMarks.MarkedCount(), 0u);

    // Each contest's countries: Sicily has a box of its own where the WAE-only countries count, else it is Italy.
    for (const contest::Record* contest : {&contest::ArrlRttyRoundup(), &contest::CqWwRtty()}) {
        Bench c(*contest);
        c.worked.workedDxcc = {"IT9"};
        c.worked.bands.resize(1);
        c.worked.bands[0].band = "20m";
        c.worked.bands[0].countries = {"IT9"};
        DxccMarks own;
        own.MarkWorked(contest == &contest::CqWwRtty() ? "IT9" : "I", true);
        EXPECT_EQ(c.Refresh().dxccMarks, own) << contest->name;
    }
}

// The windows show what the last report found, whatever was logged since, until the log is emptied.
TEST(StatusModel, SnapshotCopiesOnlyTheCallsQsosAndConsumesTheResetRequest) {
    TempWorkDir dir;
    CTestApp app{contest::ArrlRttyRoundup()};
    {
        auto lock = app.LockEngine();
        lock->qsoLog.Append(Qso("W1AW", "K", "20m", "RTTY", 14, 5, "CT", "CT"));
        lock->qsoLog.Append(Qso("K1XX", "K", "20m", "RTTY", 14, 6, "MA", "MA"));
        lock->bandsSeen = {"20m", "40m"};
    }
    EXPECT_EQ(app.TakeStatusSnapshot("W1AW").model, nullptr) << "no report yet";
    app.GetResult(nullptr);
    {
        auto lock = app.LockEngine();
        lock->qsoLog.Append(Qso("W1AW", "DL", "40m", "RTTY", 14, 7, "001"));
        lock->contestStartYear = "2025";
        lock->russianTexts = 1;
        lock->stateCellsResetRequested = true;
    }
    StatusSnapshot s = app.TakeStatusSnapshot("W1AW");
    ASSERT_EQ(s.callRecords.size(), 2u);
    EXPECT_EQ(s.callRecords[0].band, "20m");
    EXPECT_EQ(s.callRecords[1].band, "40m");
    EXPECT_EQ(s.WorkedDxcc(), std::vector<std::string>{"K"});
    EXPECT_EQ(s.WorkedStateProv(), (std::vector<std::string>{"CT", "MA"}));
    EXPECT_EQ(s.contestStartYear, "2025");
    EXPECT_TRUE(s.russianTexts);
    EXPECT_TRUE(s.stateCellsResetRequested);

    s = app.TakeStatusSnapshot("");
    EXPECT_TRUE(s.callRecords.empty());
    EXPECT_FALSE(s.stateCellsResetRequested);
    EXPECT_EQ(app.LockEngine()->qsoLog.Count(), 3u);

    for (const char* call : {"W1AW", "K1XX", "W1AW"}) {
        QsoArgs q;
        const CInfo first = app.LockEngine()->qsoLog.At(0);
        q.call = first.call, q.band = first.band, q.mode = first.mode, q.time = first.time;
        app.RemoveData(q);
        const bool empty = app.LockEngine()->qsoLog.Empty();
        EXPECT_EQ(app.TakeStatusSnapshot("").model == nullptr, empty) << call;
    }
}

TEST(StateCells, TheGridOfTheWindowInMarkOrder) {
    // The grid row by row, code and item id.
    const struct {
        const char* code;
        int id;
    } grid[] = {
        {"AL", 1016}, {"AR", 1018}, {"AZ", 1019}, {"CA", 1020}, {"CO", 1021}, {"CT", 1022}, {"DC", 1113},
        {"DE", 1023}, {"FL", 1024}, {"GA", 1025}, {"IA", 1028}, {"ID", 1026}, {"IL", 1027}, {"IN", 1039},
        {"KS", 1029}, {"KY", 1030}, {"LA", 1031}, {"MA", 1032}, {"MD", 1017}, {"ME", 1033}, {"MI", 1034},
        {"MN", 1035}, {"MS", 1036}, {"MO", 1037}, {"MT", 1038}, {"NE", 1040}, {"NV", 1041}, {"NH", 1042},
        {"NJ", 1043}, {"NM", 1044}, {"NY", 1045}, {"NC", 1046}, {"ND", 1047}, {"OH", 1048}, {"OK", 1049},
        {"OR", 1050}, {"PA", 1051}, {"RI", 1052}, {"SC", 1053}, {"SD", 1054}, {"TN", 1055}, {"TX", 1056},
        {"UT", 1057}, {"VT", 1058}, {"VA", 1059}, {"WA", 1060}, {"WV", 1061}, {"WI", 1062}, {"WY", 1063},
        {"AB", 1064}, {"BC", 1065}, {"LB", 1066}, {"MB", 1067}, {"NB", 1068}, {"NL", 1069}, {"NS", 1070},
        {"NT", 1071}, {"NU", 1072}, {"ON", 1073}, {"PE", 1077}, {"QC", 1074}, {"SK", 1075}, {"YT", 1076},
    };
    ASSERT_EQ(sizeof(grid) / sizeof(grid[0]), kStateCellCount);
    for (const auto& g : grid) {
        const int index = StateCellIndexOf(g.code);
        ASSERT_GE(index, 0) << g.code;
        EXPECT_STREQ(StateCellAt(static_cast<size_t>(index)).code, g.code);
        EXPECT_EQ(StateCellAt(static_cast<size_t>(index)).controlId, g.id) << g.code;
        // Mark i is item 1016 + i, the last mark is DC.
        EXPECT_EQ(g.id, index < 62 ? 1016 + index : 1113) << g.code;
    }
}

// Each contest's window has a cell for every location multiplier its record counts, labelled with its code, and
// no other; every code the contest accepts lights the cell of the code it counts under (AK and HI none).
TEST(StateCells, EachContestShowsTheCodesItCountsAndEveryAcceptedCodeLightsItsCell) {
    const struct {
        const char* code;
        const char *roundup, *cqww;  // the label of the cell it lights, "" for none
    } codes[] = {
        {"CT", "CT", "CT"}, {"DC", "DC", "DC"}, {"WY", "WY", "WY"}, {"AK", "", ""},     {"HI", "", ""},
        {"ON", "ON", "ON"}, {"YT", "YT", "YT"}, {"NL", "NL", "NL"}, {"NF", "NL", "NL"}, {"LB", "NL", "LB"},
        {"NT", "NT", "NT"}, {"NWT", "NT", "NT"}, {"PE", "PE", "PE"}, {"PEI", "PE", "PE"}, {"ct", "", ""},
        {"Pei", "", ""},    {"", "", ""},       {"CT ", "", ""},    {"NWT ", "", ""},   {"XX", "", ""},
    };
    for (const contest::Record* contest : {&contest::ArrlRttyRoundup(), &contest::CqWwRtty()}) {
        SCOPED_TRACE(contest->name);
        const bool cqww = contest == &contest::CqWwRtty();
        std::set<std::pair<std::string, std::string>> counted, shown;
        for (const contest::LocationCountry& country : contest->LocationCountries())
            for (const std::string& code : contest->LocationMultipliers(country.prefix))
                counted.insert({country.prefix, code});
        for (size_t i = 0; i < kStateCellCount; ++i)
            if (StateCellShown(*contest, i)) shown.insert({StateCellAt(i).country, StateCellAt(i).code});
        EXPECT_EQ(shown, counted);
        EXPECT_EQ(StateCellCount(*contest), cqww ? 63u : 62u);
        for (const auto& c : codes) {
            std::vector<std::string> labels;
            for (size_t cell : StateCellsNamedBy(*contest, c.code)) labels.push_back(StateCellAt(cell).code);
            const std::string want = cqww ? c.cqww : c.roundup;
            EXPECT_EQ(labels, want.empty() ? std::vector<std::string>{} : std::vector<std::string>{want}) << c.code;
        }
    }
}

}  // namespace
