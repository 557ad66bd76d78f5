#pragma once
// The bad-QSO file: one header line, then one line per rejected or doubtful QSO. Written in binary with
// explicit CR LF so that both builds write the same bytes. A file that cannot be opened loses its lines
// silently; the QSO itself is never lost for it.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/args.h"
#include "engine/cinfo.h"

namespace badqso {

// Line pieces are joined by two blanks; each message carries its own leading blanks.
extern const char* const kWrongBand;
extern const char* const kWrongMode;
extern const char* const kNoRxNumber;
extern const char* const kDupe;

// The QSO's date-time as it stands in a line ("%Y-%m-%d %H%M"; empty when not valid).
std::string LineDateTime(const COleDateTime& time);

// One line without its line end: the QSO's fields with the own call, then the message.
std::string FormatLine(const std::string& ownCall, const CInfo& qso, const std::string& message);
// The message for a W/VE station whose state/province is not in the table.
std::string StateProvMessage(const std::string& normalisedExchange);

// Creates or truncates the file with its header line, the contest's title.
void Create(const std::string& fileName, const std::string& title);
// Appends lines, each flushed when written. The file stays open from one line to the next, so a rebuild that
// writes hundreds of lines opens it once; the owner closes it whenever a burst of logging ends (a call check,
// a report, a removal, a reset), so between the operator's QSOs the file is not held open. A file deleted or
// replaced meanwhile is opened again by name, as a line of its own would open it.
class LineWriter {
public:
    LineWriter() = default;
    ~LineWriter() { Close(); }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    void Append(const std::string& fileName, const std::string& line);
    void Close();

private:
    std::FILE* file_ = nullptr;
    std::string fileName_;
};

// True when the line is a QSO line whose worked-call field is `call` and whose date-time field is
// `dateTime`, both compared exactly.
bool LineIsOfQso(const std::string& line, const std::string& call, const std::string& dateTime);

// True when the line is the dupe line that AddData0 wrote for this record, whatever the own call in it.
bool IsDupeLineOf(const std::string& line, const CInfo& record);

// Lines of the file without their line ends, header included; empty when it cannot be read.
std::vector<std::string> ReadLines(const std::string& fileName);
// Replaces the file with the rewrite's header and the lines, in one step (a failed write leaves the old file
// whole). A file that exists but cannot be read is not rewritten: the lines handed in did not come from it.
void Rewrite(const std::string& fileName, const std::string& title, const std::vector<std::string>& lines);

}  // namespace badqso
