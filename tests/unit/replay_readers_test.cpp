// The two log readers: the four published logs read completely, and damaged input is reported line by
// line, never dropped without a word.
#include <gtest/gtest.h>

#include <map>

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"
#include "log_readers.h"
#include "temp_dir.h"

using namespace replay;

namespace {

const std::string kLogs = STATS_SOURCE_DIR "/tests/data/published-logs/";

ParsedLog ReadOrFail(const std::string& name) {
    ParsedLog log;
    std::string error;
    EXPECT_TRUE(ReadLogFile(kLogs + name, contest::ArrlRttyRoundup(), log, error)) << error;
    return log;
}

std::string Fields(const LogQso& q) {
    return q.ownCall + "|" + q.call + "|" + q.time.Format("%Y-%m-%d %H%M") + "|" + std::to_string(q.frequencyHz) +
           "|" + q.band + "|" + q.mode + "|" + q.rstSent + "|" + q.exchSent + "|" + q.rstRcvd + "|" + q.exchRcvd;
}

// The skipped lines' reasons by line number.
std::map<int, std::string> SkippedByLine(const ParsedLog& log) {
    std::map<int, std::string> skipped;
    for (const LogProblem& p : log.skipped) skipped[p.line] = p.reason;
    return skipped;
}

// The text with every line end (LF or CRLF) made eol: the readers must see the same lines in each form.
std::string WithLineEnds(const std::string& text, const std::string& eol) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n') out += eol; else out += text[i];
    }
    return out;
}

const char* const kLineEnds[] = {"\n", "\r\n", "\r"};

struct RealLog {
    const char* file;
    const char* ownCall;
    size_t qsos;
};

TEST(ReplayReaders, PublishedLogsAreReadWhole) {
    const RealLog logs[] = {{"ARRL-RTTY_2018_4U1WB.log", "4U1WB", 506},
                            {"ARRL-RTTY_2019_AA2IL.log", "AA2IL", 698},
                            {"ARRL-RTTY_2025_9H1XT.log", "9H1XT", 309},
                            {"ARRL-RTTY_2025_AL7LO.log", "AL7LO", 64}};
    for (const RealLog& r : logs) {
        SCOPED_TRACE(r.file);
        ParsedLog log = ReadOrFail(r.file);
        EXPECT_EQ(log.format, LogFormat::cabrillo);
        EXPECT_EQ(log.ownCall, r.ownCall);
        EXPECT_EQ(log.qsos.size(), r.qsos);
        EXPECT_TRUE(log.skipped.empty());
        EXPECT_FALSE(log.claimedScore.has_value());  // none of them states one
        for (const LogQso& q : log.qsos) {
            EXPECT_TRUE(q.time.IsValid()) << q.line;
            EXPECT_FALSE(q.band.empty()) << q.line;  // every QSO is on an amateur band
            EXPECT_EQ(q.ownCall, r.ownCall) << q.line;
        }
    }
}

