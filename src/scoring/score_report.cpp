#include "scoring/score_report.h"

#include "common/text.h"
#include "engine/engine.h"
#include "scoring/cabrillo_header.h"
#include "platform/settings.h"
#include "scoring/cabrillo_export.h"

namespace {

// Text layout.
constexpr const char* kTextHeading =
    "\t\t%s Contest %s \r\n\t\t  Contestant: %s\r\nBand\tQSOs\tPoints\tDXCC State/Prov\t K \tVE\r\n";
constexpr const char* kTextBandRow = "%s\t %i\t %i\t\t\t %i\t %i\r\n";
constexpr const char* kTextTotals = "Total\t %i\t %i\t %i\t %i\t %i\t %i\r\nDupe\t %i\r\nBad QSO\t %i\r\n";
constexpr const char* kTextScore = "\r\nScore = %i *( %i + %i) = %i \r\n\r\n";
constexpr const char* kTextRates =
    "Hourly (10min/1 hour) QSO rate:\t%5i /%i\r\nHourly (10min/1 hour) pts rate:\t%5i /%i\r\n\r\n"
    "Created by %s (C)\r\n";

// HTML layout.
constexpr const char* kHtmlHead =
    "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; border-collapse: collapse; }"
    "th, td{ padding: 1px; text-align: middle; }th,td{ background-color: #fffac6; color: black; }</style></head>"
    "<body>";
constexpr const char* kHtmlTitleText = "   %s Contest %s-%s";
constexpr const char* kHtmlTitle = "<center><b>%s</b></center><center>Contestant:  <b>%s</center></b><table>";
constexpr const char* kHtmlColumnHeads =
    "<tr><th>%s</th><th>%s</th><th>%s</th><th>%s</th><th>%s</th><th>%s</th><th>%s</th></tr>";
constexpr const char* kHtmlBandRow =
    "<tr><th><center>%s</center></th><td><center>%i</center></td><td><center>%i</center></td>"
    "<td><center>%s</center></td><td><center>%s</center></td><td><center>%i</center></td>"
    "<td><center>%i</center></td></tr>";
constexpr const char* kHtmlTotalRow =
    "<tr><th><center>%s</center></th><td><center>%i</center></td><td><center>%i</center></td>"
    "<td><center>%i</center></td><td><center>%i</center></td><td><center>%i</center></td>"
    "<td><center>%i</center></td></tr>";
constexpr const char* kHtmlSingleValueRow =
    "<tr><th><center>%s</center></th><td><center>%i</center></td><td colspan=5> </td></tr>";
constexpr const char* kHtmlTextRow = "<tr><th><center>%s</center></th><td colspan=6><center>%s</center></td></tr>";
constexpr const char* kHtmlScoreRow = "<tr><th>%s</th><td colspan=6><center>%i * (%i + %i) = %i</center></td></tr>";
constexpr const char* kHtmlSectionHead = "<th colspan=10><center>%s</center></th></tr>";
constexpr const char* kHtmlRateRow = "<tr><th>%s</th><td colspan=6><center>%5i /%i</center></td></tr>";
constexpr const char* kHtmlFoot = "</table></body></html>";

// Under the bad-QSO count while the bad-QSO file could not be written (another program holds it, the disk is
// full): the count is right, the file is not yet.
constexpr const char* kBehindHead = "Bad QSO file";
constexpr const char* kBehindText = "not up to date";

// A contest whose multipliers count per band shows each band's multipliers of every kind, in the kinds' order,
// and the score as the points times their sum.
constexpr const char* kPerBandHeading = "\t\t%s Contest %s \r\n\t\t  Contestant: %s\r\nBand\tQSOs\tPoints";
constexpr const char* kPerBandCell = "\t %i";
constexpr const char* kPerBandScoreStart = "\r\nScore = %i *(";
constexpr const char* kPerBandScoreEnd = ") = %i \r\n\r\n";
constexpr const char* kHtmlHeadCell = "<th>%s</th>";
constexpr const char* kHtmlCell = "<td><center>%i</center></td>";

// The report of a contest whose multipliers all count once and whose W/VE stations send their location has its
// own fixed layout: the multipliers of the contest in the totals alone, and each band's QSOs with the location
// countries (K, VE). Every other contest's report shows each kind's multipliers on each band (for a kind counted
// once, those first worked there) and the score as the points times their sum.
bool MultipliersPerBand(const contest::Record& contest) {
    for (const contest::MultiplierKind& kind : contest.MultiplierKinds()) {
        if (kind.perBand) return true;
    }
    return contest.LocationCountries().empty();
}

// " a + b + c", the multipliers of each kind.
std::string MultiplierSum(const ScoreTotals& t) {
    std::string sum;
    for (size_t k = 0; k < t.multipliers.size(); ++k) sum += text::Format(k == 0 ? " %i" : " + %i", t.multipliers[k]);
    return sum;
}

// The ten-minute count is shown as an hourly projection.
constexpr int kTenMinutesPerHour = 6;

// The settings key the claimed score is kept under, which the next header dialog shows.
const char* ClaimedKey() { return CabrilloHeaderTagOf(&CabrilloHeaderFields::claimed).settingsKey; }

}  // namespace

