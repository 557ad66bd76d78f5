// Cabrillo 3.0 reader. Real logs align their columns with single blanks or many, so QSO lines are read by
// tokens, not by the column positions of the template.
#include <cctype>
#include <cstdlib>

#include "band_mode.h"
#include "common/text.h"
#include "header_fields.h"
#include "log_readers.h"

namespace replay {

const char* LogFormatName(LogFormat format) {
    switch (format) {
        case LogFormat::cabrillo: return "Cabrillo";
        case LogFormat::adif: return "ADIF";
        default: return "unknown";
    }
}

namespace {

std::vector<std::string> Tokens(const std::string& s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        size_t start = i;
        while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

const char* const kEndOfLogTag = "END-OF-LOG";

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// Header tags of Cabrillo 2 and 3, and the families loggers and sponsors add. Any other tag is most likely a
// damaged QSO line, so it is reported rather than passed over.
bool IsHeaderTag(const std::string& tag) {
    // Beside the tags of the header dialog's fields.
    static const char* const kTags[] = {"START-OF-LOG", kEndOfLogTag,   "CERTIFICATE", "CREATED-BY",
                                        "E-MAIL",       "GRID-LOCATOR", "OFFTIME",     "DEBUG",
                                        "ARRL-SECTION", "IOTA-ISLAND-NAME", "STATION-CALLSIGN"};
    for (const char* t : kTags) {
        if (tag == t) return true;
    }
    for (const CabrilloHeaderTag& t : CabrilloHeaderTags()) {
        if (tag == t.tag) return true;
    }
    for (const char* family : {"CATEGORY-", "ADDRESS-", "X-", "HQ-"}) {
        if (tag.rfind(family, 0) == 0) return true;
    }
    return false;
}

bool HasDigit(const std::string& s) {
    for (char c : s) {
        if (std::isdigit(static_cast<unsigned char>(c))) return true;
    }
    return false;
}

bool IsReport(const std::string& s) { return AllDigits(s) && s.size() >= 2 && s.size() <= 3; }

bool IsCallField(const std::string& s) {
    bool letter = false;
    for (char c : s) letter = letter || std::isalpha(static_cast<unsigned char>(c));
    return letter && HasDigit(s);
}

// Nine fields ending in "call rst": the received exchange is what is missing.
bool LacksOnlyReceivedExchange(const std::vector<std::string>& f) {
    return f.size() == 9 && IsCallField(f[7]) && IsReport(f[8]);
}

// Nine fields with the worked call and its report where the sent exchange should stand: the sent report is
// what is missing ("mycall NY W1AW 599 CT"), and the sent exchange is the field before the call.
bool LacksOnlySentReport(const std::vector<std::string>& f) {
    return f.size() == 9 && IsCallField(f[6]) && IsReport(f[7]) && !IsCallField(f[5]);
}

// A first word of an exchange of several words where the sent report should stand: a zone (1 or 2 digits, up to
// 40) or a word of letters ("MA", "DX"); a report is "599", "59" or "5NN".
bool StartsExchange(const std::string& s) {
    if (AllDigits(s)) return s.size() <= 2 && std::atoi(s.c_str()) <= 40;
    for (char c : s) {
        if (!std::isalpha(static_cast<unsigned char>(c))) return false;
    }
    return !s.empty();
}

bool IsTransmitterField(const std::string& s) {
    return s.size() == 1 && std::isdigit(static_cast<unsigned char>(s[0]));
}

// A contest whose exchange is several words ("599 05 MA"): the fields "freq mode date time mycall rst SENT call
// rst RCVD [t]" joined into ten, each exchange one text of its words, and the transmitter field `t` into
// `transmitter`. The worked call is the first field after the sent report (and the sent exchange's first word)
// that holds a letter and a digit and is followed by a report; each exchange may lack words (a DX station's
// "599 14"), none may have more than the contest's. A received exchange of all its words whose last is one digit
// ("599 14 1") may be a short exchange and its transmitter: `lastWordMayBeTransmitter` says so, for the log as a
// whole to decide.
bool JoinExchangeWords(std::vector<std::string>& f, size_t words, int& transmitter, bool& lastWordMayBeTransmitter) {
    if (f.size() < 8) return false;
    // A line without the sent report: its sent exchange starts where the report should stand.
    if (StartsExchange(f[5])) f.insert(f.begin() + 5, "");
    if (f.size() < 9) return false;
    size_t call = 0;
    for (size_t k = 7; k <= 6 + words && k + 1 < f.size(); ++k) {
        if (IsCallField(f[k]) && IsReport(f[k + 1])) call = k;
    }
    if (call == 0) return false;
    size_t end = f.size();
    // A multi-transmitter log's transmitter number (0 or 1) after a whole received exchange.
    if (end - (call + 2) == words + 1 && IsTransmitterField(f[end - 1])) {
        transmitter = f[--end][0] - '0';
    }
    if (end - (call + 2) > words) return false;
    lastWordMayBeTransmitter = transmitter < 0 && end - (call + 2) == words && IsTransmitterField(f[end - 1]);
    auto join = [&f](size_t from, size_t to) {
        std::string s;
        for (size_t i = from; i < to; ++i) s += (s.empty() ? "" : " ") + f[i];
        return s;
    };
    std::vector<std::string> joined(f.begin(), f.begin() + 6);
    joined.push_back(join(6, call));
    joined.push_back(f[call]);
    joined.push_back(f[call + 1]);
    joined.push_back(join(call + 2, end));
    f = std::move(joined);
    return true;
}

using F = CabrilloHeaderFields;

// Cabrillo 2.0 gives the category on one line, "CATEGORY: SINGLE-OP-ASSISTED ALL LOW", and the ARRL section
// under ARRL-SECTION: each word goes to the 3.0 field it names, which the tools read (a field the log
// gives in 3.0 form itself is kept). SINGLE-OP is the unassisted entry, as 2.0 names the assisted one apart.
const char* const kCategory2Tag = "CATEGORY";
const char* const kArrlSectionTag = "ARRL-SECTION";
const struct {
    const char* word;
    std::string F::*field;
    const char* value;
} kCategory2Words[] = {
    {"SINGLE-OP", &F::categoryOperator, "SINGLE-OP"},
    {"SINGLE-OP", &F::categoryAssisted, "NON-ASSISTED"},
    {"SINGLE-OP-ASSISTED", &F::categoryOperator, "SINGLE-OP"},
    {"SINGLE-OP-ASSISTED", &F::categoryAssisted, "ASSISTED"},
    {"MULTI-ONE", &F::categoryOperator, "MULTI-OP"},
    {"MULTI-ONE", &F::categoryTransmitter, "ONE"},
    {"MULTI-TWO", &F::categoryOperator, "MULTI-OP"},
    {"MULTI-TWO", &F::categoryTransmitter, "TWO"},
    {"MULTI-MULTI", &F::categoryOperator, "MULTI-OP"},
    {"MULTI-MULTI", &F::categoryTransmitter, "UNLIMITED"},
    {"CHECKLOG", &F::categoryOperator, "CHECKLOG"},
    {"ALL", &F::categoryBand, "ALL"},
    {"160M", &F::categoryBand, "160M"},
    {"80M", &F::categoryBand, "80M"},
    {"40M", &F::categoryBand, "40M"},
    {"20M", &F::categoryBand, "20M"},
    {"15M", &F::categoryBand, "15M"},
    {"10M", &F::categoryBand, "10M"},
    {"HIGH", &F::categoryPower, "HIGH"},
    {"LOW", &F::categoryPower, "LOW"},
    {"QRP", &F::categoryPower, "QRP"},
    {"CW", &F::categoryMode, "CW"},
    {"SSB", &F::categoryMode, "SSB"},
    {"RTTY", &F::categoryMode, "RTTY"},
    {"MIXED", &F::categoryMode, "MIXED"},
};

// The 2.0 lines' fields, each where the log gives no 3.0 line of its own.
void MapCabrillo2Header(ParsedLog& log, const std::string& category, const std::string& section) {
    auto fill = [&](std::string F::*field, const std::string& value) {
        const std::string tag = CabrilloHeaderTagOf(field).tag;
        if (!value.empty() && log.header.find(tag) == log.header.end()) log.header[tag] = value;
    };
    for (const std::string& word : Tokens(text::ToUpper(category))) {
        for (const auto& w : kCategory2Words) {
            if (word == w.word) fill(w.field, w.value);
        }
    }
    fill(&F::location, text::ToUpper(section));
}

bool IsTagChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; }

// "2019-01-05" and "1814" to a date-time; an invalid value when either is malformed.
COleDateTime CabrilloTime(const std::string& date, const std::string& time, std::string& why) {
    if (date.size() != 10 || date[4] != '-' || date[7] != '-' || !AllDigits(date.substr(0, 4)) ||
        !AllDigits(date.substr(5, 2)) || !AllDigits(date.substr(8, 2))) {
        why = "date '" + date + "' is not YYYY-MM-DD";
        return COleDateTime(0.0, COleDateTime::invalid);
    }
    // Some loggers drop the leading zero of early hours ("805"); four digits is the rule.
    if (!AllDigits(time) || time.size() < 3 || time.size() > 4) {
        why = "time '" + time + "' is not HHMM";
        return COleDateTime(0.0, COleDateTime::invalid);
    }
    int hhmm = std::atoi(time.c_str());
    COleDateTime t = COleDateTime::FromFields(std::atoi(date.substr(0, 4).c_str()),
                                              std::atoi(date.substr(5, 2).c_str()),
                                              std::atoi(date.substr(8, 2).c_str()), hhmm / 100, hhmm % 100);
    if (!t.IsValid()) why = "no such date or time: " + date + " " + time;
    return t;
}

}  // namespace

ParsedLog ParseCabrillo(const std::string& content, const std::string& fileName, const contest::Record& contest) {
    ParsedLog log;
    log.format = LogFormat::cabrillo;
    log.fileName = fileName;
    std::string headerCall;
    const std::string claimedTag = CabrilloHeaderTagOf(&CabrilloHeaderFields::claimed).tag;

    int lineNo = 0;
    size_t pos = 0;
    bool hasTransmitterField = false, ended = false;
    std::string category2, section2;
    std::vector<size_t> shortWithTransmitter;  // QSOs whose received exchange may end in the transmitter field
    while (pos < content.size()) {
        size_t next = 0;
        size_t end = FindLineEnd(content, pos, next);
        std::string line = content.substr(pos, end - pos);
        pos = next;
        ++lineNo;

        std::string t = text::Trim(line);
        if (t.empty()) continue;
        size_t colon = 0;
        while (colon < t.size() && IsTagChar(t[colon])) ++colon;
        if (colon == 0 || colon >= t.size() || t[colon] != ':' || !std::isalpha(static_cast<unsigned char>(t[0]))) {
            log.skipped.push_back({lineNo, "not a Cabrillo line (no TAG: at its start)"});
            continue;
        }
        std::string tag = text::ToUpper(t.substr(0, colon));
        std::string value = text::Trim(t.substr(colon + 1));

        if (tag == CabrilloHeaderTagOf(&CabrilloHeaderFields::callsign).tag) {
            std::vector<std::string> v = Tokens(value);
            if (!v.empty()) headerCall = text::ToUpper(v[0]);
            if (!headerCall.empty()) log.header[tag] = headerCall;
            continue;
        }
        if (const HeaderField* field = FindHeaderField(tag)) {
            if (!value.empty()) AddLogHeaderLine(log.header, *field, value);
            continue;
        }
        if (tag == claimedTag) {
            std::string digits;
            for (char c : value) {
                if (c != ',' && c != '.') digits += c;  // "1,234" as some loggers write it
            }
            if (AllDigits(digits) && digits.size() < 16) {
                log.claimedScore = std::atoll(digits.c_str());
            } else if (!value.empty()) {
                log.notes.push_back({lineNo, claimedTag + " '" + value + "' is not a number"});
            }
            continue;
        }
        if (tag == kCategory2Tag) {
            category2 = value;
            continue;
        }
        if (tag == kArrlSectionTag) {
            section2 = value;
            continue;
        }
        ended = ended || tag == kEndOfLogTag;
        if (tag == "X-QSO") {
            log.skipped.push_back({lineNo, "X-QSO line: the log itself leaves this QSO out"});
            continue;
        }
        if (tag != "QSO") {
            // Header information the replay does not need, unless the tag is no header tag at all.
            if (!IsHeaderTag(tag)) log.skipped.push_back({lineNo, "unknown tag " + tag + ": line not used"});
            continue;
        }

        std::vector<std::string> f = Tokens(value);
        bool noExchange = false;
        int transmitter = -1;
        bool lastWordMayBeTransmitter = false;
        if (contest.cabrilloExchangeWords > 1) {
            const size_t fields = f.size();
            if (!JoinExchangeWords(f, contest.cabrilloExchangeWords, transmitter, lastWordMayBeTransmitter)) {
                log.skipped.push_back({lineNo, "QSO line has " + std::to_string(fields) + " fields, expected " +
                                                   std::to_string(8 + 2 * contest.cabrilloExchangeWords) +
                                                   " (freq mode date time mycall rst exch call rst exch)"});
                continue;
            }
            noExchange = f[9].empty();
        } else {
            // A multi-transmitter log adds the transmitter number (0 or 1) as an eleventh field.
            if (f.size() == 11 && IsTransmitterField(f[10])) {
                transmitter = f[10][0] - '0';
                f.pop_back();
            }
            noExchange = LacksOnlyReceivedExchange(f);
            if (noExchange) f.push_back("");
            if (LacksOnlySentReport(f)) f.insert(f.begin() + 5, "");
        }
        if (f.size() != 10) {
            log.skipped.push_back({lineNo, "QSO line has " + std::to_string(f.size()) +
                                               " fields, expected 10 (freq mode date time mycall rst exch call rst exch)"});
            continue;
        }
        auto hz = ParseScaledDecimal(f[0], 3);
        if (!hz || *hz > 0xFFFFFFFFULL) {
            log.skipped.push_back({lineNo, "frequency '" + f[0] + "' is not a frequency in kHz"});
            continue;
        }
        std::string why;
        COleDateTime time = CabrilloTime(f[2], f[3], why);
        if (!time.IsValid()) {
            log.skipped.push_back({lineNo, why});
            continue;
        }
        LogQso q;
        q.line = lineNo;
        q.frequencyHz = static_cast<unsigned>(*hz);
        q.band = BandFromFrequencyHz(*hz);
        q.mode = contest.ModeFromCabrilloCode(f[1]);
        q.time = time;
        q.ownCall = text::ToUpper(f[4]);
        q.rstSent = f[5];
        q.exchSent = f[6];
        q.call = text::ToUpper(f[7]);
        q.rstRcvd = f[8];
        q.exchRcvd = f[9];
        q.transmitter = transmitter;
        if (noExchange) log.notes.push_back({lineNo, "no received exchange for " + q.call + " (passed on empty)"});
        if (lastWordMayBeTransmitter) shortWithTransmitter.push_back(log.qsos.size());
        hasTransmitterField = hasTransmitterField || transmitter >= 0;
        log.qsos.push_back(q);
    }
    // A log whose lines carry the transmitter field carries it on its short exchanges too: "599 14 1" is zone
    // 14 from transmitter 1.
    if (hasTransmitterField) {
        for (size_t i : shortWithTransmitter) {
            LogQso& q = log.qsos[i];
            const size_t blank = q.exchRcvd.rfind(' ');
            q.transmitter = q.exchRcvd.back() - '0';
            q.exchRcvd.erase(blank == std::string::npos ? 0 : blank);
        }
    }
    log.ownCall = !headerCall.empty() ? headerCall : (log.qsos.empty() ? "" : log.qsos.front().ownCall);
    MapCabrillo2Header(log, category2, section2);
    if (!ended) log.cutAfterLine = lineNo;
    return log;
}

}  // namespace replay