TEST(ReplayReaders, CabrilloQsoLinesBecomeWhatTheHostPasses) {
    ParsedLog aa2il = ReadOrFail("ARRL-RTTY_2019_AA2IL.log");
    std::map<std::string, int> modes;
    for (const LogQso& q : aa2il.qsos) modes[q.mode]++;
    EXPECT_EQ(modes["RTTY"], 542);
    EXPECT_EQ(modes["FT8"], 156);  // logged as Cabrillo DG
    EXPECT_EQ(modes.size(), 2u);
    ASSERT_FALSE(aa2il.qsos.empty());
    // The first QSO and the exact duplicate line, in file order with their line numbers.
    EXPECT_EQ(Fields(aa2il.qsos[0]), "AA2IL|NR2C|2019-01-05 1814|21098000|15m|RTTY|599|CA|599|NY");
    EXPECT_EQ(aa2il.qsos[0].line, 14);
    const LogQso* dupes[2] = {nullptr, nullptr};
    for (const LogQso& q : aa2il.qsos) {
        if (q.line == 439) dupes[0] = &q;
        if (q.line == 440) dupes[1] = &q;
    }
    ASSERT_TRUE(dupes[0] && dupes[1]);
    EXPECT_EQ(Fields(*dupes[0]), "AA2IL|WB4MM|2019-01-06 0816|7080000|40m|FT8|559|CA|549|FL");
    EXPECT_EQ(Fields(*dupes[1]), Fields(*dupes[0]));

    ParsedLog dx = ReadOrFail("ARRL-RTTY_2025_9H1XT.log");
    ASSERT_FALSE(dx.qsos.empty());
    EXPECT_EQ(Fields(dx.qsos[0]), "9H1XT|9A1CCY|2025-01-04 2252|3587000|80m|RTTY|599|1|599|0129");
    std::map<std::string, int> bands;
    for (const LogQso& q : dx.qsos) bands[q.band]++;
    EXPECT_EQ(bands.size(), 5u);
    for (const char* b : {"80m", "40m", "20m", "15m", "10m"}) EXPECT_GT(bands[b], 0) << b;
}

TEST(ReplayReaders, CabrilloDamageIsReportedByLine) {
    const std::string text =
        "START-OF-LOG: 3.0\r\n"                                                        // 1
        "CALLSIGN: W1AW\r\n"                                                           // 2
        "CLAIMED-SCORE: 12,345\r\n"                                                    // 3
        "QSO: 14080 RY 2019-01-05 1814 W1AW 599 CT DL1ABC 599 0001\r\n"                // 4 good
        "QSO:  7080   RY   2019-01-05   1815   W1AW 599 CT  K1ABC  599  MA\r\n"         // 5 good, wide columns
        "QSO: 14080 RY 2019-01-05 1816 W1AW 599 CT DL1ABC 599\r\n"                     // 6 no exchange
        "QSO: 14O80 RY 2019-01-05 1817 W1AW 599 CT DL1ABC 599 0002\r\n"                // 7 letter O in freq
        "QSO: 14080 RY 2019-13-05 1818 W1AW 599 CT DL1ABC 599 0003\r\n"                // 8 month 13
        "QSO: 14080 RY 05-01-2019 1819 W1AW 599 CT DL1ABC 599 0004\r\n"                // 9 date order
        "QSO: 14080 RY 2019-01-05 2460 W1AW 599 CT DL1ABC 599 0005\r\n"                // 10 hour 24
        "this is not a log line\r\n"                                                   // 11 garbage
        "\r\n"                                                                         // 12 blank: fine
        "X-QSO: 14080 RY 2019-01-05 1820 W1AW 599 CT DL2ABC 599 0006\r\n"              // 13 excluded
        "QSO: 21080 RY 2019-01-05 1821 W1AW 599 CT G3ABC 599 0007 1\r\n"               // 14 transmitter id
        "QSO: 21080 RY 2019-01-05 1822 W1AW 599 CT G3ABC 599 0007 extra junk\r\n"      // 15 too many
        "qso: 3580 PK 2019-01-05 805 W1AW 599 CT VE3ABC 599 ON\n"                     // 16 lower case, 3-digit time
        "QS0: 3580 RY 2019-01-05 1823 W1AW 599 CT VE3ABD 599 ON\n"                    // 17 a zero for an O
        "HQ-CLUB-ABBR: ABC\nX-MY-NOTE: fine\nCATEGORY-TIME: 24-HOURS\nADDRESS-CITY: Newington\n"  // 18-21
        "QSO: 14080 RY 2019-01-00 1824 W1AW 599 CT DL1ABC 599 0008\r\n"                // 22 day 0
        "QSO: 14080 RY 2019-01-32 1825 W1AW 599 CT DL1ABC 599 0009\r\n"                // 23 day 32
        "END-OF-LOG:\r\n";
    for (const char* eol : kLineEnds) {
        SCOPED_TRACE(testing::PrintToString(eol));
        ParsedLog log = ParseCabrillo(WithLineEnds(text, eol), "t.log", contest::ArrlRttyRoundup());
        EXPECT_EQ(log.ownCall, "W1AW");
        ASSERT_TRUE(log.claimedScore.has_value());
        EXPECT_EQ(*log.claimedScore, 12345);

        std::vector<int> used;
        for (const LogQso& q : log.qsos) used.push_back(q.line);
        EXPECT_EQ(used, (std::vector<int>{4, 5, 6, 14, 16}));
        EXPECT_EQ(Fields(log.qsos[1]), "W1AW|K1ABC|2019-01-05 1815|7080000|40m|RTTY|599|CT|599|MA");
        EXPECT_EQ(Fields(log.qsos[2]), "W1AW|DL1ABC|2019-01-05 1816|14080000|20m|RTTY|599|CT|599|");
        EXPECT_EQ(Fields(log.qsos[4]), "W1AW|VE3ABC|2019-01-05 0805|3580000|80m|PACKET|599|CT|599|ON");
        ASSERT_EQ(log.notes.size(), 1u);
        EXPECT_EQ(log.notes[0].line, 6);
        EXPECT_EQ(log.notes[0].reason, "no received exchange for DL1ABC (passed on empty)");

        std::map<int, std::string> expected = {
            {7, "frequency '14O80' is not a frequency in kHz"},
            {8, "no such date or time: 2019-13-05 1818"},
            {9, "date '05-01-2019' is not YYYY-MM-DD"},
            {10, "no such date or time: 2019-01-05 2460"},
            {11, "not a Cabrillo line (no TAG: at its start)"},
            {13, "X-QSO line: the log itself leaves this QSO out"},
            {15, "QSO line has 12 fields, expected 10 (freq mode date time mycall rst exch call rst exch)"},
            {17, "unknown tag QS0: line not used"},
            {22, "no such date or time: 2019-01-00 1824"},
            {23, "no such date or time: 2019-01-32 1825"},
        };
        EXPECT_EQ(SkippedByLine(log), expected);
    }
}

