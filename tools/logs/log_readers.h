#pragma once
// Readers for the two log formats a finished contest log comes in. Both take the whole file as bytes
// and never stop at a bad line: each unusable line or record is listed with its line number and reason.
#include <string>

#include "contest/record.h"
#include "log_types.h"

namespace replay {

// Where the line that starts at pos ends; next is where the line after it starts (past the end of s after
// the last line). A line ends at LF, at CRLF or at a lone CR, as older Mac loggers write them, so both readers
// see the same lines and line numbers whichever ends a file uses.
inline size_t FindLineEnd(const std::string& s, size_t pos, size_t& next) {
    size_t end = s.find_first_of("\r\n", pos);
    if (end == std::string::npos) {
        next = s.size() + 1;
        return s.size();
    }
    next = end + (s[end] == '\r' && end + 1 < s.size() && s[end + 1] == '\n' ? 2 : 1);
    return end;
}

// Cabrillo 3.0 (the mode codes read as the contest's modes): header tags (CALLSIGN, CLAIMED-SCORE, the fields of the header dialog) and QSO lines read by
// blank-separated tokens: freq mode date time mycall rst exch call rst exch [transmitter]. A line that ends
// at the received report is kept with an empty received exchange and a note.
ParsedLog ParseCabrillo(const std::string& content, const std::string& fileName, const contest::Record& contest);

// ADIF (.adi): optional header up to <EOH>, records of <NAME:length[:type]>data fields ended by <EOR>. The
// Cabrillo header comes from header fields named like its tags (CATEGORY_POWER or CATEGORY-POWER) and from
// the first record's STATION_CALLSIGN, OPERATOR, MY_STATE (LOCATION), MY_NAME, MY_STREET, MY_CITY,
// MY_POSTAL_CODE and MY_COUNTRY.
ParsedLog ParseAdif(const std::string& content, const std::string& fileName);

// Which format the bytes are, by content first and by the file name's extension only when the content
// does not say; unknown when neither does.
LogFormat DetectLogFormat(const std::string& content, const std::string& fileName);

// Outside ADIF, a line longer than this is no log line: it is named as not read and its bytes are not kept.
constexpr size_t kLongestLogLine = 64 * 1024;

// Reads the file ("-": standard input) and parses it in its format, as a log of the contest. false with a
// one-line error when the file cannot be read, is empty, is UTF-16 or binary, is the plug-in's bad-QSO file,
// is neither Cabrillo nor ADIF, or holds no QSO that could be read.
bool ReadLogFile(const std::string& path, const contest::Record& contest, ParsedLog& log, std::string& error);

}  // namespace replay
