#include "engine/engine.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "engine/bad_qso_file.h"
#include "engine/host_version.h"
#include "platform/clock.h"

namespace {

constexpr long long kMinutesPerDay = 24 * 60;
constexpr long long kLongestPeriod = 7 * kMinutesPerDay;

// The minute a time falls in, as the Cabrillo file writes it (the time rounded to the second first).
long long MinuteOf(const COleDateTime& t) {
    return static_cast<long long>(std::floor(QsoLog::LinearDays(t.m_dt) * kMinutesPerDay + 1.0 / 120.0));
}

}  // namespace

ContestPeriod ContestPeriod::Of(const COleDateTime& start, const COleDateTime& end) {
    ContestPeriod p;
    if (!start.HasDate() || !end.HasDate()) return p;
    p.start = MinuteOf(start);
    p.end = MinuteOf(end);
    if (p.end % 60 == 59 || p.end % 60 == -1) ++p.end;
    p.known = p.end > p.start && p.end - p.start <= kLongestPeriod;
    DateTimeFields fields;
    if (p.known && start.GetFields(fields)) p.year = fields.year;
    return p;
}

bool ContestPeriod::Holds(const COleDateTime& time) const {
    if (!known || !time.HasDate()) return true;
    const long long minute = MinuteOf(time);
    return minute >= start && minute < end;
}

int Engine::CheckCall(const CheckArgs& args) const {
    AssertLocked();
    if ((args.bandGiven && args.band2Given && !text::EqualsNoCase(args.band, args.band2)) ||
        !contest.AcceptedBands().Contains(args.band) || !contest.CountsMode(args.mode, period.year)) {
        return hostversion::RulesFailureCode(hostVersion);
    }

    // One QSO per station and band, whatever the mode.
    const QsoLog::CallFacts call = qsoLog.FactsOf(args.call, args.band);
    if (call.onBand) return 0;
    // A W/VE station counts as worked before only once its state or province is in the log.
    if (contest.SendsLocation(args.prefix) && !qsoLog.Empty()) return call.stateProvKnown ? 1 : 3;
    return qsoLog.HasPrefix(args.prefix) ? 1 : 2;
}

int Engine::AddData(QsoArgs&& args) {
    AssertLocked();
    // The record is built where the log keeps it; a rejected one is dropped again.
    CInfo& qso = qsoLog.Stage();
    qso.call = std::move(args.call);
    qso.prefix = std::move(args.prefix);
    qso.aux = std::move(args.aux);
    qso.band = std::move(args.band);
    qso.mode = std::move(args.mode);
    qso.rstSent = std::move(args.rstSent);
    qso.rstRcvd = std::move(args.rstRcvd);
    qso.exchSent = std::move(args.exchSent);
    qso.exchRcvd = std::move(args.exchRcvd);
    qso.freqKHz = static_cast<int32_t>(args.frequencyHz / 1000u);
    qso.time = args.time;
    // The first QSO after another call writes its lines at once (the operator's QSO, each QSO of a replay);
    // those of a burst wait for its end.
    const bool wait = loggingBurst;
    loggingBurst = true;
    auto writeLine = [&](const CInfo& record, const std::string& message) {
        badQsoFile.Append(badqso::FormatLine(args.ownCall, record, message), wait);
    };
    auto reject = [&](const char* message) {
        writeLine(qso, message);
        qsoLog.Discard();
        return 0;
    };

    if (!contest.AcceptedBands().Contains(qso.band)) return reject(badqso::kWrongBand);
    // The band is remembered even when the mode or the exchange then rejects the QSO.
    if (std::find(bandsSeen.begin(), bandsSeen.end(), qso.band) == bandsSeen.end()) {
        bandsSeen.push_back(qso.band);
    }
    // A mode the contest of the period's year does not count is as wrong as one it never counts.
    if (!contest.CountsMode(qso.mode, period.year)) return reject(badqso::kWrongMode);
    if (qso.exchRcvd.empty() || qso.exchSent.empty()) return reject(badqso::kNoRxNumber);
    if (bandChangeWindowOpen) CountBandChange(qso);

    contest::ExchangeVerdict exchange = contest.JudgeExchange(qso.call, qso.prefix, qso.exchRcvd);
    if (exchange.reason == nullptr) {
        qso.stateProv = std::move(exchange.counted);
    } else {
        qso.notCounted = 1;
        qso.badQso = 1;
        writeLine(qso, badqso::ExchangeMessage(exchange.shown, exchange.reason));
    }
    // Logged as the host logged it, but no part of the contest.
    if (!period.Holds(qso.time)) {
        qso.notCounted = 1;
        qso.outsidePeriod = 1;
        writeLine(qso, badqso::kOutsidePeriod);
    }
    // A station counts once per band, whatever the mode: a QSO is a dupe when an earlier one with the station
    // on the band occupies it, a dupe itself among them. One that cannot count leaves the band free, so the
    // station's next QSO there, with a good exchange in the period, counts.
    if (qsoLog.Commit()) {
        const size_t last = qsoLog.Count() - 1;
        qsoLog.SetDupe(last, true);
        writeLine(qsoLog.At(last), badqso::kDupe);
    }
    return 1;
}