// The transmitter field after the received exchange: after a whole exchange it is always the transmitter;
// after a CQ WW DX station's zone alone ("599 14 1") only in a log whose other lines carry the field.
TEST(ReplayReaders, CabrilloTransmitterFieldAfterTheReceivedExchange) {
    const std::string cqww = "QSO: 14080 RY 2019-09-28 0000 DL1AA 599 14 DX ";
    struct Case {
        const contest::Record& contest;
        std::vector<std::string> lines;
        std::vector<std::pair<std::string, int>> received;  // each QSO's exchange and transmitter
    } cases[] = {
        {contest::ArrlRttyRoundup(),
         {"QSO: 21080 RY 2019-01-05 1821 W1AW 599 CT G3ABC 599 0007 1", "QSO: 7080 RY 2019-01-05 1822 W1AW 599 CT "
                                                                       "K1ABC 599 MA"},
         {{"0007", 1}, {"MA", -1}}},
        {contest::CqWwRtty(),
         {cqww + "JA1AA 599 25 1", cqww + "W1AW 599 05 MA 0", cqww + "G3AA 599 14 DX 1", cqww + "K1AB 599 5 0"},
         {{"25", 1}, {"05 MA", 0}, {"14 DX", 1}, {"5", 0}}},
        {contest::CqWwRtty(), {cqww + "JA1AA 599 25 1", cqww + "W1AW 599 05 MA"}, {{"25 1", -1}, {"05 MA", -1}}},
    };
    for (const Case& c : cases) {
        std::string text = "START-OF-LOG: 3.0\nCALLSIGN: DL1AA\n";
        for (const std::string& line : c.lines) text += line + "\n";
        const ParsedLog log = ParseCabrillo(text, "t.log", c.contest);
        SCOPED_TRACE(c.lines.front());
        EXPECT_TRUE(log.skipped.empty());
        std::vector<std::pair<std::string, int>> received;
        for (const LogQso& q : log.qsos) received.emplace_back(q.exchRcvd, q.transmitter);
        EXPECT_EQ(received, c.received);
    }
}