std::string LayoutTextReport(const Engine& engine, const ScoreModel& model) {
    if (MultipliersPerBand(engine.contest)) {
        const std::vector<contest::MultiplierKind>& kinds = engine.contest.MultiplierKinds();
        std::string r = text::Format(kPerBandHeading, engine.contest.name, engine.contestStartYear.c_str(),
                                     engine.ownCall.c_str());
        for (const contest::MultiplierKind& kind : kinds) r += std::string("\t") + kind.name;
        r += "\r\n";
        for (const BandStats& b : model.bands) {
            r += text::Format("%s", b.band.c_str()) + text::Format(kPerBandCell, b.qsos) + text::Format(kPerBandCell, b.points);
            for (int32_t m : b.multipliers) r += text::Format(kPerBandCell, m);
            r += "\r\n";
        }
        const ScoreTotals& t = model.totals;
        r += "Total" + text::Format(kPerBandCell, t.qsos) + text::Format(kPerBandCell, t.points);
        for (int32_t m : t.multipliers) r += text::Format(kPerBandCell, m);
        r += text::Format("\r\nDupe\t %i\r\nBad QSO\t %i\r\n", t.dupes, t.badQsos);
        if (engine.badQsoFile.Behind()) r += text::Format("%s\t %s\r\n", kBehindHead, kBehindText);
        r += text::Format(kPerBandScoreStart, t.points) + MultiplierSum(t) + text::Format(kPerBandScoreEnd, t.score);
        if (engine.cabrilloRequested == 0 && !engine.qsoLog.Empty()) {
            const RateCounts& rc = model.rates;
            r += text::Format(kTextRates, rc.hourQsos, kTenMinutesPerHour * rc.tenQsos, rc.hourPoints,
                              kTenMinutesPerHour * rc.tenPoints, engine.contest.name);
        }
        return r;
    }
    std::string r =
        text::Format(kTextHeading, engine.contest.name, engine.contestStartYear.c_str(), engine.ownCall.c_str());
    for (const BandStats& b : model.bands) {
        r += text::Format(kTextBandRow, b.band.c_str(), b.qsos, b.points, b.kQsos, b.veQsos);
    }
    const ScoreTotals& t = model.totals;
    r += text::Format(kTextTotals, t.qsos, t.points, t.dxcc, t.stateProvCount, t.kQsos, t.veQsos, t.dupes, t.badQsos);
    if (engine.badQsoFile.Behind()) r += text::Format("%s\t %s\r\n", kBehindHead, kBehindText);
    r += text::Format(kTextScore, t.points, t.dxcc, t.stateProvCount, t.score);
    if (engine.cabrilloRequested == 0 && !engine.qsoLog.Empty()) {
        const RateCounts& rc = model.rates;
        r += text::Format(kTextRates, rc.hourQsos, kTenMinutesPerHour * rc.tenQsos, rc.hourPoints,
                          kTenMinutesPerHour * rc.tenPoints, engine.contest.name);
    }
    return r;
}

