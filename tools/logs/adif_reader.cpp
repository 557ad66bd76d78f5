// ADIF reader for the .adi form: <NAME:length[:type]>data. The length is what delimits the data (data may
// hold '<' or line breaks); it is counted in bytes, which is what ADI's ASCII data means. Text between
// fields is ignored, as the format allows. A record whose fields cannot all be read is reported whole.
#include <cctype>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <sys/stat.h>

#include "band_mode.h"
#include "common/text.h"
#include "header_fields.h"
#include "log_readers.h"

namespace replay {

namespace {

using Fields = std::map<std::string, std::string>;

struct Record {
    int line = 0;  // line of its first field
    Fields fields;
    std::string error;  // first reason the record cannot be used
};

// Counts line breaks (LF, CRLF or a lone CR) lazily as the scan moves forward.
class LineCounter {
public:
    explicit LineCounter(const std::string& s) : s_(s) {}
    int LineAt(size_t pos) {
        for (; scanned_ < pos && scanned_ < s_.size(); ++scanned_) {
            char c = s_[scanned_];
            if (c == '\n' || (c == '\r' && (scanned_ + 1 == s_.size() || s_[scanned_ + 1] != '\n'))) ++line_;
        }
        return line_;
    }

private:
    const std::string& s_;
    size_t scanned_ = 0;
    int line_ = 1;
};

std::string Get(const Fields& f, const char* name) {
    auto it = f.find(name);
    return it == f.end() ? std::string() : text::Trim(it->second);
}

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// The record fields that describe the station itself, and the header field each fills.
using F = CabrilloHeaderFields;
const std::pair<const char*, std::string F::*> kOwnStationFields[] = {
    {"STATION_CALLSIGN", &F::callsign},     {"OPERATOR", &F::operators},      {"MY_STATE", &F::location},
    {"MY_NAME", &F::name},                  {"MY_STREET", &F::address},       {"MY_CITY", &F::addressCity},
    {"MY_POSTAL_CODE", &F::addressPostalCode}, {"MY_COUNTRY", &F::addressCountry},
    {"CONTEST_ID", &F::contest},
};

// Turns one complete record into a QSO, or says why not.
void AddRecord(const Record& r, ParsedLog& log) {
    if (!r.error.empty()) {
        log.skipped.push_back({r.line, r.error});
        return;
    }
    const Fields& f = r.fields;
    LogQso q;
    q.line = r.line;
    q.call = text::ToUpper(Get(f, "CALL"));
    if (q.call.empty()) {
        log.skipped.push_back({r.line, "record without CALL"});
        return;
    }
    std::string date = Get(f, "QSO_DATE");
    std::string time = Get(f, "TIME_ON");
    if (date.empty()) {
        log.skipped.push_back({r.line, "record for " + q.call + " without QSO_DATE"});
        return;
    }
    if (time.empty()) {
        log.skipped.push_back({r.line, "record for " + q.call + " without TIME_ON"});
        return;
    }
    if (date.size() != 8 || !AllDigits(date)) {
        log.skipped.push_back({r.line, "QSO_DATE '" + date + "' is not YYYYMMDD"});
        return;
    }
    if ((time.size() != 4 && time.size() != 6) || !AllDigits(time)) {
        log.skipped.push_back({r.line, "TIME_ON '" + time + "' is not HHMM or HHMMSS"});
        return;
    }
    // The host logs whole minutes.
    q.time = COleDateTime::FromFields(std::atoi(date.substr(0, 4).c_str()), std::atoi(date.substr(4, 2).c_str()),
                                      std::atoi(date.substr(6, 2).c_str()), std::atoi(time.substr(0, 2).c_str()),
                                      std::atoi(time.substr(2, 2).c_str()));
    if (!q.time.IsValid()) {
        log.skipped.push_back({r.line, "no such date or time: " + date + " " + time});
        return;
    }
    std::string mode = Get(f, "MODE");
    if (mode.empty()) {
        log.skipped.push_back({r.line, "record for " + q.call + " without MODE"});
        return;
    }
    q.mode = HostModeFromAdif(mode, Get(f, "SUBMODE"));

    std::string freq = Get(f, "FREQ");
    std::string band = Get(f, "BAND");
    bool haveFrequency = false;
    unsigned long long hz = 0;
    if (!freq.empty()) {
        auto parsed = ParseScaledDecimal(freq, 6);
        if (parsed && *parsed <= 0xFFFFFFFFULL) {
            haveFrequency = true;
            hz = *parsed;
        } else if (band.empty()) {
            log.skipped.push_back({r.line, "FREQ '" + freq + "' is not a frequency in MHz"});
            return;
        } else {
            log.notes.push_back({r.line, "FREQ '" + freq + "' is not a frequency in MHz; BAND " + band + " is used"});
        }
    }
    if (haveFrequency) {
        q.frequencyHz = static_cast<unsigned>(hz);
        q.band = BandFromFrequencyHz(hz);
        if (!band.empty() && NormaliseBandName(band) != q.band) {
            log.notes.push_back({r.line, "FREQ " + freq + " is not in BAND " + band + "; the frequency counts"});
        }
    } else if (!band.empty()) {
        auto edge = BandLowerEdgeHz(band);
        if (!edge) {
            log.skipped.push_back({r.line, "BAND '" + band + "' is no band known here, and there is no FREQ"});
            return;
        }
        // Without a frequency the host would still have one: the band's lower edge stands in for it.
        q.frequencyHz = *edge;
        q.band = NormaliseBandName(band);
    } else {
        log.skipped.push_back({r.line, "record for " + q.call + " without FREQ or BAND"});
        return;
    }

    q.ownCall = Get(f, "STATION_CALLSIGN");
    if (q.ownCall.empty()) q.ownCall = Get(f, "OPERATOR");
    q.ownCall = text::ToUpper(q.ownCall);
    q.rstSent = Get(f, "RST_SENT");
    q.rstRcvd = Get(f, "RST_RCVD");
    q.exchSent = Get(f, "STX_STRING");
    if (q.exchSent.empty()) q.exchSent = Get(f, "STX");
    if (q.exchSent.empty()) q.exchSent = Get(f, "MY_STATE");
    q.exchRcvd = Get(f, "SRX_STRING");
    if (q.exchRcvd.empty()) q.exchRcvd = Get(f, "SRX");
    if (q.exchRcvd.empty()) q.exchRcvd = Get(f, "STATE");
    if (q.exchRcvd.empty()) q.exchRcvd = Get(f, "VE_PROV");
    if (q.exchRcvd.empty()) {
        log.notes.push_back({r.line, "no received exchange for " + q.call +
                                         " (no SRX_STRING, SRX, STATE or VE_PROV; passed on empty)"});
    }
    for (const auto& own : kOwnStationFields) {
        std::string value = Get(f, own.first);
        if (own.second == &F::callsign) value = text::ToUpper(value);
        const std::string tag = CabrilloHeaderTagOf(own.second).tag;
        if (!value.empty() && log.header.find(tag) == log.header.end()) log.header[tag] = value;
    }
    log.qsos.push_back(q);
}

}  // namespace

ParsedLog ParseAdif(const std::string& content, const std::string& fileName) {
    ParsedLog log;
    log.format = LogFormat::adif;
    log.fileName = fileName;
    LineCounter lines(content);

    // A file whose first character is not '<' starts with a header, which runs to <EOH>.
    size_t first = 0;
    while (first < content.size() && std::isspace(static_cast<unsigned char>(content[first]))) ++first;
    bool inHeader = first < content.size() && content[first] != '<';

    Record rec;
    bool recordOpen = false;
    // A fault inside the records: the record it falls in (opened at `at` when none is) keeps the first one.
    auto recordFault = [&](size_t at, const std::string& error) {
        if (!recordOpen) {
            rec = Record();
            rec.line = lines.LineAt(at);
            recordOpen = true;
        }
        if (rec.error.empty()) rec.error = error;
    };
    size_t pos = 0;
    while (true) {
        size_t lt = content.find('<', pos);
        if (lt == std::string::npos) break;
        // The specifier: name, then ":length" and maybe ":type", then '>'.
        size_t p = lt + 1;
        size_t nameStart = p;
        while (p < content.size() && content[p] != ':' && content[p] != '>' && content[p] != '<' &&
               !std::isspace(static_cast<unsigned char>(content[p]))) {
            ++p;
        }
        std::string name = text::ToUpper(content.substr(nameStart, p - nameStart));
        bool wellFormed = p < content.size() && (content[p] == ':' || content[p] == '>') && !name.empty();
        long long length = -1;
        if (wellFormed && content[p] == ':') {
            ++p;
            size_t digitsStart = p;
            while (p < content.size() && std::isdigit(static_cast<unsigned char>(content[p]))) ++p;
            if (p == digitsStart || p - digitsStart > 9) {
                wellFormed = false;
            } else {
                length = std::atoll(content.substr(digitsStart, p - digitsStart).c_str());
                if (p < content.size() && content[p] == ':') {  // data type indicator
                    ++p;
                    while (p < content.size() && std::isalnum(static_cast<unsigned char>(content[p]))) ++p;
                }
                wellFormed = p < content.size() && content[p] == '>';
            }
        }
        if (!wellFormed) {
            // Free text may hold '<' in the header; inside the records it is a broken field.
            if (!inHeader) {
                std::string shown = content.substr(lt, std::min<size_t>(20, content.size() - lt));
                size_t nl = shown.find_first_of("\r\n");
                if (nl != std::string::npos) shown.resize(nl);
                recordFault(lt, text::Format("malformed field '%s' at line %d", shown.c_str(), lines.LineAt(lt)));
            }
            pos = lt + 1;
            continue;
        }
        size_t dataStart = p + 1;

        if (name == "EOH" && length < 0) {
            inHeader = false;
            recordOpen = false;
            rec = Record();
            pos = dataStart;
            continue;
        }
        if (name == "EOR" && length < 0) {
            if (recordOpen) {
                AddRecord(rec, log);
            } else if (!inHeader) {
                log.skipped.push_back({lines.LineAt(lt), "<EOR> without any field before it"});
            }
            rec = Record();
            recordOpen = false;
            pos = dataStart;
            continue;
        }
        if (length < 0) length = 0;  // <NAME> with no length: a field without data
        if (static_cast<unsigned long long>(length) > content.size() - dataStart) {
            if (!inHeader) {
                recordFault(lt, text::Format("field %s at line %d is cut off: length ", name.c_str(), lines.LineAt(lt)) +
                                    std::to_string(length) + ", only " + std::to_string(content.size() - dataStart) +
                                    " characters left");
            } else {
                log.skipped.push_back({lines.LineAt(lt), "header field " + name + " is cut off at the end of the file"});
            }
            pos = content.size();
            break;
        }
        std::string data = content.substr(dataStart, static_cast<size_t>(length));
        pos = dataStart + static_cast<size_t>(length);
        if (inHeader) {
            const HeaderField* field = FindHeaderField(text::ReplaceAll(name, "_", "-"));
            if (field && !text::Trim(data).empty()) AddLogHeaderLine(log.header, *field, text::Trim(data));
            continue;
        }
        if (!recordOpen) {
            rec = Record();
            rec.line = lines.LineAt(lt);
            recordOpen = true;
        }
        rec.fields[name] = data;
    }
    if (recordOpen) {
        if (rec.error.empty()) log.notes.push_back({rec.line, "last record has no <EOR>; it is used as it stands"});
        AddRecord(rec, log);
    }
    if (inHeader) log.skipped.push_back({lines.LineAt(content.size()), "ADIF header without <EOH>: no records read"});

    for (const LogQso& q : log.qsos) {
        if (!q.ownCall.empty()) {
            log.ownCall = q.ownCall;
            break;
        }
    }
    return log;
}

LogFormat DetectLogFormat(const std::string& content, const std::string& fileName) {
    size_t first = 0;
    while (first < content.size() && std::isspace(static_cast<unsigned char>(content[first]))) ++first;
    if (first == content.size()) return LogFormat::unknown;
    std::string head = text::ToUpper(content.substr(first, 12));
    if (head.rfind("START-OF-LOG", 0) == 0) return LogFormat::cabrillo;
    std::string upper = text::ToUpper(content);
    if (upper.find("<EOR>") != std::string::npos || upper.find("<EOH>") != std::string::npos) return LogFormat::adif;
    // Without START-OF-LOG on top, QSO lines make a Cabrillo log when Cabrillo lines ("TAG: ...") are at least
    // half of the lines: a text about logs that quotes a QSO line (a README beside the logs) is no log.
    size_t nonBlank = 0, tagLines = 0;
    bool qsoLine = false;
    for (size_t pos = 0, next = 0; pos < upper.size(); pos = next) {
        const std::string line = text::TrimLeft(upper.substr(pos, FindLineEnd(upper, pos, next) - pos));
        if (line.empty()) continue;
        ++nonBlank;
        size_t tagEnd = 0;
        while (tagEnd < line.size() && (std::isalnum(static_cast<unsigned char>(line[tagEnd])) || line[tagEnd] == '-'))
            ++tagEnd;
        if (tagEnd == 0 || tagEnd == line.size() || line[tagEnd] != ':') continue;
        ++tagLines;
        qsoLine = qsoLine || line.compare(0, tagEnd, "QSO") == 0;
    }
    if (qsoLine && tagLines * 2 >= nonBlank) return LogFormat::cabrillo;
    if (upper.find("<CALL:") != std::string::npos) return LogFormat::adif;
    std::string name = text::ToUpper(fileName);
    auto endsWith = [&](const char* ext) {
        std::string e(ext);
        return name.size() >= e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
    };
    if (endsWith(".ADI") || endsWith(".ADIF")) return LogFormat::adif;
    if (endsWith(".LOG") || endsWith(".CBR") || endsWith(".CABRILLO")) return LogFormat::cabrillo;
    return LogFormat::unknown;
}

namespace {

// Why the bytes are no 8-bit text the readers can take, or "" when they are. A zero byte never occurs in
// a log; zeros at every other byte are the mark of UTF-16 without its byte-order mark.
std::string UndecodableText(const std::string& content) {
    auto startsWith = [&](const char* bom, size_t n) { return content.compare(0, n, bom, n) == 0; };
    const std::string wide = " text, which the readers do not decode: save it as ASCII or UTF-8 and replay it again";
    if (startsWith("\xFF\xFE\0\0", 4) || startsWith("\0\0\xFE\xFF", 4)) return "is UTF-32" + wide;
    if (startsWith("\xFF\xFE", 2) || startsWith("\xFE\xFF", 2)) return "is UTF-16" + wide;
    size_t zero = content.find('\0');
    if (zero == std::string::npos) return "";
    size_t sample = std::min<size_t>(content.size() & ~size_t(1), 512);
    size_t zeros[2] = {0, 0};
    for (size_t i = 0; i < sample; ++i) zeros[i % 2] += content[i] == '\0';
    if (sample > 0 && (zeros[0] == 0 || zeros[1] == 0) && (zeros[0] + zeros[1]) * 3 >= sample) {
        return "is UTF-16" + wide;
    }
    return "is binary (a zero byte at byte " + std::to_string(zero + 1) + "), not a Cabrillo or ADIF log";
}

}  // namespace

namespace {

// Reads a log's bytes in pieces. An ADIF file may hold a whole log on one line, so its lines are kept whole;
// in any other file a line longer than kLongestLogLine is no log line: its bytes are dropped as they are read
// (a 200 MB line costs no more memory than a short one), it stays in `content` as an empty line so that every
// later line keeps its number, and it is listed in `cut` with its length.
struct CutLine {
    int line;
    unsigned long long bytes;
};

bool ReadBounded(std::istream& in, std::string& content, std::vector<CutLine>& cut) {
    constexpr size_t kPiece = 64 * 1024;
    std::vector<char> piece(kPiece);
    bool adif = false, decided = false, dropping = false, lastWasCr = false;
    int line = 1;
    size_t lineStart = 0;
    unsigned long long dropped = 0;
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const size_t n = static_cast<size_t>(in.gcount());
        if (n == 0) break;
        if (adif) {
            content.append(piece.data(), n);
            continue;
        }
        for (size_t i = 0; i < n;) {
            // The bytes up to the next line end, kept unless the line has grown too long.
            size_t j = i;
            while (j < n && piece[j] != '\n' && piece[j] != '\r') ++j;
            if (j > i) {
                lastWasCr = false;
                if (dropping) {
                    dropped += j - i;
                } else if (content.size() - lineStart + (j - i) > kLongestLogLine) {
                    dropped = content.size() - lineStart + (j - i);
                    content.resize(lineStart);
                    dropping = true;
                } else {
                    content.append(piece.data() + i, j - i);
                }
            }
            if (j == n) break;
            const char c = piece[j];
            if (dropping) {
                cut.push_back({line, dropped});
                dropping = false;
            }
            if (!(c == '\n' && lastWasCr)) ++line;
            lastWasCr = c == '\r';
            content += c;
            lineStart = content.size();
            i = j + 1;
        }
        if (!decided && (content.size() >= kPiece || !in)) {
            // The first piece tells an ADIF file by its tags; from then on its bytes are kept as they come.
            decided = true;
            const std::string head = text::ToUpper(content.substr(0, kPiece));
            adif = !dropping && cut.empty() &&
                   (head.find("<EOH>") != std::string::npos || head.find("<EOR>") != std::string::npos ||
                    head.find("<CALL:") != std::string::npos);
        }
    }
    if (dropping) cut.push_back({line, dropped});
    return !in.bad();
}

}  // namespace