// A line without the sent report keeps its exchange where it belongs; a report of two digits is a report.
TEST(ReplayReaders, CabrilloLineWithoutTheSentReport) {
    const std::string roundup = "QSO: 14080 RY 2025-01-04 1900 ", cqww = "QSO: 14080 RY 2024-09-28 0000 ";
    struct Case {
        const contest::Record& contest;
        std::string line;
        const char* read;  // sent report|sent|call|received
    } cases[] = {
        {contest::ArrlRttyRoundup(), roundup + "W1AW CT K2BB 599 NY", "|CT|K2BB|NY"},
        {contest::ArrlRttyRoundup(), roundup + "DL1AA 12 W1AW 599 CT", "|12|W1AW|CT"},
        {contest::ArrlRttyRoundup(), roundup + "W1AW 599 CT DL1ABC 599", "599|CT|DL1ABC|"},
        {contest::ArrlRttyRoundup(), roundup + "W1AW 599 CT K2BB 599 NY", "599|CT|K2BB|NY"},
        {contest::CqWwRtty(), cqww + "W1AW 05 MA DL1AA 599 14", "|05 MA|DL1AA|14"},
        {contest::CqWwRtty(), cqww + "DL1AA 14 W1AW 599 05 MA", "|14|W1AW|05 MA"},
        {contest::CqWwRtty(), cqww + "DL1AA 14 DX W1AW 599 05 MA", "|14 DX|W1AW|05 MA"},
        {contest::CqWwRtty(), cqww + "W1AW MA 05 DL1AA 599 14", "|MA 05|DL1AA|14"},
        {contest::CqWwRtty(), cqww + "DL1AA 599 14 W1AW 599 05 MA", "599|14|W1AW|05 MA"},
        {contest::CqWwRtty(), cqww + "DL1AA 59 40 W1AW 59 05 MA", "59|40|W1AW|05 MA"},
    };
    for (const Case& c : cases) {
        const ParsedLog log = ParseCabrillo("START-OF-LOG: 3.0\n" + c.line + "\n", "t.log", c.contest);
        ASSERT_EQ(log.qsos.size(), 1u) << c.line;
        const LogQso& q = log.qsos[0];
        EXPECT_EQ(q.rstSent + "|" + q.exchSent + "|" + q.call + "|" + q.exchRcvd, c.read) << c.line;
    }
}

TEST(ReplayReaders, CabrilloWithoutCallsignTakesTheFirstQsosOwnCall) {
    ParsedLog log = ParseCabrillo("QSO: 14080 RY 2019-01-05 1814 N0CALL 599 MN DL1ABC 599 0001\n", "x", contest::ArrlRttyRoundup());
    EXPECT_EQ(log.ownCall, "N0CALL");
    EXPECT_EQ(log.qsos.size(), 1u);
}

