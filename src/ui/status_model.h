#pragma once
// The status refresh without windows: from the host's answers and a snapshot of the engine's data, one
// refresh works out everything the status windows show. The window thread calls RefreshStatus on each
// refresh message and then only applies the result to its windows; the DXCC panel paints from the
// StatusModelState that the refresh leaves behind (see dxcc_panel_layout.h).
//
// Texts: the titles are 8-bit texts. English ones are ASCII; the Russian ones are code page 1251 bytes
// (written as \x escapes in the source), so the windows convert every title with MultiByteToWideChar(1251)
// and set it with the wide-character functions, whatever the system's code page.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "dxcc/dxcc_entity_table.h"
#include "contest/record.h"
#include "host/host_link.h"
#include "ui/state_cells.h"
#include "ui/status_snapshot.h"
#include "ui/zone_cells.h"

// The status windows' six band rows: row i is for QSOs on kRowBands[i], whose frequencies start with
// kRowBandStartMhz[i] whole MHz. Row 0 is the 160 m slot, which no accepted QSO fills.
constexpr size_t kBandRowCount = 6;
extern const char* const kRowBands[kBandRowCount];
extern const int kRowBandStartMhz[kBandRowCount];

// Band index 0..5 of a frequency in hertz (160, 80, 40, 20, 15, 10 m), -1 for any other. Only the whole
// megahertz counts: 28.0 to 28.999 MHz is 10 m, 29.6 MHz is no band.
int BandIndexOfFrequency(double hz);

// The text of an empty band-row cell.
extern const char* const kEmptyBandCell;  // "   -"

enum class StatusWindowKind { Dxcc, State, DxccExtended, BandChange, Zones };

// A window the refresh reopens because the control window's view field asks for it and it does not exist.
struct StatusWindowToReopen {
    StatusWindowKind kind;
    // Settings entry to write "1" under once the window is shown; null for the change-of-band window,
    // whose reopening writes nothing.
    const char* settingsKey;
};

// The control window's view fields (0 or 1); the zone window's only where the contest counts zones.
struct StatusViewFields {
    int viewState = 0;
    int viewDxcc = 0;
    int viewDxccExtended = 0;
    int viewTimer = 0;
    int viewZones = 0;
};

// Which status windows exist (their pointers are set) when the refresh starts.
struct OpenStatusWindows {
    bool dxcc = false;
    bool state = false;
    bool dxccExtended = false;
    bool bandChange = false;
    bool zones = false;
};

// Window-thread state that lives as long as the library: a new control window does not reset it. Owned and
// touched by the window thread only.
struct StatusModelState {
    std::string currentCall;           // the call the host reported at the last refresh
    int currentBandIndex = -1;         // 0..5, -1 when the host is on none of the six bands
    double lastSp1Frequency = 0.0;     // hertz at which "<SP1>" was last sent
    int stateCellsReset = 0;           // 1 once a refresh has found the State/Province window open
    std::string stateCellsBand;        // the band whose QTHs the cells show, where the contest counts per band

    // What the DXCC panel paints, as the last refresh with a host left it: the six band rows (label and
    // four cells each), the heading of their exchange column and the worked prefixes.
    std::vector<std::vector<std::string>> bandRows;
    std::string exchangeHeading;
    std::vector<std::string> workedDxcc;
};

// One refresh's result, for the window thread to apply. With hostConnected false nothing else is filled
// in and nothing is to be done.
struct StatusRefresh {
    bool hostConnected = false;

    // Step one: create and show these, in this order, before applying the rest.
    std::vector<StatusWindowToReopen> windowsToReopen;
    bool russianTexts = false;  // also selects the Russian captions of a reopened change-of-band window

    // Whether each window exists once the windows above are reopened.
    OpenStatusWindows open;

    bool sp1Sent = false;
    int workedCount = 0;  // n: worked prefixes while on a band, else 0

    std::string dxccTitle;  // "ARRL-RTTY <year> DXCC worked <n> of <entities>", also the extended window's
    std::string dxccWindowTitle;  // the DXCC window's: the "worked with" title while a call is entered
    std::string stateTitle;       // "ARRL-RTTY <year> State/Province working <count>"

    // State/Province window (when open): first, when resetStateCells, clear every mark and give every cell
    // face 0x00FF00 and label 0x010101; then give each cell of stateCellsToMark, in order, face 0xFF00FF and
    // label 0x00FFFF; then take stateMarks as the window's marks and move them into its items.
    bool resetStateCells = false;
    std::vector<size_t> stateCellsToMark;
    StateCellMarks stateMarks;

    // Extended DXCC window (when open): its marks, to move into the six pages in the order EU .. OC.
    DxccMarks dxccMarks;

    // The zones worked on the current band (every band's while the host is on none) and on any band, for a
    // contest whose multipliers are zones ("05", ...); empty for any other.
    std::vector<std::string> zonesOnBand, zonesAnyBand;
    // The zone window (when open): its title, "CQ-WW-RTTY <year> zones <n> on <band>, <m> in all" (off the bands
    // "... zones <m> in all"), and the mark of each cell.
    std::string zonesTitle;
    ZoneMarks zoneMarks{};
};


// The titles with the largest counts they can show (every State/Province cell of the contest, every country it
// counts): a window is made wide enough for them, so that its count can always be read.
std::string WidestStateTitle(const contest::Record& contest, bool russian, const std::string& contestStartYear);
std::string WidestDxccTitle(const contest::Record& contest, bool russian, const std::string& contestStartYear);
std::string WidestZonesTitle(const contest::Record& contest, bool russian, const std::string& contestStartYear);

// Russian captions of the change-of-band window (code page 1251), applied by whoever creates it.
struct BandChangeCaptions {
    const char* control1026;
    const char* control1025;
    const char* title;
};
const BandChangeCaptions& BandChangeRussianCaptions();

// The band changes in one clock hour from which the change-of-band light turns red: the limit of the rule that
// binds an entry of the contest of `contestStartYear` (the reset's "%Y") with these Cabrillo categories; -1,
// never red, for a category no limit binds; the contest's own multi-operator limit where no CATEGORY-OPERATOR
// is given or the year is not known. The window counts the QSOs of this log, so a limit on each transmitter
// apart is taken as the limit of the transmitter whose QSOs the log holds.
int BandChangeLightLimit(const contest::Record& contest, const std::string& contestStartYear,
                         const std::string& categoryOperator, const std::string& categoryTransmitter);

using StatusSnapshotSource = std::function<StatusSnapshot(const std::string& currentCall)>;

// One refresh. Asks the host for the call and the frequency (and sends "<SP1>" when it moved more than
// 300 Hz), takes one snapshot for that call through `takeSnapshot`, updates `state` and sets
// `refreshPending` to 1 at the end. Without a host connection it only sets `refreshPending`.
// `stateMarks` are the current marks of the open State/Province window (null when it is closed or about
// to be reopened: a new window starts unmarked).
StatusRefresh RefreshStatus(StatusModelState& state, HostLink& host, const StatusViewFields& views,
                            const OpenStatusWindows& openAtStart, const StateCellMarks* stateMarks,
                            const StatusSnapshotSource& takeSnapshot, std::atomic<int>& refreshPending);
