// libFuzzer target: the replay's log readers on any bytes. Besides what the sanitizers catch, every QSO,
// skipped line and note must name a line of the input.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "contest/arrl_rtty_roundup.h"
#include "log_readers.h"

namespace {

void RequireLinesIn(const replay::ParsedLog& log, int lines) {
    auto inRange = [lines](int line) { return line >= 1 && line <= lines; };
    for (const replay::LogQso& q : log.qsos) {
        if (!inRange(q.line)) std::abort();
    }
    for (const auto* problems : {&log.skipped, &log.notes}) {
        for (const replay::LogProblem& p : *problems) {
            if (!inRange(p.line)) std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    // A line ends at a line feed or at a lone carriage return, whichever a reader counts.
    int lines = 1;
    for (char c : content) lines += c == '\n' || c == '\r';
    replay::DetectLogFormat(content, "log.txt");
    RequireLinesIn(replay::ParseCabrillo(content, "log.log", contest::ArrlRttyRoundup()), lines);
    RequireLinesIn(replay::ParseAdif(content, "log.adi"), lines);
    return 0;
}