const char* const kAdif =
    "Exported by a logger <with angle brackets in the header text>\n"  // 1
    "<ADIF_VER:5>3.1.4 <PROGRAMID:4>Test\n"                              // 2
    "<EOH>\n"                                                            // 3
    "<CALL:6>DL1ABC <QSO_DATE:8:D>20190105 <TIME_ON:6>181455 <FREQ:9>14.082500 <MODE:4>RTTY\n"  // 4
    "<RST_SENT:3>599 <RST_RCVD:3>599 <STX_STRING:2>CA <SRX:3>129 <STATION_CALLSIGN:5>AA2IL <EOR>\n"
    "<call:5>K1ABC <qso_date:8>20190105 <time_on:4>1820 <band:3>40M <mode:3>PSK <submode:5>PSK31\n"  // 6
    "<stx_string:2>CA <state:2>MA <eor>\n"
    "<CALL:6>VE3ABC <QSO_DATE:8>20190105 <TIME_ON:4>1821 <FREQ:5>3.585 <MODE:3>TOR <SUBMODE:8>AMTORFEC "  // 8
    "<STX:1>7 <VE_PROV:2>ON <COMMENT:12>a <b> c\nde f <EOR>\n"
    "<CALL:5>N0ABC <QSO_DATE:8>20190105 <TIME_ON:4>1822 <FREQ:6>28.080 <MODE:3>PKT <EOR>\n"  // 10
    "<CALL:5>N0ABD <QSO_DATE:8>20190105 <TIME_ON:4>1823 <FREQ:6>10.140 <BAND:3>30m <MODE:3>FT8 <EOR>\n"  // 11
    "<QSO_DATE:8>20190105 <TIME_ON:4>1824 <FREQ:6>14.080 <MODE:4>RTTY <EOR>\n"  // 12 no CALL
    "<CALL:5>N0ABE <TIME_ON:4>1825 <FREQ:6>14.080 <MODE:4>RTTY <EOR>\n"  // 13 no date
    "<CALL:5>N0ABF <QSO_DATE:8>20190105 <TIME_ON:4>1826 <MODE:4>RTTY <EOR>\n"  // 14 no FREQ/BAND
    "<CALL:5>N0ABG <QSO_DATE:8>20190105 <TIME_ON:4>1827 <FREQ:6>14.080 <EOR>\n"  // 15 no MODE
    "<CALL:5>N0ABH <QSO_DATE:8>20190230 <TIME_ON:4>1828 <FREQ:6>14.080 <MODE:4>RTTY <EOR>\n"  // 16 30 Feb
    "<CALL:5>N0ABI <QSO_DATE:8>20190105 <TIME_ON:4>1829 <FREQ:6>14.08x <MODE:4>RTTY <EOR>\n"  // 17 bad FREQ
    "<CALL:5>N0ABJ <QSO_DATE:8>20190105 <TIME_ON:4>1830 <FREQ:6>14.080 <MODE:4 RTTY <EOR>\n"  // 18 field length not closed
    "<EOR>\n"                                                                                  // 19 empty
    "<CALL:5>N0ABK <QSO_DATE:8>20190105 <TIME_ON:4>1831 <FREQ:6>14.080 <MODE:4>RTTY <NAME:40>Jo";  // 20 cut

TEST(ReplayReaders, AdifFieldsBecomeWhatTheHostPasses) {
    ParsedLog log = ParseAdif(kAdif, "t.adi");
    EXPECT_EQ(log.format, LogFormat::adif);
    EXPECT_EQ(log.ownCall, "AA2IL");
    ASSERT_EQ(log.qsos.size(), 5u);
    EXPECT_EQ(Fields(log.qsos[0]), "AA2IL|DL1ABC|2019-01-05 1814|14082500|20m|RTTY|599|CA|599|129");
    EXPECT_EQ(log.qsos[0].line, 4);
    // Band only: the band's lower edge stands in for the frequency; STATE is the received exchange.
    EXPECT_EQ(Fields(log.qsos[1]), "|K1ABC|2019-01-05 1820|7000000|40m|BPSK31||CA||MA");
    EXPECT_EQ(log.qsos[1].line, 6);
    // Data is taken by its length: '<', '>' and a line break inside a comment do not end it.
    EXPECT_EQ(Fields(log.qsos[2]), "|VE3ABC|2019-01-05 1821|3585000|80m|AMTOR||7||ON");
    EXPECT_EQ(Fields(log.qsos[3]), "|N0ABC|2019-01-05 1822|28080000|10m|PACKET||||");
    EXPECT_EQ(Fields(log.qsos[4]), "|N0ABD|2019-01-05 1823|10140000|30m|FT8||||");
    EXPECT_EQ(log.qsos[4].line, 11);
}