// Consecutive band changes within one clock hour, while the QSOs are logged in the current UTC hour.
void Engine::CountBandChange(const CInfo& qso) {
    const int hour = qso.time.GetHour();
    if (qsoLog.Empty()) {
        bandChangeCount = 0;
    } else {
        const CInfo& previous = qsoLog.At(qsoLog.Count() - 1);
        if (previous.time.GetHour() != hour) {
            bandChangeCount = 0;
        } else if (previous.band != qso.band) {
            ++bandChangeCount;
        }
    }
    if (hour < 0 || CurrentClock().UtcHour() != hour) bandChangeCount = 0;
}

void Engine::RemoveData(const QsoArgs& args) {
    AssertLocked();
    loggingBurst = false;
    size_t index = qsoLog.Find(args.call, args.band, args.mode, args.time);
    std::vector<const CInfo*> healed;  // QSOs that are no dupes any more, whose dupe lines go
    if (index != QsoLog::npos) {
        // The State/Province cells are the window thread's: it resets them on the refresh that follows.
        if (contest.SendsLocation(qsoLog.At(index).prefix)) stateCellsResetRequested = true;
        qsoLog.RemoveAt(index);
        // The QSO that occupied the station's band may have been the one removed: each later QSO with the
        // station on the band is a dupe only while an earlier one left occupies the band.
        bool occupied = false;
        for (size_t i : qsoLog.IndexesOfCallBand(args.call, args.band)) {
            if (qsoLog.At(i).dupe != 0 && !occupied) {
                qsoLog.SetDupe(i, false);
                healed.push_back(&qsoLog.At(i));
            }
            occupied = occupied || qsoLog.At(i).OccupiesBand();
        }
    }

    // Only the removed QSO's own lines go: same worked call and same date-time, both exactly; and the dupe
    // lines of the QSOs that are no dupes any more.
    if (qsoLog.Empty()) bandsSeen.clear();
    badQsoFile.RemoveLinesOf(args.call, badqso::LineDateTime(args.time), healed);
}

void Engine::Reset(const ResetArgs& args) {
    AssertLocked();
    contestStartDayMonth = args.contestStart.Format("%d.%m");
    contestStartYear = args.contestStart.Format("%Y");
    contestEnd = args.contestEnd.Format("%d.%m.%Y");
    period = ContestPeriod::Of(args.contestStart, args.contestEnd);
    badQsoFileName = contest.BadQsoFileName(args.contestEnd);
    hostversion::Update(args.iniFolder, hostVersion);

    qsoLog.Clear();
    bandsSeen.clear();
    ownCall = args.ownCall;
    ownPrefix = args.ownPrefix;
    cabrilloRequested = args.cabrilloRequest;
    if (contest.IsRussianTextPrefix(args.ownPrefix)) russianTexts = 1;
}

void Engine::CreateBadQsoFile() {
    AssertLocked();
    loggingBurst = false;
    badQsoFile.Create(badQsoFileName, contest.badQsoFileTitle);
}
