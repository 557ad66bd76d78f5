// ResetStats0: the host version from the host's INI, the texts and rows it sets, the fresh bad-QSO file,
// the Cabrillo request and the "Start" alternation that decides whether the windows start.
#include <filesystem>
#include <optional>

#include "engine_test_support.h"
#include "fault_injection.h"
#include "platform/settings.h"

namespace {

namespace fs = std::filesystem;

class ResetTest : public EngineTest {
protected:
    std::string StartKey() { return Settings::GetString("Start", 50, "(missing)"); }
};

TEST_F(ResetTest, HostVersionFromTheIniTheSearchFound) {
    // The host's folder prefix may hold wildcards of its own: any number of them is matched without
    // recursion, and a name that needs every star tried in turn is still answered.
    const std::string millionStars = "host/" + std::string(1000000, '*');
    std::string starsThatCannotMatch = "host/";
    for (int i = 0; i < 20; ++i) starsThatCannotMatch += "*T";
    starsThatCannotMatch += "*X";
    const std::string manyTs = "host/" + std::string(40, 'T') + ".ini";
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> files;  // path, contents
        const char* folder;
        const char* version;  // "prev": left as it was
        bool readError = false;
    } cases[] = {
        {"key line", {{"host/Tolv2.ini", "[Main]\r\nName=x\r\nTolv=2.20\r\nTolv=2.19\r\n"}}, "host/", "2.20"},
        {"no ini at all", {}, "host/", "Tolv"},
        {"other ini only", {{"host/other.ini", "Tolv=2.20\r\n"}}, "host/", "Tolv"},
        {"name contains the host ini", {{"host/OldTolv2.ini", "Tolv=2.14R\n"}}, "host/", "2.14R"},
        {"name compared with case", {{"host/tolv2.ini", "Tolv=2.20\r\n"}}, "host/", "Tolv"},
        {"no key line", {{"host/Tolv2.ini", "[Main]\r\nVersion=2.20\r\ntolv=2.20\r\n"}}, "host/", "prev"},
        {"empty file", {{"host/Tolv2.ini", ""}}, "host/", "prev"},
        {"unreadable", {{"host/Tolv2.ini/x", ""}}, "host/", "prev"},
        {"a read error part-way", {{"host/Tolv2.ini", "Tolv=2.20\r\n"}}, "host/", "prev", true},
        {"one character before the key", {{"host/Tolv2.ini", "xTolv=2.20\r\n"}}, "host/", "=2.20"},
        {"key anywhere in the line", {{"host/Tolv2.ini", "; Tolv=2.20\r\n"}}, "host/", "v=2.20"},
        {"empty value", {{"host/Tolv2.ini", "Tolv=\r\n"}}, "host/", ""},
        {"last line without line end", {{"host/Tolv2.ini", "a=b\r\nTolv=2.21"}}, "host/", "2.21"},
        {"value keeps its blanks", {{"host/Tolv2.ini", "Tolv= 2.20 \r\n"}}, "host/", " 2.20 "},
        {"the folder's file, not the current directory's",
         {{"Tolv2.ini", "Tolv=9.99\r\n"}, {"host/Tolv2.ini", "Tolv=2.20\r\n"}},
         "host/",
         "2.20"},
        {"only the current directory has one", {{"Tolv2.ini", "Tolv=9.99\r\n"}, {"host/a.txt", ""}}, "host/", "Tolv"},
        {"backslash folder", {{"host/Tolv2.ini", "Tolv=2.20\r\n"}}, "host\\", "2.20"},
        {"empty prefix searches the current directory", {{"Tolv2.ini", "Tolv=2.19\r\n"}}, "", "2.19"},
        {"prefix ending in part of a name", {{"host/Tolv2.ini", "Tolv=2.20\r\n"}}, "host/To", "2.20"},
        {"prefix that is part of a name", {{"Tolv2.ini", "Tolv=2.19\r\n"}}, "Tol", "2.19"},
        {"wildcards in the prefix", {{"host/Tolv2.ini", "Tolv=2.20\r\n"}}, "host/t?LV*", "2.20"},
        {"a million wildcards", {{"host/Tolv2.ini", "Tolv=2.20\r\n"}}, millionStars.c_str(), "2.20"},
        {"wildcards that cannot match",
         {{manyTs.c_str(), ""}, {"host/Tolv2.ini", "Tolv=2.20\r\n"}},
         starsThatCannotMatch.c_str(),
         "Tolv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all("host");
        fs::remove("Tolv2.ini");
        fs::create_directories("host");
        for (const auto& f : c.files) {
            fs::create_directories(fs::path(f.first).parent_path().empty() ? "." : fs::path(f.first).parent_path());
            if (fs::path(f.first).filename() != "x") WriteFileBytes(f.first, f.second);
        }
        app_.LockEngine()->hostVersion = "prev";
        {
            std::optional<FileFaults> fault;
            if (c.readError) fault.emplace(FileFault::readError);
            Reset(c.folder);
        }
        EXPECT_EQ(app_.LockEngine()->hostVersion, c.version);
    }
}

TEST_F(ResetTest, StartsAfreshWithTextsAndAnEmptyBadQsoFile) {
    Reset("", 0, "DL");
    app_.AddData(ToQsoArgs({"K1AB", "20m", "RTTY", "K", "XX", 4, 14, 32, 1}));
    ASSERT_NE(BadQsoFile(), scenario::kCreatedHeader);

    ASSERT_EQ(Reset("", 0, "UA9"), 1);
    const Engine& e = *app_.LockEngine();
    EXPECT_TRUE(e.qsoLog.Empty());
    EXPECT_TRUE(e.bandsSeen.empty());
    EXPECT_FALSE(e.qsoLog.HasCallBand("K1AB", "20m")) << "the indexes go with the log";
    EXPECT_FALSE(e.qsoLog.HasPrefix("K"));
    EXPECT_EQ(BadQsoFile(), "ARRL-RTTY-Roundup Contest UBN file\r\n");
    EXPECT_EQ(e.badQsoFileName, "BadQSO_DezuvEZIR_05_01_2020.txt");
    EXPECT_EQ(e.contestStartDayMonth, "04.01");
    EXPECT_EQ(e.contestStartYear, "2020");
    EXPECT_EQ(e.contestEnd, "05.01.2020");
    EXPECT_EQ(e.ownCall, "W1AW");
    EXPECT_EQ(e.cabrilloRequested, 0);
    EXPECT_EQ(e.russianTexts, 1);

    Reset("", 0, "DL");
    EXPECT_EQ(app_.LockEngine()->russianTexts, 1) << "never cleared once set";
}

TEST_F(ResetTest, DatesShapeTheFileNameAndNullDatesGiveEmptyTexts) {
    ResetArgs args;
    args.contestStart = COleDateTime::Null();
    args.contestEnd = COleDateTime::FromFields(2021, 1, 3, 0, 0);
    app_.ResetStats(args);
    EXPECT_EQ(ReadFileBytes("BadQSO_DezuvEZIR_03_01_2021.txt"), "ARRL-RTTY-Roundup Contest UBN file\r\n");
    EXPECT_EQ(app_.LockEngine()->contestStartDayMonth, "");

    args.contestEnd = COleDateTime::Null();
    app_.ResetStats(args);
    EXPECT_EQ(ReadFileBytes("BadQSO_DezuvEZIR_.txt"), "ARRL-RTTY-Roundup Contest UBN file\r\n");
    EXPECT_EQ(app_.LockEngine()->contestEnd, "");
    EXPECT_TRUE(FileExists("BadQSO_DezuvEZIR_03_01_2021.txt")) << "an earlier file stays on disk";
}

TEST_F(ResetTest, StartKeyAlternatesAndDecidesTheWindowStart) {
    struct Step {
        const char* storedStart;  // written before the reset; nullptr: leave the file as it is
        bool controlWindow;
        const char* hostVersion;  // host INI's version; nullptr: no host INI
        int cabrilloRequest;
        int starts;               // window starts so far
        const char* startAfter;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"alternates across resets",
         {{"(none)", false, nullptr, 0, 1, "1"}, {nullptr, false, nullptr, 0, 1, "0"},
          {nullptr, false, nullptr, 0, 2, "1"}, {nullptr, false, nullptr, 0, 2, "0"}}},
        {"a 1 left by an earlier run starts nothing", {{"1", false, nullptr, 0, 0, "0"}}},
        {"a control window keeps the key", {{"0", true, nullptr, 0, 0, "0"}, {"(none)", true, nullptr, 0, 0, "(missing)"}}},
        {"old hosts start nothing but still alternate",
         {{"0", false, "2.14R", 0, 0, "1"}, {nullptr, false, "2.14R", 0, 0, "0"}, {"0", false, "2.18", 0, 0, "1"},
          {"0", false, "2.15", 0, 0, "1"}, {"0", false, "2.19", 0, 1, "1"}, {"0", false, "2.14r", 0, 2, "1"}}},
        {"a Cabrillo request never starts them",
         {{"0", false, nullptr, 1, 0, "0"}, {"1", false, nullptr, 1, 0, "0"}, {"0", true, nullptr, 1, 0, "0"}}},
        {"the key read as a leading number",
         {{"abc", false, nullptr, 0, 1, "1"}, {" 7x", false, nullptr, 0, 1, "0"}, {"-1", false, nullptr, 0, 1, "0"}}},
    };
    app_.editCabrilloHeader = [](const std::string&, const COleDateTime&, const COleDateTime&) { return 1; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        windows_->starts = 0;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            SCOPED_TRACE(i);
            if (s.storedStart != nullptr) {
                WriteFileBytes("Plugins/ARRL-RTTY.ini", std::string(s.storedStart) == "(none)"
                                                           ? std::string("[Settings]\r\n")
                                                           : "[Settings]\r\nStart=" + std::string(s.storedStart) + "\r\n");
            }
            fs::remove_all("host");
            fs::create_directories("host");
            if (s.hostVersion) WriteFileBytes("host/Tolv2.ini", std::string("Tolv=") + s.hostVersion + "\r\n");
            windows_->controlWindow = s.controlWindow;
            Reset("host/", s.cabrilloRequest);
            EXPECT_EQ(windows_->starts, s.starts);
            EXPECT_EQ(StartKey(), s.startAfter);
        }
    }
}