TEST(ReplayReaders, AdifDamageIsReportedByRecord) {
    for (const char* eol : kLineEnds) {
        SCOPED_TRACE(testing::PrintToString(eol));
        ParsedLog log = ParseAdif(WithLineEnds(kAdif, eol), "t.adi");
        std::map<int, std::string> expected = {
            {12, "record without CALL"},
            {13, "record for N0ABE without QSO_DATE"},
            {14, "record for N0ABF without FREQ or BAND"},
            {15, "record for N0ABG without MODE"},
            {16, "no such date or time: 20190230 1828"},
            {17, "FREQ '14.08x' is not a frequency in MHz"},
            {18, "malformed field '<MODE:4 RTTY <EOR>' at line 18"},
            {19, "<EOR> without any field before it"},
            {20, "field NAME at line 20 is cut off: length 40, only 2 characters left"},
        };
        EXPECT_EQ(SkippedByLine(log), expected);
        // Every record is accounted for: 5 used + 9 reported for 14 <EOR>-delimited records and the cut one.
        EXPECT_EQ(log.qsos.size() + log.skipped.size(), 14u);
    }
}

TEST(ReplayReaders, AdifWithoutHeaderOrFinalEor) {
    ParsedLog log = ParseAdif("<CALL:4>W1AW<QSO_DATE:8>20190105<TIME_ON:4>1900<BAND:3>20m<MODE:4>RTTY<EOR>"
                              "<CALL:4>K1AB<QSO_DATE:8>20190105<TIME_ON:4>1901<BAND:3>20m<MODE:4>RTTY\n",
                              "t.adi");
    ASSERT_EQ(log.qsos.size(), 2u);
    EXPECT_EQ(log.qsos[1].call, "K1AB");
    ASSERT_EQ(log.notes.size(), 3u);
    EXPECT_EQ(log.notes[0].reason, "no received exchange for W1AW (no SRX_STRING, SRX, STATE or VE_PROV; passed on empty)");
    EXPECT_EQ(log.notes[1].reason, "last record has no <EOR>; it is used as it stands");
    EXPECT_TRUE(log.skipped.empty());

    ParsedLog noEoh = ParseAdif("header text but no end of it\n<CALL:4>W1AW<EOR>\n", "t.adi");
    EXPECT_TRUE(noEoh.qsos.empty());
    ASSERT_EQ(noEoh.skipped.size(), 1u);
    EXPECT_EQ(noEoh.skipped[0].reason, "ADIF header without <EOH>: no records read");
}

