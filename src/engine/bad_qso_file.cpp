#include "engine/bad_qso_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/text.h"
#include "platform/file_io.h"

namespace badqso {

const char* const kWrongBand = "   WRONG BAND !!!";
const char* const kWrongMode = "   WRONG MODE !!!";
const char* const kNoRxNumber = "   NO RX NUMBER !!!";
const char* const kDupe = "   DUPE !!!";
const char* const kOutsidePeriod = "   OUTSIDE CONTEST PERIOD !!!";

namespace {

const char* const kLineStart = "QSO:  ";
const char* const kSeparator = "  ";
// Every message ends in this mark.
const char* const kMessageEnd = " !!!";
const char* const kLineEnd = "\r\n";

// Fields in the order FormatLine writes them; the worked call is the seventh.
constexpr size_t kDateTimeField = 2;
constexpr size_t kWorkedCallField = 6;

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

std::string ExchangeMessage(const std::string& shownExchange, const std::string& reason) {
    return kSeparator + shownExchange + kSeparator + reason + kMessageEnd;
}

std::string ReasonOfLine(const std::string& line) {
    const std::string trimmed = text::Trim(line);
    const size_t gap = trimmed.rfind(kSeparator);
    return ReasonOfMessage(gap == std::string::npos ? std::string() : trimmed.substr(gap));
}

std::string ReasonOfMessage(const std::string& message) {
    std::string reason = text::Trim(message);
    const std::string end = kMessageEnd;
    if (reason.size() > end.size() && reason.compare(reason.size() - end.size(), end.size(), end) == 0) {
        reason.resize(reason.size() - end.size());
    }
    return reason;
}

namespace {

// A file another program holds, or one this process may not write, is left alone until it can be: no
// temporary file is written beside it for nothing at every call meanwhile.
bool MayReplace(const std::string& fileName) {
    errno = 0;
    std::FILE* f = platform::Files().open(fileName.c_str(), "r+b");
    if (f == nullptr) return errno == ENOENT;
    platform::Files().close(f);
    return true;
}

}  // namespace

void File::Create(const std::string& fileName, const std::string& title) {
    fileName_ = fileName;
    title_ = title;
    lines_.clear();
    written_ = 0;
    rewritten_ = false;
    behind_ = false;
    size_ = 0;
    if (fileName_.empty()) return;
    // A file of an earlier reset is written over from its start and cut after the header, not emptied
    // first: a file emptied and written again is forced out to the disk when it is closed (ext4 does so for
    // every file truncated to nothing), which costs a reset milliseconds whenever the disk is busy.
    const std::string header = title_ + kLineEnd;
    if (std::FILE* f = platform::Files().open(fileName_.c_str(), "r+b")) {
        bool written = platform::WriteAndFlush(f, header) && platform::CutOpenFileHere(f);
        // Part of a header before the old lines would be a line of neither: the file is emptied instead.
        if (!written && std::fseek(f, 0, SEEK_SET) == 0) platform::CutOpenFileHere(f);
        written = platform::Files().close(f) == 0 && written;
        if (written) {
            size_ = static_cast<long>(header.size());
            return;
        }
    }
    WriteWhole();
}

void File::Append(std::string line, bool wait) {
    lines_.push_back(std::move(line));
    if (!wait) Write();
}

void File::RemoveLinesOf(const std::string& call, const std::string& dateTime,
                         const std::vector<const CInfo*>& healed) {
    std::vector<const CInfo*> dupeLinesToGo = healed;
    std::vector<std::string> kept;
    for (std::string& line : lines_) {
        if (LineIsOfQso(line, call, dateTime)) continue;
        auto of = std::find_if(dupeLinesToGo.begin(), dupeLinesToGo.end(),
                               [&line](const CInfo* record) { return IsDupeLineOf(line, *record); });
        if (of != dupeLinesToGo.end()) {
            dupeLinesToGo.erase(of);
            continue;
        }
        kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
    rewritten_ = true;
    WriteWhole();
}

void File::CatchUp() {
    if (behind_ || written_ < lines_.size()) Write();
}

int File::BadQsoCount() const {
    const std::string dupe = kDupe;
    int n = 0;
    for (const std::string& line : lines_) {
        n += line.size() < dupe.size() || line.compare(line.size() - dupe.size(), dupe.size(), dupe) != 0;
    }
    return n;
}

std::string File::Bytes() const {
    std::string bytes = (rewritten_ ? title_ + " " : title_) + kLineEnd;
    for (const std::string& line : lines_) bytes += line + kLineEnd;
    return bytes;
}

void File::Write() {
    if (fileName_.empty()) return;
    if (!behind_ && AppendInPlace()) return;
    WriteWhole();
}

// The lines not yet written, at the end of the file, which must be where the last line ended: a file someone
// emptied, deleted or replaced meanwhile is written whole instead.
bool File::AppendInPlace() {
    std::string bytes;
    for (size_t i = written_; i < lines_.size(); ++i) bytes += lines_[i] + kLineEnd;
    const platform::FileCalls& fs = platform::Files();
    std::FILE* f = fs.open(fileName_.c_str(), "r+b");
    if (f == nullptr) return false;
    const bool atEnd = std::fseek(f, 0, SEEK_END) == 0 && std::ftell(f) == size_;
    const bool written = atEnd && platform::WriteAndFlush(f, bytes);
    const bool closed = fs.close(f) == 0;
    if (written && closed) {
        size_ += static_cast<long>(bytes.size());
        written_ = lines_.size();
        return true;
    }
    if (atEnd) {
        // Part of a line may have reached the file (a full disk): it ends where the last whole line ended.
        if (std::FILE* cut = fs.open(fileName_.c_str(), "r+b")) {
            if (std::fseek(cut, size_, SEEK_SET) == 0) platform::CutOpenFileHere(cut);
            fs.close(cut);
        }
    }
    return false;
}

void File::WriteWhole() {
    behind_ = true;
    if (!MayReplace(fileName_)) return;
    const std::string bytes = Bytes();
    if (!platform::ReplaceFileContents(fileName_, bytes)) return;
    behind_ = false;
    written_ = lines_.size();
    size_ = static_cast<long>(bytes.size());
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

}  // namespace badqso
