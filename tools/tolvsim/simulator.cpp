#include "simulator.h"

#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "replay/country_file.h"
#include "replay/data_files.h"
#include "logs/log_readers.h"
#include "replay/replay.h"
#include "plugin/visible_windows.h"
#include "pump.h"

namespace tolvsim {

namespace {

std::string Trimmed(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return std::string();
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

bool ParseInt(const std::string& text, long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    *value = std::strtol(text.c_str(), &end, 10);
    return end != nullptr && *end == '\0';
}

bool ParseDouble(const std::string& text, double* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return end != nullptr && *end == '\0';
}

std::wstring TextOf(HWND hwnd) {
    std::wstring text;
    RunWhilePumping([&] {
        wchar_t buffer[1024] = {0};
        int n = GetWindowTextW(hwnd, buffer, 1024);
        text.assign(buffer, n > 0 ? static_cast<size_t>(n) : 0);
    });
    return text;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindVisibleControl(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<ControlSearch*>(lParam);
    if (GetDlgCtrlID(hwnd) == search->id && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A control of the window by id; failing a direct child, the first visible one further down, such as a
// box of the extended DXCC window's visible continent page.
HWND FindControl(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    if (control != nullptr) return control;
    ControlSearch search = {id, nullptr};
    EnumChildWindows(window, &FindVisibleControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The top-most window whose title starts with `prefix`; with `id`, the top-most such window that has that
// control (the two DXCC windows share their title while no call is entered).
HWND FindByTitlePrefix(const std::wstring& prefix, int id = 0) {
    for (HWND hwnd : VisibleWindowsOfThisProcess()) {
        std::wstring title = TextOf(hwnd);
        if (title.compare(0, prefix.size(), prefix) == 0 && (id == 0 || FindControl(hwnd, id) != nullptr)) return hwnd;
    }
    return nullptr;
}

}  // namespace

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

bool ParseDateTime(const std::string& date, const std::string& time, COleDateTime* out) {
    SYSTEMTIME st = {};
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    char tail = 0;
    if (std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &y, &mo, &d, &tail) != 3) return false;
    if (std::sscanf(time.c_str(), "%2d:%2d%c", &h, &mi, &tail) != 2) return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59) return false;
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(mo);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    double value = 0.0;
    if (!SystemTimeToVariantTime(&st, &value)) return false;
    *out = COleDateTime(value, COleDateTime::valid);
    return true;
}

bool Simulator::PluginLoaded() {
    if (plugin_.Loaded()) return true;
    out_("error the plug-in is not loaded");
    return false;
}

bool Simulator::Execute(const std::string& rawLine) {
    const std::string line = Trimmed(rawLine);
    if (line.empty() || line[0] == '#') return true;
    const std::vector<std::string> words = SplitWords(line);
    const std::string& command = words[0];
    const std::string rest = Trimmed(line.substr(command.size()));

    if (command == "freq") {
        Freq(words);
    } else if (command == "call") {
        Call(rest);
    } else if (command == "reset") {
        Reset(words);
    } else if (command == "add" || command == "remove") {
        AddOrRemove(words, command == "add");
    } else if (command == "replay") {
        Replay(rest);
    } else if (command == "check") {
        Check(words);
    } else if (command == "result") {
        Result(words);
    } else if (command == "wait") {
        long ms = 0;
        if (words.size() != 2 || !ParseInt(words[1], &ms) || ms < 0) {
            out_("error usage: wait MS");
        } else {
            PumpFor(static_cast<DWORD>(ms));
            out_("ok");
        }
    } else if (command == "windows") {
        Windows();
    } else if (command == "click" || command == "text" || command == "checked" || command == "pixel") {
        OnControl(command, rest);
    } else if (command == "unload") {
        if (!plugin_.Loaded()) {
            out_("error the plug-in is not loaded");
        } else {
            plugin_.Unload();
            out_("ok");
        }
    } else if (command == "quit") {
        out_("ok");
        return false;
    } else {
        out_("error unknown command " + command);
    }
    return true;
}

void Simulator::Freq(const std::vector<std::string>& words) {
    double hz = 0.0;
    if (words.size() != 2 || !ParseDouble(words[1], &hz)) {
        out_("error usage: freq HZ");
        return;
    }
    host_.frequencyHz = hz;
    out_("ok");
}

void Simulator::Call(const std::string& rest) {
    host_.currentCall = FromUtf8(rest);
    out_("ok");
}

void Simulator::Reset(const std::vector<std::string>& words) {
    size_t i = 1;
    int cabrillo = 0;
    if (words.size() > 1 && words[1] == "cabrillo") {
        cabrillo = 1;
        i = 2;
    }
    COleDateTime start, end;
    if (words.size() != i + 6 || !ParseDateTime(words[i + 2], words[i + 3], &start) ||
        !ParseDateTime(words[i + 4], words[i + 5], &end)) {
        out_("error usage: reset [cabrillo] OWNCALL OWNPREFIX YYYY-MM-DD HH:MM YYYY-MM-DD HH:MM");
        return;
    }
    if (!PluginLoaded()) return;
    ownCall_ = words[i];
    const std::string& prefix = words[i + 1];
    // The host's INI is looked for in the current directory, as the host runs from its own folder. By
    // position: 2 Cabrillo request, 3 own call, 4 and 5 start and end, 15 own prefix.
    int result = plugin_.ResetStats0("", cabrillo, ownCall_.c_str(), &start, &end, "", "", "", "", "", "", "", "",
                                     "", prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "");
    out_(std::to_string(result));
}

void Simulator::AddOrRemove(const std::vector<std::string>& w, bool add) {
    // CALL BAND MODE FREQHZ YYYY-MM-DD HH:MM RSTSENT EXCHSENT RSTRCVD EXCHRCVD PREFIX
    long frequency = 0;
    COleDateTime time;
    if (w.size() != 12 || !ParseInt(w[4], &frequency) || frequency < 0 || !ParseDateTime(w[5], w[6], &time)) {
        out_(std::string("error usage: ") + (add ? "add" : "remove") +
             " CALL BAND MODE FREQHZ YYYY-MM-DD HH:MM RSTSENT EXCHSENT RSTRCVD EXCHRCVD PREFIX");
        return;
    }
    if (!PluginLoaded()) return;
    COleDateTime none = COleDateTime::Null();
    AddData0Fn fn = add ? plugin_.AddData0 : plugin_.RemoveData0;
    const std::string &call = w[1], &band = w[2], &mode = w[3], &rstSent = w[7], &exchSent = w[8],
                      &rstRcvd = w[9], &exchRcvd = w[10], &prefix = w[11];
    // By position: 1 own call, 2 call, 3 time, 8 frequency, 9 mode, 10 and 11 the reports, 12 and 13 the
    // exchanges sent and received, 23 prefix, 32 band.
    int result = fn(ownCall_.c_str(), call.c_str(), &time, &none, &none, &none, 0,
                    static_cast<unsigned>(frequency), mode.c_str(), rstSent.c_str(), rstRcvd.c_str(),
                    exchSent.c_str(), exchRcvd.c_str(), "", "", "", "", "", "", "", "", "", prefix.c_str(), 0, 0,
                    0, 0.0, 0.0, "", "", "", band.c_str(), "");
    out_(std::to_string(result));
}

void Simulator::Replay(const std::string& path) {
    // Every QSO of a Cabrillo or ADIF log through AddData0 as the reset's own station, each with its DXCC
    // prefix from the country file, the messages pumped between QSOs as the host's would be.
    if (path.empty()) {
        out_("error usage: replay LOGFILE");
        return;
    }
    if (!PluginLoaded()) return;
    replay::ParsedLog log;
    replay::CountryFile countries;
    std::string error;
    const contest::Record* contest = replay::ContestOfPlugin(plugin_, "the plug-in", error);
    if (!contest || !replay::ReadLogFile(path, *contest, log, error) ||
        !countries.Load(replay::DefaultCountryFilePath(), error, contest->waeCountries)) {
        out_("error " + error);
        return;
    }
    COleDateTime none = COleDateTime::Null();
    int added = 0;
    // Each logged QSO makes the plug-in refresh its windows, and a refresh asks for the frequency. Waiting
    // for that answer keeps the pace of a host whose operator logs one QSO after another, instead of
    // leaving hundreds of refreshes queued; without windows (no answer comes) the waiting stops.
    bool windowsFollow = true;
    for (const replay::LogQso& q : log.qsos) {
        const int reads = host_.frequencyReads;
        COleDateTime time = q.time;
        const std::string prefix = countries.PrefixOf(q.call);
        added += plugin_.AddData0(ownCall_.c_str(), q.call.c_str(), &time, &none, &none, &none, 0, q.frequencyHz,
                                  q.mode.c_str(), q.rstSent.c_str(), q.rstRcvd.c_str(), q.exchSent.c_str(),
                                  q.exchRcvd.c_str(), "", "", "", "", "", "", "", "", "", prefix.c_str(), 0, 0, 0,
                                  0.0, 0.0, "", "", "", q.band.c_str(), "") == 1;
        if (windowsFollow) windowsFollow = PumpUntil([&] { return host_.frequencyReads > reads; }, 2000);
        PumpFor(1);
    }
    out_("ok " + std::to_string(added) + " of " + std::to_string(log.qsos.size()));
}

void Simulator::Check(const std::vector<std::string>& w) {
    // CALL BAND MODE PREFIX
    if (w.size() != 5) {
        out_("error usage: check CALL BAND MODE PREFIX");
        return;
    }
    if (!PluginLoaded()) return;
    // By position: 1 call, 4 mode, 14 prefix, 25 and 26 the band.
    char out1[256] = {0}, out2[256] = {0};
    int result = plugin_.CheckCall0(w[1].c_str(), 0, 0, w[3].c_str(), "", "", "", "", "", "", "", "", "",
                                    w[4].c_str(), 0, 0, 0, 0.0, 0.0, "", "", "", "", "", w[2].c_str(),
                                    w[2].c_str(), out1, out2);
    out_(std::to_string(result));
}

void Simulator::Result(const std::vector<std::string>& w) {
    if (w.size() > 2 || (w.size() == 2 && w[1] != "html")) {
        out_("error usage: result [html]");
        return;
    }
    if (!PluginLoaded()) return;
    if (w.size() == 2) plugin_.setVersion("tolvsim");
    int value = 0;
    const char* report = plugin_.GetResult0(&value);
    std::string text = report != nullptr ? report : "";
    std::istringstream lines(text);
    std::string reportLine;
    while (std::getline(lines, reportLine)) {
        if (!reportLine.empty() && reportLine.back() == '\r') reportLine.pop_back();
        out_(reportLine);
    }
    out_("ok " + std::to_string(value));
}

void Simulator::Windows() {
    std::vector<HWND> windows = VisibleWindowsOfThisProcess();
    for (HWND hwnd : windows) out_("WINDOW " + ToUtf8(TextOf(hwnd)));
    out_("ok " + std::to_string(windows.size()));
}

void Simulator::OnControl(const std::string& command, const std::string& fullRest) {
    // TITLEPREFIX (may hold blanks) CONTROLID; control id 0 is the window itself. "pixel" ends in X Y.
    std::string rest = fullRest;
    std::string extra;
    if (command == "pixel") {
        for (int n = 0; n < 2; ++n) {
            size_t cut = rest.find_last_of(" \t");
            if (cut == std::string::npos) {
                out_("error usage: pixel TITLEPREFIX CONTROLID X Y");
                return;
            }
            extra = rest.substr(cut + 1) + (extra.empty() ? "" : " " + extra);
            rest = Trimmed(rest.substr(0, cut));
        }
    }
    size_t split = rest.find_last_of(" \t");
    long id = -1;
    if (split == std::string::npos || !ParseInt(rest.substr(split + 1), &id) || id < 0) {
        out_("error usage: " + command + " TITLEPREFIX CONTROLID");
        return;
    }
    const std::wstring prefix = FromUtf8(Trimmed(rest.substr(0, split)));
    HWND window = FindByTitlePrefix(prefix);
    if (window == nullptr) {
        out_("error no window " + Trimmed(rest.substr(0, split)));
        return;
    }
    if (HWND holder = FindByTitlePrefix(prefix, static_cast<int>(id))) window = holder;
    HWND control = id == 0 ? window : FindControl(window, static_cast<int>(id));
    if (control == nullptr) {
        out_("error no control " + std::to_string(id));
        return;
    }
    if (command == "pixel") {
        // X Y in the control's client area; the answer is the colour as 0x00BBGGRR in hex.
        long x = -1, y = -1;
        std::vector<std::string> coords = SplitWords(extra);
        if (coords.size() != 2 || !ParseInt(coords[0], &x) || !ParseInt(coords[1], &y)) {
            out_("error usage: pixel TITLEPREFIX CONTROLID X Y");
            return;
        }
        COLORREF colour = CLR_INVALID;
        RunWhilePumping([&] {
            HDC dc = GetDC(control);
            colour = GetPixel(dc, static_cast<int>(x), static_cast<int>(y));
            ReleaseDC(control, dc);
        });
        char text[16];
        std::snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(colour));
        out_(text);
    } else if (command == "click") {
        out_(ClickAndWait(control) ? "ok" : "error the click was not handled");
    } else if (command == "text") {
        out_(ToUtf8(TextOf(control)));
    } else {
        LRESULT state = 0;
        RunWhilePumping([&] { state = SendMessageW(control, BM_GETCHECK, 0, 0); });
        out_(state == BST_CHECKED ? "1" : "0");
    }
}

}  // namespace tolvsim