// Both readers give calls in upper case and the station's own Cabrillo header fields by tag: Cabrillo 2.0's
// CATEGORY: and ARRL-SECTION: as the 3.0 fields they stand for (a 3.0 line of the log itself wins), ADIF's
// CONTEST_ID as CONTEST. A Cabrillo log without END-OF-LOG: says where it ends.
TEST(ReplayReaders, OwnStationAndHeaderFields) {
    struct Case {
        const char* what;
        ParsedLog log;
        std::map<std::string, std::string> header;
        int cutAfterLine = 0;
    };
    const std::string qso = "QSO: 14080 RY 2019-01-05 1814 w1aw 599 CT dl1abc 599 0001\n";
    const Case cases[] = {
        {"Cabrillo",
         ParseCabrillo("START-OF-LOG: 3.0\ncallsign: w1aw\nLOCATION: CT\nE-MAIL: a@b.c\nSOAPBOX: one\nSOAPBOX:\n"
                       "SOAPBOX: three\nADDRESS: 1 Main St\nADDRESS: Apt 2\nOPERATORS: W1AW\nOPERATORS: K1XX\n"
                       "CATEGORY-TIME: 6-HOURS\nCONTEST: ARRL-RTTY\n"
                       "QSO: 14080 RY 2019-01-05 1814 w1aw 599 CT dl1abc 599 0001\n",
                       "t.log", contest::ArrlRttyRoundup()),
         {{"CALLSIGN", "W1AW"}, {"LOCATION", "CT"}, {"EMAIL", "a@b.c"}, {"SOAPBOX", "one\nthree"},
          {"ADDRESS", "1 Main St, Apt 2"}, {"OPERATORS", "W1AW K1XX"}, {"CONTEST", "ARRL-RTTY"}},
         14},
        {"Cabrillo 2.0",
         ParseCabrillo("START-OF-LOG: 2.0\nARRL-SECTION: ctx\nCALLSIGN: W1AW\nCATEGORY: SINGLE-OP-ASSISTED ALL LOW\n" +
                           qso + "END-OF-LOG:\n",
                       "t.log", contest::ArrlRttyRoundup()),
         {{"CALLSIGN", "W1AW"}, {"LOCATION", "CTX"}, {"CATEGORY-OPERATOR", "SINGLE-OP"},
          {"CATEGORY-ASSISTED", "ASSISTED"}, {"CATEGORY-BAND", "ALL"}, {"CATEGORY-POWER", "LOW"}}},
        {"Cabrillo 2.0 beside 3.0 lines",
         ParseCabrillo("CALLSIGN: W1AW\nCATEGORY: multi-two 20M HIGH RTTY\nCATEGORY-POWER: LOW\nLOCATION: CT\n"
                       "ARRL-SECTION: EMA\n" + qso + "END-OF-LOG:\n\n",
                       "t.log", contest::ArrlRttyRoundup()),
         {{"CALLSIGN", "W1AW"}, {"LOCATION", "CT"}, {"CATEGORY-OPERATOR", "MULTI-OP"},
          {"CATEGORY-TRANSMITTER", "TWO"}, {"CATEGORY-BAND", "20M"}, {"CATEGORY-POWER", "LOW"},
          {"CATEGORY-MODE", "RTTY"}}},
        {"Cabrillo 2.0 single operator", ParseCabrillo("CALLSIGN: W1AW\nCATEGORY: SINGLE-OP ALL QRP\n" + qso +
                                                           "END-OF-LOG:\n", "t.log", contest::ArrlRttyRoundup()),
         {{"CALLSIGN", "W1AW"}, {"CATEGORY-OPERATOR", "SINGLE-OP"}, {"CATEGORY-ASSISTED", "NON-ASSISTED"},
          {"CATEGORY-BAND", "ALL"}, {"CATEGORY-POWER", "QRP"}}},
        {"Cabrillo cut short", ParseCabrillo("CALLSIGN: W1AW\n" + qso + "QSO: 14080 RY 2019-01", "t.log",
                                             contest::ArrlRttyRoundup()),
         {{"CALLSIGN", "W1AW"}}, 3},
        {"ADIF",
         ParseAdif("Log of W1AW <CATEGORY_POWER:3>LOW <club:4>PVRC <PROGRAMID:4>Test <EOH>\n"
                   "<CALL:6>dl1abc <QSO_DATE:8>20190105 <TIME_ON:4>1814 <BAND:3>20m <MODE:4>RTTY <SRX:1>1 "
                   "<STATION_CALLSIGN:4>w1aw <OPERATOR:4>K1XX <MY_STATE:2>CT <MY_NAME:2>Jo <MY_STREET:4>Main "
                   "<MY_CITY:4>Town <MY_POSTAL_CODE:5>06111 <MY_COUNTRY:3>USA <EOR>\n"
                   "<CALL:6>DL2ABC <QSO_DATE:8>20190105 <TIME_ON:4>1815 <BAND:3>20m <MODE:4>RTTY <SRX:1>2 "
                   "<MY_STATE:2>NY <MY_NAME:3>Bob <CONTEST_ID:10>CQ-WW-RTTY <EOR>\n",
                   "t.adi"),
         {{"CATEGORY-POWER", "LOW"}, {"CLUB", "PVRC"}, {"CALLSIGN", "W1AW"}, {"OPERATORS", "K1XX"},
          {"LOCATION", "CT"}, {"NAME", "Jo"}, {"ADDRESS", "Main"}, {"ADDRESS-CITY", "Town"},
          {"ADDRESS-POSTALCODE", "06111"}, {"ADDRESS-COUNTRY", "USA"}, {"CONTEST", "CQ-WW-RTTY"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.log.qsos.empty());
        EXPECT_EQ(c.log.qsos[0].call, "DL1ABC");
        EXPECT_EQ(c.log.qsos[0].ownCall, "W1AW");
        EXPECT_EQ(c.log.ownCall, "W1AW");
        EXPECT_EQ(c.log.header, c.header);
        EXPECT_EQ(c.log.cutAfterLine, c.cutAfterLine);
        EXPECT_TRUE(c.log.skipped.empty() || c.cutAfterLine) << c.log.skipped[0].reason;
    }
}

TEST(ReplayReaders, FormatIsChosenByContentBeforeExtension) {
    struct Case {
        const char* content;
        const char* name;
        LogFormat expected;
    };
    const Case cases[] = {
        {"START-OF-LOG: 3.0\nQSO: 14080 RY 2019-01-05 1814 W1AW 599 CT DL1ABC 599 1\n", "x.adi", LogFormat::cabrillo},
        {"  \nstart-of-log: 3.0\n", "x.txt", LogFormat::cabrillo},
        {"QSO: 14080 RY 2019-01-05 1814 W1AW 599 CT DL1ABC 599 1\n", "x.txt", LogFormat::cabrillo},
        {"notes\nQSO: 14080 RY 2019-01-05 1814 W1AW 599 CT DL1ABC 599 1\n", "x.txt", LogFormat::cabrillo},
        {"# Logs\nA line reads:\nQSO: 14080 RY 2019-01-05 1814 W1AW 599 CT DL1ABC 599 1\n", "x.md", LogFormat::unknown},
        {"my log\n<eoh>\n<call:4>W1AW<eor>\n", "x.log", LogFormat::adif},
        {"<CALL:4>W1AW <MODE:4>RTTY", "x.cbr", LogFormat::adif},
        {"nothing to go by\n", "x.adif", LogFormat::adif},
        {"nothing to go by\n", "x.LOG", LogFormat::cabrillo},
        {"nothing to go by\n", "x.txt", LogFormat::unknown},
        {"", "x.log", LogFormat::unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(DetectLogFormat(c.content, c.name), c.expected) << c.content << c.name;
}

TEST(ReplayReaders, UnusableFilesAreOneLineErrors) {
    TempWorkDir dir;
    WriteFileBytes("empty.log", "");
    WriteFileBytes("blank.adi", " \r\n\r\n");
    WriteFileBytes("notes.txt", "just some notes\n");
    WriteFileBytes("BadQSO.txt", "ARRL-RTTY-Roundup Contest UBN file \r\nQSO:  7080  RTTY  2020-01-04 1800  W1AW  599  CT  "
                                 "K1AB  599  CT   DUPE !!!\r\n");
    struct Case {
        const char* path;
        const char* error;
    };
    const Case cases[] = {
        {"missing.log", "cannot read missing.log: no such file"},
        {"Plugins", "cannot read Plugins: it is a folder"},
        {"empty.log", "empty.log is empty: no QSOs to replay"},
        {"blank.adi", "blank.adi is empty: no QSOs to replay"},
        {"notes.txt", "notes.txt is neither a Cabrillo nor an ADIF log"},
        {"BadQSO.txt", "BadQSO.txt is the plug-in's bad-QSO file, not a log"},
    };
    for (const Case& c : cases) {
        ParsedLog log;
        std::string error;
        EXPECT_FALSE(ReadLogFile(c.path, contest::ArrlRttyRoundup(), log, error));
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
