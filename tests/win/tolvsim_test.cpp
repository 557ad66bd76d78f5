// tolvsim.exe, the host stand-in, run as a child process on scripts: its answers, the macros it prints
// as they arrive, and the plug-in's windows started, clicked, unloaded and left at process exit.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "plugin.h"
#include "temp_dir.h"

namespace {

struct TolvsimRun {
    bool finished = false;
    DWORD exitCode = 0;
    std::vector<std::string> lines;  // standard output, line ends removed
    std::string errors;              // standard error

    std::vector<std::string> Without(const std::string& line) const {
        std::vector<std::string> out;
        for (const std::string& l : lines)
            if (l != line) out.push_back(l);
        return out;
    }
    int CountOf(const std::string& line) const {
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
    bool Has(const std::string& prefix) const {
        for (const std::string& l : lines)
            if (l.rfind(prefix, 0) == 0) return true;
        return false;
    }
};

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

// Runs tolvsim in the current directory with the script on its standard input.
TolvsimRun RunTolvsim(const std::string& options, const std::string& script, DWORD timeoutMs = 60000) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE inRead, inWrite, outRead, outWrite, errRead, errWrite;
    CreatePipe(&inRead, &inWrite, &inherit, 0);
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = inRead;
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + BesideTestProgram("tolvsim.exe") + "\" " + options;
    TolvsimRun run;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
        run.errors = "cannot start tolvsim.exe";
        return run;
    }
    CloseHandle(inRead);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    std::string out, err;
    std::thread outReader([&] { out = ReadAll(outRead); });
    std::thread errReader([&] { err = ReadAll(errRead); });
    DWORD written = 0;
    WriteFile(inWrite, script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
    CloseHandle(inWrite);

    run.finished = WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!run.finished) TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    outReader.join();
    errReader.join();
    CloseHandle(outRead);
    CloseHandle(errRead);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);

    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        run.lines.push_back(line);
        start = end + 1;
    }
    run.errors = err;
    return run;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\n";
    return s;
}

constexpr const char* kReset = "reset N0CALL K 2024-01-06 18:00 2024-01-07 23:59\n";

TEST(Tolvsim, MacrosArriveInOrderAndEveryCommandIsAnswered) {
    TempWorkDir dir;
    TolvsimRun run = RunTolvsim("",
                         std::string("freq 14080000\n") + kReset +
                             "wait 500\n"
                             "windows\n"
                             "click Setup ARRL 1007\n"
                             "click Setup ARRL 1007\n"
                             "checked Setup 1016\n"
                             "click Setup 1016\n"
                             "checked Setup 1016\n"
                             "text Setup 1003\n"
                             "unload\n"
                             "windows\n"
                             "quit\n");
    ASSERT_TRUE(run.finished) << Joined(run.lines) << run.errors;
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    // "<SP1>" comes with the first refresh, whenever that runs, and only once: the frequency stays put.
    EXPECT_EQ(run.CountOf("MACRO <SP1>"), 1) << Joined(run.lines);
    const std::vector<std::string> expected = {
        "ok",  // freq
        "1",   // reset
        "MACRO <MODE:RTTY>",
        "MACRO <BAUDRATE:45.45>",
        "ok",  // wait
        "WINDOW Setup ARRL-RTTY-Roundup 2024",
        "ok 1",
        "MACRO <MODE:PACKET>",
        "MACRO <MODESETTINGS>",
        "ok",
        "MACRO <MODE:PACKET>",
        "ok",
        "0",
        "ok",
        "1",
        "RTTY",
        "ok",    // unload
        "ok 0",  // no window is left
        "ok",    // quit
    };
    EXPECT_EQ(run.Without("MACRO <SP1>"), expected) << Joined(run.lines);
    EXPECT_NE(ReadFileBytes("Plugins\\ARRL-RTTY.ini").find("Mode_Packet=YES!"), std::string::npos);
}

TEST(Tolvsim, WithoutTheHostObjectTheWindowOpensAndNoMacroIsSent) {
    TempWorkDir dir;
    TolvsimRun run = RunTolvsim("--no-host", std::string(kReset) +
                                          "wait 300\n"
                                          "windows\n"
                                          "click Setup 1005\n"
                                          "click Setup 1016\n"
                                          "wait 300\n"
                                          "windows\n"
                                          "quit\n");
    ASSERT_TRUE(run.finished) << Joined(run.lines) << run.errors;
    EXPECT_FALSE(run.Has("MACRO")) << Joined(run.lines);
    EXPECT_TRUE(run.Has("WINDOW Setup ARRL-RTTY-Roundup 2024"));
    // Without the host the refresh leaves the DXCC window its template title.
    EXPECT_TRUE(run.Has("WINDOW Multiplier")) << Joined(run.lines);
    EXPECT_EQ(run.lines.back(), "ok");
    std::string settings = ReadFileBytes("Plugins\\ARRL-RTTY.ini");
    EXPECT_NE(settings.find("Mode=BPSK63"), std::string::npos) << settings;
}

