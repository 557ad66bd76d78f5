#include "engine/bad_qso_file.h"

#include <cstdio>

#include "common/text.h"
#include "engine/text_file.h"
#include "platform/file_io.h"

namespace badqso {

const char* const kWrongBand = "   WRONG BAND !!!";
const char* const kWrongMode = "   WRONG MODE !!!";
const char* const kNoRxNumber = "   NO RX NUMBER !!!";
const char* const kDupe = "   DUPE !!!";

namespace {

const char* const kLineStart = "QSO:  ";
const char* const kSeparator = "  ";
// The header line of a new file is the contest's bad-QSO title; the header written when lines are removed
// carries a trailing blank, and readers of the file know both.
std::string RewriteHeader(const std::string& title) { return title + " "; }
const char* const kStateProvText = "  State/Province is not acceptable !!!";
const char* const kLineEnd = "\r\n";

// Fields in the order FormatLine writes them; the worked call is the seventh.
constexpr size_t kDateTimeField = 2;
constexpr size_t kWorkedCallField = 6;

void WriteLines(std::FILE* f, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) platform::WriteAndFlush(f, line + kLineEnd);
}

}  // namespace

std::string LineDateTime(const COleDateTime& time) { return time.Format("%Y-%m-%d %H%M"); }

std::string FormatLine(const std::string& ownCall, const CInfo& qso, const std::string& message) {
    const std::string dateTime = LineDateTime(qso.time);
    std::string line = kLineStart;
    line += text::Format("%u", static_cast<unsigned>(qso.freqKHz));
    for (const std::string* field : {&qso.mode, &dateTime, &ownCall, &qso.rstSent, &qso.exchSent, &qso.call,
                                     &qso.rstRcvd, &qso.exchRcvd}) {
        line += kSeparator;
        line += *field;
    }
    line += message;
    return line;
}

std::string StateProvMessage(const std::string& normalisedExchange) {
    return kSeparator + normalisedExchange + kStateProvText;
}

void Create(const std::string& fileName, const std::string& title) {
    if (fileName.empty()) return;
    // A file of an earlier reset is written over from its start and cut after the header, not emptied
    // first: a file emptied and written again is forced out to the disk when it is closed (ext4 does so for
    // every file truncated to nothing), which costs a reset milliseconds whenever the disk is busy.
    std::FILE* f = platform::Files().open(fileName.c_str(), "r+b");
    if (f != nullptr) {
        WriteLines(f, {title});
        const bool cut = platform::CutOpenFileHere(f);
        platform::Files().close(f);
        if (cut) return;
    }
    f = platform::Files().open(fileName.c_str(), "wb");
    if (f == nullptr) return;
    WriteLines(f, {title});
    platform::Files().close(f);
}

void LineWriter::Append(const std::string& fileName, const std::string& line) {
    if (fileName.empty()) return;
    // Someone may have deleted or replaced the file since the last line: the line goes to the file of that
    // name, as if it had been opened for this line alone.
    if (file_ != nullptr && (fileName != fileName_ || !platform::OpenFileIsAt(file_, fileName_))) Close();
    if (file_ == nullptr) {
        // Opened for writing at its end once, not in append mode: the C library of Windows moves an append-mode
        // file to its end before every write, three more system calls per flushed line under wine. Nothing
        // else writes the file while it is open.
        file_ = platform::Files().open(fileName.c_str(), "r+b");
        if (file_ == nullptr) file_ = platform::Files().open(fileName.c_str(), "ab");
        if (file_ == nullptr) return;
        if (std::fseek(file_, 0, SEEK_END) != 0) {
            Close();
            return;
        }
        fileName_ = fileName;
    }
    WriteLines(file_, {line});
}

void LineWriter::Close() {
    if (file_ != nullptr) platform::Files().close(file_);
    file_ = nullptr;
}

bool LineIsOfQso(const std::string& line, const std::string& call, const std::string& dateTime) {
    const std::string start = kLineStart;
    if (line.compare(0, start.size(), start) != 0) return false;
    // Split strictly at each pair of blanks, left to right: an empty field is an empty piece between two
    // separators, never skipped. The worked call must be followed by a separator of its own.
    size_t pos = start.size();
    for (size_t field = 0;; ++field) {
        size_t end = line.find(kSeparator, pos);
        if (end == std::string::npos) return false;
        if (field == kDateTimeField && line.compare(pos, end - pos, dateTime) != 0) return false;
        if (field == kWorkedCallField) return line.compare(pos, end - pos, call) == 0;
        pos = end + 2;
    }
}

bool IsDupeLineOf(const std::string& line, const CInfo& record) {
    // The own call, between the date-time and the sent report, is the one field the record does not keep.
    const std::string head = kLineStart + text::Format("%u", static_cast<unsigned>(record.freqKHz)) + kSeparator +
                             record.mode + kSeparator + LineDateTime(record.time) + kSeparator;
    std::string tail;
    for (const std::string* field : {&record.rstSent, &record.exchSent, &record.call, &record.rstRcvd,
                                     &record.exchRcvd}) {
        tail += kSeparator;
        tail += *field;
    }
    tail += kDupe;
    return line.size() >= head.size() + tail.size() && line.compare(0, head.size(), head) == 0 &&
           line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<std::string> ReadLines(const std::string& fileName) {
    std::vector<std::string> lines;
    ReadTextLines(fileName, lines);
    return lines;
}

void Rewrite(const std::string& fileName, const std::string& title, const std::vector<std::string>& lines) {
    if (fileName.empty()) return;
    // The lines kept come from reading the file: one that exists but could not be read is left alone.
    std::string current;
    if (platform::ReadWholeFile(fileName, kTextFileLimit, current) == platform::ReadResult::unreadable) return;
    std::string bytes = RewriteHeader(title) + kLineEnd;
    for (const std::string& line : lines) bytes += line + kLineEnd;
    platform::ReplaceFileContents(fileName, bytes);
}

}  // namespace badqso