std::string LayoutHtmlReport(const Engine& engine, const ScoreModel& model) {
    const std::string titleText =
        text::Format(kHtmlTitleText, engine.contest.name, engine.contestStartDayMonth.c_str(), engine.contestEnd.c_str());
    std::string r = kHtmlHead;
    r += text::Format(kHtmlTitle, titleText.c_str(), engine.ownCall.c_str());
    if (MultipliersPerBand(engine.contest)) {
        const std::vector<contest::MultiplierKind>& kinds = engine.contest.MultiplierKinds();
        const int columns = static_cast<int>(kinds.size()) + 2;
        auto row = [](const char* head, int32_t qsos, int32_t points, const std::vector<int32_t>& multipliers) {
            std::string cells = text::Format("<tr><th><center>%s</center></th>", head) + text::Format(kHtmlCell, qsos) +
                                text::Format(kHtmlCell, points);
            for (int32_t m : multipliers) cells += text::Format(kHtmlCell, m);
            return cells + "</tr>";
        };
        r += "<tr>" + text::Format(kHtmlHeadCell, "Band") + text::Format(kHtmlHeadCell, "QSOs") +
             text::Format(kHtmlHeadCell, "Points");
        for (const contest::MultiplierKind& kind : kinds) r += text::Format(kHtmlHeadCell, kind.name);
        r += "</tr>";
        for (const BandStats& b : model.bands) r += row(b.band.c_str(), b.qsos, b.points, b.multipliers);
        const ScoreTotals& t = model.totals;
        r += row("Total", t.qsos, t.points, t.multipliers);
        const std::string single = text::Format("<tr><th><center>%%s</center></th><td><center>%%i</center></td>"
                                                "<td colspan=%i> </td></tr>", columns - 1);
        r += text::Format(single.c_str(), "Dupe", t.dupes);
        r += text::Format(single.c_str(), "Bad QSO", t.badQsos);
        const std::string wide = text::Format("<tr><th>%%s</th><td colspan=%i><center>%%s</center></td></tr>", columns);
        if (engine.badQsoFile.Behind()) r += text::Format(wide.c_str(), kBehindHead, kBehindText);
        const std::string score = text::Format("%i *(", t.points) + MultiplierSum(t) + text::Format(") = %i", t.score);
        r += text::Format(wide.c_str(), "Score:", score.c_str());
        r += text::Format(kHtmlSectionHead, "Rate");
        const RateCounts& rc = model.rates;
        const std::string rate = text::Format("<tr><th>%%s</th><td colspan=%i><center>%%5i /%%i</center></td></tr>", columns);
        r += text::Format(rate.c_str(), "Hourly (10min/1 hour) QSO rate:", rc.hourQsos, kTenMinutesPerHour * rc.tenQsos);
        r += text::Format(rate.c_str(), "Hourly (10min/1 hour) pts rate:", rc.hourPoints,
                          kTenMinutesPerHour * rc.tenPoints);
        return r + kHtmlFoot;
    }
    r += text::Format(kHtmlColumnHeads, "Band", "QSOs", "Points", "DXCC", "St/Pr", "K", "VE");
    for (const BandStats& b : model.bands) {
        r += text::Format(kHtmlBandRow, b.band.c_str(), b.qsos, b.points, " ", " ", b.kQsos, b.veQsos);
    }
    const ScoreTotals& t = model.totals;
    r += text::Format(kHtmlTotalRow, "Total", t.qsos, t.points, t.dxcc, t.stateProvCount, t.kQsos, t.veQsos);
    r += text::Format(kHtmlSingleValueRow, "Dupe", t.dupes);
    r += text::Format(kHtmlSingleValueRow, "Bad QSO", t.badQsos);
    if (engine.badQsoFile.Behind()) r += text::Format(kHtmlTextRow, kBehindHead, kBehindText);
    r += text::Format(kHtmlScoreRow, "Score:", t.points, t.dxcc, t.stateProvCount, t.score);
    r += text::Format(kHtmlSectionHead, "Rate");
    const RateCounts& rc = model.rates;
    r += text::Format(kHtmlRateRow, "Hourly (10min/1 hour) QSO rate:", rc.hourQsos, kTenMinutesPerHour * rc.tenQsos);
    r += text::Format(kHtmlRateRow, "Hourly (10min/1 hour) pts rate:", rc.hourPoints,
                      kTenMinutesPerHour * rc.tenPoints);
    r += kHtmlFoot;
    return r;
}

OutputMessage ProduceResult(const Engine& engine, CabrilloExport& cabrillo, StoredClaim& claim, ScoreModel& model,
                            std::string& report) {
    report.clear();
    engine.AssertLocked();
    model = ComputeScoreModel(engine);
    const int claimed = model.totals.score;
    report = engine.htmlReportEnabled != 0 ? LayoutHtmlReport(engine, model) : LayoutTextReport(engine, model);

    // The settings file is rewritten only when the score changed. It may be unwritable: the Cabrillo file
    // claims the score all the same, and the next report writes it.
    if (!claim.stored || claim.score != claimed) {
        claim.stored = Settings::WriteInt(ClaimedKey(), claimed);
        claim.score = claimed;
    }

    OutputMessage output;
    if (engine.cabrilloRequested == 0) return output;
    cabrillo.ClearQsoLines();
    for (const CInfo& q : engine.qsoLog) {
        cabrillo.AddQsoLine(q.call, q.freqKHz, engine.contest.CabrilloModeCode(q.mode), q.time, q.rstSent,
                            engine.contest.CabrilloExchange(q.exchSent), q.rstRcvd,
                            engine.contest.CabrilloExchange(q.exchRcvd));
    }
    CabrilloWriteResult written = cabrillo.WriteLog(claimed, engine.hostVersion);
    output.show = true;
    output.text = written.message;
    output.icon = written.produced ? MessageIcon::information : MessageIcon::warning;
    return output;
}