TEST(Tolvsim, QuittingWithTheWindowsOpenEndsTheProcess) {
    TempWorkDir dir;
    // The process exits with the plug-in loaded: the library must not wait for its window thread then.
    TolvsimRun run = RunTolvsim("", std::string(kReset) +
                                 "wait 300\n"
                                 "click Setup 1016\n"
                                 "click Setup 1015\n"
                                 "click Setup 1017\n"
                                 "click Setup 1018\n"
                                 "windows\n"
                                 "quit\n");
    ASSERT_TRUE(run.finished) << Joined(run.lines) << run.errors;
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.Has("ok 5")) << Joined(run.lines);
}

TEST(Tolvsim, LogCommandsReachTheExports) {
    TempWorkDir dir;
    const std::string qso = "W1AW 20m RTTY 14080000 2024-01-06 18:05 599 CT 599 MA K\n";
    TolvsimRun run = RunTolvsim("", std::string(kReset) + "check W1AW 20m RTTY K\n" + "add " + qso +
                                 "check W1AW 20m RTTY K\n" + "remove " + qso + "check W1AW 20m RTTY K\n" +
                                 "result\n" + "quit\n");
    ASSERT_TRUE(run.finished) << Joined(run.lines) << run.errors;
    std::vector<std::string> answers;
    for (const std::string& l : run.Without("MACRO <MODE:RTTY>"))
        if (l.rfind("MACRO", 0) != 0) answers.push_back(l);
    ASSERT_GE(answers.size(), 7u) << Joined(run.lines);
    EXPECT_EQ(answers[0], "1");  // reset
    EXPECT_EQ(answers[2], "1");  // added
    // The QSO makes the call a dupe on 20 m, and removing it makes it new again.
    EXPECT_NE(answers[3], answers[1]);
    EXPECT_EQ(answers[5], answers[1]);
    EXPECT_EQ(answers.back(), "ok");
    EXPECT_EQ(answers[answers.size() - 2], "ok -1");  // the report's lines come before
    // Call, band, mode and exchange reached their places: the QSO passed every check of the bad-QSO file.
    EXPECT_EQ(ReadFileBytes("BadQSO_DezuvEZIR_07_01_2024.txt"), "ARRL-RTTY-Roundup Contest UBN file \r\n");
}

// The answers that follow each "text Setup 1028" marker (which answers "Mode"), macros left out.
std::vector<std::string> AnswersAfterMarkers(const TolvsimRun& run) {
    std::vector<std::string> answers;
    bool next = false;
    for (const std::string& l : run.lines) {
        if (l.rfind("MACRO", 0) == 0) continue;
        if (next) answers.push_back(l);
        next = l == "Mode";
    }
    return answers;
}

constexpr const char* kMark = "text Setup 1028\n";

TEST(Tolvsim, StatusWindowsFollowTheLogTheCallAndTheBand) {
    TempWorkDir dir;
    const std::string w1aw = "W1AW 20m RTTY 14080000 2024-01-06 18:05 599 CT 599 CT K\n";
    const std::string script = std::string("freq 14080000\n") + kReset + "wait 300\n" +
        "click Setup 1016\nclick Setup 1015\nclick Setup 1017\n" +
        "add " + w1aw +
        "add DL1ABC 20m RTTY 14085000 2024-01-06 18:10 599 CT 599 015 DL\n"
        "add E44XX 15m RTTY 21085000 2024-01-06 18:20 599 CT 599 017 E4\n"
        "result\n"
        "call W1AW\ncheck W1AW 20m RTTY K\nwait 500\nwindows\n" +
        kMark + "pixel ARRL-RTTY 2024 State 1022 6 6\n" + kMark + "checked ARRL-RTTY 2024 DXCC 1025\n" +
        // Removing the W/VE QSO starts the cells afresh, and the refresh marks CT again while the worked list
        // still holds it; once the score computation has dropped it, the cell turns green.
        "remove " + w1aw + "wait 300\n" + kMark + "pixel ARRL-RTTY 2024 State 1022 6 6\n" +
        "result\ncall\ncheck W1AW 20m RTTY K\nwait 300\nwindows\n" +
        kMark + "pixel ARRL-RTTY 2024 State 1022 6 6\n" +
        // Off the six bands the DXCC count is 0 and nothing is ticked.
        "freq 29600000\ncheck W1AW 20m RTTY K\nwait 300\nwindows\n" + kMark + "checked ARRL-RTTY 2024 DXCC 1025\n" +
        "quit\n";
    TolvsimRun run = RunTolvsim("", script);
    ASSERT_TRUE(run.finished) << Joined(run.lines) << run.errors;
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    const std::string all = Joined(run.lines);
    EXPECT_TRUE(run.Has("WINDOW  ARRL-RTTY worked with W1AW")) << all;
    EXPECT_TRUE(run.Has("WINDOW ARRL-RTTY 2024 State/Province working 1")) << all;
    EXPECT_TRUE(run.Has("WINDOW ARRL-RTTY 2024 DXCC worked 3 of 340")) << all;
    EXPECT_TRUE(run.Has("WINDOW ARRL-RTTY 2024 State/Province working 0")) << all;
    EXPECT_TRUE(run.Has("WINDOW ARRL-RTTY 2024 DXCC worked 2 of 340")) << all;
    EXPECT_TRUE(run.Has("WINDOW ARRL-RTTY 2024 DXCC worked 0 of 340")) << all;
    const std::vector<std::string> expected = {"FF00FF", "1", "FF00FF", "00FF00", "0"};
    EXPECT_EQ(AnswersAfterMarkers(run), expected) << all;
}

