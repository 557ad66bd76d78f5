#pragma once
// The bad-QSO file: one header line, then one line per rejected or doubtful QSO. Written in binary with
// explicit CR LF so that both builds write the same bytes.
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
extern const char* const kOutsidePeriod;

// The QSO's date-time as it stands in a line ("%Y-%m-%d %H%M"; empty when not valid).
std::string LineDateTime(const COleDateTime& time);

// One line without its line end: the QSO's fields with the own call, then the message.
std::string FormatLine(const std::string& ownCall, const CInfo& qso, const std::string& message);
// The message for a QSO whose received exchange the contest does not accept: the exchange as the contest shows
// it, then the contest's reason (contest::ExchangeVerdict).
std::string ExchangeMessage(const std::string& shownExchange, const std::string& reason);
// The reason a line of the file gives, as its message says it without the blanks and the closing mark
// ("WRONG BAND", "State/Province is not acceptable"); "" for a line without one (the header).
std::string ReasonOfLine(const std::string& line);
// The reason of one of the messages above, as ReasonOfLine names it ("OUTSIDE CONTEST PERIOD").
std::string ReasonOfMessage(const std::string& message);

// The file of one reset, as the plug-in means it to be: its header and every line written since, kept here
// as well. The file is never held open between calls: lines are written to the end of the file and the file
// closed again. When it cannot be written (another program holds it, the disk is full, the folder is
// read-only) nothing is lost: the file is behind, and it is written whole, in one step, as soon as it can be.
// A line the disk took only in part is cut off again, so the file never ends in part of a line.
class File {
public:
    // A reset: the file named `fileName` (none when empty) starts again with its header alone, the contest's
    // title.
    void Create(const std::string& fileName, const std::string& title);
    // A line for a QSO. Written at once (with any line still waiting), or, with `wait`, kept for the next
    // write: opening the file costs a line a hundred times what writing it does, which a rebuild's burst of
    // QSOs would pay for every one of its lines.
    void Append(std::string line, bool wait = false);
    // Drops the lines of one QSO (its worked call and date-time, as LineIsOfQso) and the dupe line of each
    // record of `healed`, and writes the file anew with the rewrite's header.
    void RemoveLinesOf(const std::string& call, const std::string& dateTime,
                       const std::vector<const CInfo*>& healed);
    // Writes what is waiting, and the whole file when it is behind; cheap when neither.
    void CatchUp();

    // True while the file does not hold what it should because it could not be written.
    bool Behind() const { return behind_; }
    // The lines since the reset, header aside, and how many of them stand for bad QSOs (all but dupe lines).
    const std::vector<std::string>& Lines() const { return lines_; }
    int BadQsoCount() const;

private:
    std::string Bytes() const;
    void Write();
    bool AppendInPlace();
    void WriteWhole();

    std::string fileName_;
    std::string title_;
    std::vector<std::string> lines_;
    size_t written_ = 0;      // lines_ that are in the file
    bool rewritten_ = false;  // a removal has written the file: its header carries a trailing blank
    bool behind_ = false;
    long size_ = 0;           // the file's bytes while it is not behind
};

// True when the line is a QSO line whose worked-call field is `call` and whose date-time field is
// `dateTime`, both compared exactly.
bool LineIsOfQso(const std::string& line, const std::string& call, const std::string& dateTime);

// True when the line is the dupe line that AddData0 wrote for this record, whatever the own call in it.
bool IsDupeLineOf(const std::string& line, const CInfo& record);

}  // namespace badqso