bool ReadLogFile(const std::string& path, const contest::Record& contest, ParsedLog& log, std::string& error) {
    const bool standardInput = path == "-";
    const std::string shown = standardInput ? "standard input" : path;
    std::string content;
    std::vector<CutLine> cut;
    if (standardInput) {
        ReadBounded(std::cin, content, cut);
    } else {
        struct stat st;
        if (stat(path.c_str(), &st) != 0) {
            error = "cannot read " + path + ": no such file";
            return false;
        }
        if (S_ISDIR(st.st_mode)) {
            error = "cannot read " + path + ": it is a folder";
            return false;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "cannot read " + path + ": permission denied or not readable";
            return false;
        }
        if (!ReadBounded(in, content, cut)) {
            error = "cannot read " + path + ": read error";
            return false;
        }
    }
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);  // UTF-8 byte-order mark
    std::string undecodable = UndecodableText(content);
    if (!undecodable.empty()) {
        error = shown + " " + undecodable;
        return false;
    }
    if (text::Trim(content).empty()) {
        error = shown + " is empty: no QSOs to replay";
        return false;
    }
    // The plug-in's bad-QSO file quotes QSO lines with its reasons after them: a list of QSOs, but no log.
    size_t firstEnd = 0;
    if (text::Trim(content.substr(0, FindLineEnd(content, 0, firstEnd))) == contest.badQsoFileTitle) {
        error = shown + " is the plug-in's bad-QSO file, not a log";
        return false;
    }
    const std::string fileName = standardInput ? "stdin" : path;
    switch (DetectLogFormat(content, path)) {
        case LogFormat::cabrillo: log = ParseCabrillo(content, fileName, contest); break;
        case LogFormat::adif: log = ParseAdif(content, fileName); break;
        default:
            error = shown + " is neither a Cabrillo nor an ADIF log";
            return false;
    }
    if (!cut.empty()) {
        for (const CutLine& c : cut) {
            log.skipped.push_back({c.line, "line of " + std::to_string(c.bytes) + " bytes, longer than any log line (" +
                                               std::to_string(kLongestLogLine) + " bytes at most): not read"});
        }
        std::stable_sort(log.skipped.begin(), log.skipped.end(),
                         [](const LogProblem& a, const LogProblem& b) { return a.line < b.line; });
    }
    if (log.qsos.empty()) {
        error = shown + " (" + LogFormatName(log.format) + ") holds no QSO that can be read";
        if (log.skipped.empty()) {
            error += ": nothing to replay";
        } else {
            error += ": " + std::to_string(log.skipped.size()) + " line(s) not used, the first, line " +
                     std::to_string(log.skipped[0].line) + ": " + log.skipped[0].reason;
        }
        return false;
    }
    return true;
}

}  // namespace replay