TEST(Tolvsim, ARussianOwnPrefixGivesTheRussianCaptions) {
    TempWorkDir dir;
    TolvsimRun run = RunTolvsim("", "freq 7040000\n"
                                    "reset UA3AAA UA 2024-01-06 18:00 2024-01-07 23:59\n"
                                    "wait 300\n"
                                    "click \xD0\x9D\xD0\xB0\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xB9\xD0\xBA\xD0\xB8 1018\n"
                                    "windows\n"
                                    "text \xD0\x9F\xD0\xB5\xD1\x80\xD0\xB5\xD1\x85\xD0\xBE\xD0\xB4\xD1\x8B 1026\n"
                                    "text \xD0\x9F\xD0\xB5\xD1\x80\xD0\xB5\xD1\x85\xD0\xBE\xD0\xB4\xD1\x8B 1025\n"
                                    "quit\n");
    ASSERT_TRUE(run.finished) << Joined(run.lines) << run.errors;
    EXPECT_TRUE(run.Has("WINDOW \xD0\x9D\xD0\xB0\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xB9\xD0\xBA\xD0\xB8 ARRL-RTTY-Roundup 2024"))
        << Joined(run.lines);
    EXPECT_TRUE(run.Has("WINDOW \xD0\x9F\xD0\xB5\xD1\x80\xD0\xB5\xD1\x85\xD0\xBE\xD0\xB4\xD1\x8B")) << Joined(run.lines);
    // "Смена диапазона" and "Минут до конца часа".
    EXPECT_EQ(run.CountOf("\xD0\xA1\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB0 \xD0\xB4\xD0\xB8\xD0\xB0\xD0\xBF\xD0\xB0\xD0\xB7\xD0\xBE\xD0\xBD\xD0\xB0"), 1)
        << Joined(run.lines);
    EXPECT_EQ(run.CountOf("\xD0\x9C\xD0\xB8\xD0\xBD\xD1\x83\xD1\x82 \xD0\xB4\xD0\xBE \xD0\xBA\xD0\xBE\xD0\xBD\xD1\x86\xD0\xB0 \xD1\x87\xD0\xB0\xD1\x81\xD0\xB0"), 1)
        << Joined(run.lines);
}

TEST(Tolvsim, BadCommandsAreAnsweredWithTheirUsage) {
    TempWorkDir dir;
    TolvsimRun run = RunTolvsim("", "frobnicate\n"
                             "wait soon\n"
                             "add W1AW 20m\n"
                             "reset N0CALL K 2024-13-06 18:00 2024-01-07 23:59\n"
                             "click Nowhere 1003\n"
                             "freq\n"
                             "# a comment, not answered\n"
                             "\n"
                             "quit\n");
    ASSERT_TRUE(run.finished) << run.errors;
    ASSERT_EQ(run.lines.size(), 7u) << Joined(run.lines);
    EXPECT_EQ(run.lines[0], "error unknown command frobnicate");
    EXPECT_EQ(run.lines[1], "error usage: wait MS");
    EXPECT_EQ(run.lines[2].rfind("error usage: add CALL BAND MODE FREQHZ", 0), 0u);
    EXPECT_EQ(run.lines[3].rfind("error usage: reset", 0), 0u);
    EXPECT_EQ(run.lines[4], "error no window Nowhere");
    EXPECT_EQ(run.lines[5], "error usage: freq HZ");
    EXPECT_EQ(run.lines[6], "ok");
}

TEST(Tolvsim, AMissingPluginIsAClearError) {
    TempWorkDir dir;
    TolvsimRun run = RunTolvsim("--plugin nothing-here.dll", "quit\n");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_NE(run.errors.find("tolvsim: cannot load the plug-in nothing-here.dll"), std::string::npos) << run.errors;
}

}  // namespace