TEST_F(ResetTest, WithoutASettingsFolderEveryResetStartsTheWindows) {
    fs::remove_all("Plugins");
    for (int i = 1; i <= 3; ++i) {
        Reset();
        EXPECT_EQ(windows_->starts, i);
    }
    EXPECT_FALSE(fs::exists("Plugins"));
    EXPECT_EQ(BadQsoFile(), scenario::kCreatedHeader);
}

TEST_F(ResetTest, CabrilloHeaderRunsWithoutTheLockAndItsCancelClearsTheRequest) {
    struct Call {
        std::string call;
        COleDateTime start, end;
        bool lockFree = false;
    };
    std::vector<Call> calls;
    int answer = 1;
    app_.editCabrilloHeader = [&](const std::string& call, const COleDateTime& start, const COleDateTime& end) {
        Call c{call, start, end};
        c.lockFree = app_.TryLockEngine().has_value();
        calls.push_back(c);
        return answer;
    };
    Reset("", 1);
    EXPECT_EQ(app_.LockEngine()->cabrilloRequested, 1);
    answer = 0;
    Reset("", 7);
    EXPECT_EQ(app_.LockEngine()->cabrilloRequested, 0) << "a cancelled header cancels the Cabrillo log";
    Reset("", 0);
    ASSERT_EQ(calls.size(), 2u) << "only a request shows the header";
    EXPECT_EQ(calls[0].call, "W1AW");
    EXPECT_TRUE(calls[0].start.SameTime(scenario::ContestStart()));
    EXPECT_TRUE(calls[0].end.SameTime(scenario::ContestEnd()));
    EXPECT_TRUE(calls[0].lockFree && calls[1].lockFree);
    EXPECT_EQ(BadQsoFile(), scenario::kCreatedHeader);
}

}  // namespace
