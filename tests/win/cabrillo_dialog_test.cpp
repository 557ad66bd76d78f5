// The Cabrillo header dialog as the operator meets it: ResetStats0 with the request raises it on the host's
// thread; a second thread plays the operator, reads the dialog, edits it and presses OK or CANCEL, and then
// closes the "Output" message box that GetResult0 raises.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "plugin.h"
#include "resources/resource.h"
#include "score_test_support.h"

namespace {

// A fresh working directory with a Plugins folder; the plug-in writes its files relative to it.
class WorkDir {
public:
    WorkDir() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        char previous[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, previous);
        previous_ = previous;
        path_ = std::string(base) + "stats-cabrillo-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount());
        CreateDirectoryA(path_.c_str(), nullptr);
        CreateDirectoryA((path_ + "\\Plugins").c_str(), nullptr);
        CreateDirectoryA((path_ + "\\hostini").c_str(), nullptr);
        SetCurrentDirectoryA(path_.c_str());
    }
    ~WorkDir() {
        SetCurrentDirectoryA(previous_.c_str());
        for (const char* f : {"\\Plugins\\ARRL-RTTY.ini", "\\W1AW_4.cbr", "\\BadQSO_DezuvEZIR_05_01_2020.txt"}) {
            DeleteFileA((path_ + f).c_str());
        }
        RemoveDirectoryA((path_ + "\\Plugins").c_str());
        RemoveDirectoryA((path_ + "\\hostini").c_str());
        RemoveDirectoryA(path_.c_str());
    }
    // Folder prefix for the host INI search: a folder without any INI file.
    std::string HostIniFolder() const { return path_ + "\\hostini\\"; }

private:
    std::string path_;
    std::string previous_;
};

std::string ReadFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool FileExists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

std::string WindowText(HWND w) {
    int n = GetWindowTextLengthA(w);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    int got = GetWindowTextA(w, &s[0], n + 1);
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return s;
}

// A visible dialog-class window of this process with the given caption, or null.
HWND FindOwnDialog(const char* caption) {
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "#32770", caption)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

HWND WaitForOwnDialog(const char* caption, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (HWND w = FindOwnDialog(caption)) return w;
        Sleep(20);
    }
    return nullptr;
}

// Writes the window as the operator sees it to a 24-bit BMP file.
bool SaveScreenshot(HWND w, const std::string& path) {
    RECT r;
    GetWindowRect(w, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    // Copied from the window's own surface: the dialog is painted there with all its controls.
    HDC windowDc = GetWindowDC(w);
    HDC mem = CreateCompatibleDC(windowDc);
    HBITMAP bmp = CreateCompatibleBitmap(windowDc, width, height);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    SelectObject(mem, old);

    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = width;
    bih.biHeight = height;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(mem, bmp, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(w, windowDc);

    // An empty picture is no screenshot: the labels must have put dark text on the light face.
    size_t dark = 0, light = 0;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = pixels.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            int sum = row[3 * x] + row[3 * x + 1] + row[3 * x + 2];
            if (sum < 150) ++dark;
            if (sum > 600) ++light;
        }
    }
    if (dark < 500 || light < 10000) return false;

    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&bfh), sizeof bfh);
    out.write(reinterpret_cast<const char*>(&bih), sizeof bih);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

// Where each control should stand, in dialog units: x, y, width, height (a combo box's height includes
// its list, so only its position and width are compared).
struct Placement {
    int id;
    int x, y, cx, cy;
    bool combo;
};
const Placement kPlacements[] = {
    {IDC_CAB_CONTEST, 55, 9, 190, 12, false},
    {IDC_CAB_CALLSIGN, 55, 23, 88, 12, false},
    {IDC_CAB_CLAIMED, 184, 23, 61, 12, false},
    {IDC_CAB_CATEGORY_OPERATOR, 92, 36, 79, 86, true},
    {IDC_CAB_LOCATION, 213, 38, 30, 85, true},
    {IDC_CAB_CATEGORY_BAND, 92, 50, 79, 72, true},
    {IDC_CAB_CATEGORY_ASSISTED, 91, 64, 79, 45, true},
    {IDC_CAB_CATEGORY_MODE, 92, 78, 79, 45, true},
    {IDC_CAB_CATEGORY_OVERLAY, 91, 92, 80, 51, true},
    {IDC_CAB_CATEGORY_POWER, 91, 105, 80, 51, true},
    {IDC_CAB_CATEGORY_STATION, 91, 118, 80, 71, true},
    {IDC_CAB_CATEGORY_TRANSMITTER, 105, 131, 66, 49, true},
    {IDC_CAB_NAME, 55, 144, 191, 12, false},
    {IDC_CAB_ADDRESS, 55, 156, 191, 14, false},
    {IDC_CAB_ADDRESS_CITY, 67, 170, 179, 14, false},
    {IDC_CAB_ADDRESS_STATE_PROVINCE, 112, 184, 134, 14, false},
    {IDC_CAB_ADDRESS_POSTALCODE, 100, 198, 146, 14, false},
    {IDC_CAB_ADDRESS_COUNTRY, 100, 212, 146, 14, false},
    {IDC_CAB_OPERATORS, 55, 227, 191, 12, false},
    {IDC_CAB_CLUB, 55, 240, 191, 12, false},
    {IDC_CAB_SOAPBOX, 55, 252, 191, 31, false},
    {IDC_CAB_EMAIL, 55, 283, 191, 12, false},
    {IDOK, 81, 302, 51, 21, false},
    {IDCANCEL, 143, 302, 46, 21, false},
};

// What the operator saw in the dialog, read on the operator's thread and checked on the test's thread.
struct DialogSeen {
    bool found = false;
    std::string caption;
    LONG style = 0;
    RECT clientPx = {};
    RECT clientExpectedPx = {};  // 255 x 351 dialog units
    std::map<int, std::string> texts;
    std::map<int, LONG> styles;
    std::map<int, std::vector<std::string>> lists;
    std::map<int, RECT> placedPx;    // in the dialog's client coordinates
    std::map<int, RECT> expectedPx;  // kPlacements mapped to pixels
    std::vector<std::string> labels;
    std::map<std::string, POINT> labelOriginPx;
    POINT claimedLabelExpected = {}, locationLabelExpected = {};
    bool screenshot = false;
};

void ReadDialog(HWND dialog, DialogSeen& seen) {
    seen.found = true;
    seen.caption = WindowText(dialog);
    seen.style = GetWindowLongA(dialog, GWL_STYLE);
    GetClientRect(dialog, &seen.clientPx);
    seen.clientExpectedPx = {0, 0, 255, 351};
    MapDialogRect(dialog, &seen.clientExpectedPx);
    for (const Placement& p : kPlacements) {
        HWND c = GetDlgItem(dialog, p.id);
        if (c == nullptr) continue;
        seen.texts[p.id] = WindowText(c);
        seen.styles[p.id] = GetWindowLongA(c, GWL_STYLE);
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        seen.placedPx[p.id] = r;
        RECT e = {p.x, p.y, p.x + p.cx, p.y + p.cy};
        MapDialogRect(dialog, &e);
        seen.expectedPx[p.id] = e;
        if (p.combo) {
            LRESULT n = SendMessageA(c, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < n; ++i) {
                char item[64] = {0};
                SendMessageA(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
                seen.lists[p.id].push_back(item);
            }
        }
    }
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {0};
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") != 0) continue;
        std::string label = WindowText(c);
        seen.labels.push_back(label);
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        seen.labelOriginPx[label] = {r.left, r.top};
    }
    RECT claimed = {149, 25, 149, 25};
    MapDialogRect(dialog, &claimed);
    seen.claimedLabelExpected = {claimed.left, claimed.top};
    RECT location = {174, 40, 174, 40};
    MapDialogRect(dialog, &location);
    seen.locationLabelExpected = {location.left, location.top};
}

// The operator: answers the header dialog, then closes the Output message box if one comes.
struct Operator {
    bool pressOk = true;
    bool takeScreenshot = false;
    DialogSeen seen;
    std::atomic<bool> resultDone{false};
    bool outputSeen = false;
    std::string outputText;
    std::thread dialogWorker;
    std::thread outputWorker;

    void AnswerHeaderDialog() {
        dialogWorker = std::thread([this] {
            HWND dialog = WaitForOwnDialog(" ARRL RTTY Roundup (C)", 15000);
            if (dialog == nullptr) return;
            Sleep(100);  // let it paint before the screenshot
            ReadDialog(dialog, seen);
            if (takeScreenshot) seen.screenshot = SaveScreenshot(dialog, BesideTestProgram("cabrillo_dialog.bmp"));
            if (pressOk) {
                SetWindowTextA(GetDlgItem(dialog, IDC_CAB_CALLSIGN), "W1AW/EDIT");
                SetWindowTextA(GetDlgItem(dialog, IDC_CAB_SOAPBOX), "First line\r\nSecond line");
                SetWindowTextA(GetDlgItem(dialog, IDC_CAB_CLAIMED), "999999");
                SendMessageA(GetDlgItem(dialog, IDC_CAB_CATEGORY_POWER), CB_SETCURSEL, 1, 0);  // LOW
            }
            int id = pressOk ? IDOK : IDCANCEL;
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        });
    }

    // Watches for the Output box until the test says GetResult0 has returned.
    void CloseOutputBox() {
        resultDone = false;
        outputWorker = std::thread([this] {
            while (!resultDone) {
                if (HWND box = FindOwnDialog("Output")) {
                    outputSeen = true;
                    outputText = WindowText(GetDlgItem(box, 0xFFFF));
                    PostMessageA(box, WM_COMMAND, IDOK, 0);
                    return;
                }
                Sleep(20);
            }
        });
    }

    void JoinDialog() {
        if (dialogWorker.joinable()) dialogWorker.join();
    }
    void JoinOutput() {
        resultDone = true;
        if (outputWorker.joinable()) outputWorker.join();
    }
};

// A valid date-time of January 2020 as the host passes it (day 43831 is 1 January 2020).
COleDateTime January2020(int day, int hour, int minute) {
    return COleDateTime(43830 + day + (hour * 60 + minute) / 1440.0, COleDateTime::valid);
}

int Reset(Plugin& p, const WorkDir& dir, int cabrilloRequest, const char* ownCall) {
    COleDateTime start = January2020(4, 18, 0);
    COleDateTime end = January2020(5, 23, 59);
    std::string folder = dir.HostIniFolder();
    return p.ResetStats0(folder.c_str(), cabrilloRequest, ownCall, &start, &end, "", "", "", "", "", "", "", "",
                         "", "K", 0, 0, 0, 0.0, 0.0, "", "", "");
}

int Add(Plugin& p, const char* call, int hour, int minute, unsigned hz, const char* mode, const char* exch,
        const char* prefix, const char* band) {
    COleDateTime t = January2020(4, hour, minute);
    return p.AddData0("W1AW/4", call, &t, nullptr, nullptr, nullptr, 0, hz, mode, "599", "599", "CT", exch, "",
                      "", "", "", "", "", "", "", "", prefix, 0, 0, 0, 0.0, 0.0, "", "", "", band, "");
}

const char* const kLabels[] = {"CONTEST", "CALLSIGN", "CLAIMED", "CATEGORY-OPERATOR", "LOCATION", "CATEGORY-BAND",
                               "CATEGORY-ASSISTED", "CATEGORY-MODE", "CATEGORY-OVERLAY", "CATEGORY-POWER",
                               "CATEGORY-STATION", "CATEGORY-TRANSMITTER", "NAME", "ADDRESS", "ADDRESS-CITY",
                               "ADDRESS-STATE-PROVINCE", "ADDRESS-POSTALCODE", "ADDRESS-COUNTRY", "OPERATORS",
                               "CLUB", "SOAPBOX", "E-MAIL"};

void ExpectNear(const RECT& a, const RECT& e, bool positionAndWidthOnly, int id) {
    EXPECT_NEAR(a.left, e.left, 1) << "control " << id;
    EXPECT_NEAR(a.top, e.top, 1) << "control " << id;
    EXPECT_NEAR(a.right, e.right, 1) << "control " << id;
    if (!positionAndWidthOnly) {
        EXPECT_NEAR(a.bottom, e.bottom, 1) << "control " << id;
    }
}

TEST(CabrilloDialog, OkExportsTheEditedHeaderAndCancelExportsNothing) {
    WorkDir dir;
    {
        std::ofstream ini("Plugins\\ARRL-RTTY.ini", std::ios::binary);
        ini << "[Settings]\r\nName=Hiram Maxim\r\nAddress_City=Newington\r\nClaimed=140\r\n";
    }
    Plugin p;
    ASSERT_TRUE(p.Load());

    // First run: the operator edits CALLSIGN, SOAPBOX and the power, and presses OK.
    Operator op;
    op.takeScreenshot = true;
    op.AnswerHeaderDialog();
    EXPECT_EQ(Reset(p, dir, 1, "W1AW/4"), 1);  // returns once the dialog is closed
    op.JoinDialog();
    ASSERT_TRUE(op.seen.found) << "no header dialog";
    const DialogSeen& s = op.seen;

    EXPECT_EQ(s.caption, " ARRL RTTY Roundup (C)");
    const LONG frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_MODALFRAME;
    EXPECT_EQ(s.style & frame, frame);
    EXPECT_NEAR(s.clientPx.right, s.clientExpectedPx.right, 1);
    EXPECT_NEAR(s.clientPx.bottom, s.clientExpectedPx.bottom, 1);
    for (const Placement& pl : kPlacements) {
        ASSERT_TRUE(s.placedPx.count(pl.id)) << "missing control " << pl.id;
        ExpectNear(s.placedPx.at(pl.id), s.expectedPx.at(pl.id), pl.combo, pl.id);
        if (pl.combo) {
            EXPECT_EQ(s.styles.at(pl.id) & 3, CBS_DROPDOWN) << pl.id;
            bool sorted = pl.id == IDC_CAB_CATEGORY_OVERLAY || pl.id == IDC_CAB_CATEGORY_POWER ||
                          pl.id == IDC_CAB_CATEGORY_STATION || pl.id == IDC_CAB_CATEGORY_TRANSMITTER;
            EXPECT_EQ((s.styles.at(pl.id) & CBS_SORT) != 0, sorted) << pl.id;
        }
    }
    const LONG soapbox = ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL;
    EXPECT_EQ(s.styles.at(IDC_CAB_SOAPBOX) & soapbox, soapbox);
    EXPECT_EQ(s.texts.at(IDOK), "OK");
    EXPECT_EQ(s.texts.at(IDCANCEL), "CANCEL");
    EXPECT_EQ(s.labels, std::vector<std::string>(std::begin(kLabels), std::end(kLabels)));
    EXPECT_NEAR(s.labelOriginPx.at("CLAIMED").x, s.claimedLabelExpected.x, 1);
    EXPECT_NEAR(s.labelOriginPx.at("CLAIMED").y, s.claimedLabelExpected.y, 1);
    EXPECT_NEAR(s.labelOriginPx.at("LOCATION").x, s.locationLabelExpected.x, 1);
    EXPECT_NEAR(s.labelOriginPx.at("LOCATION").y, s.locationLabelExpected.y, 1);

    // The fields as the dialog opens.
    const std::map<int, std::string> opened = {
        {IDC_CAB_CONTEST, "ARRL-RTTY"},
        {IDC_CAB_CALLSIGN, "W1AW/4"},
        {IDC_CAB_CLAIMED, "140"},
        {IDC_CAB_CATEGORY_OPERATOR, "SINGLE-OP"},
        {IDC_CAB_LOCATION, "DX"},
        {IDC_CAB_CATEGORY_BAND, "ALL"},
        {IDC_CAB_CATEGORY_ASSISTED, "NON-ASSISTED"},
        {IDC_CAB_CATEGORY_MODE, "RTTY"},
        {IDC_CAB_CATEGORY_OVERLAY, "NONE"},
        {IDC_CAB_CATEGORY_POWER, "HIGH"},
        {IDC_CAB_CATEGORY_STATION, "FIXED"},
        {IDC_CAB_CATEGORY_TRANSMITTER, "ONE"},
        {IDC_CAB_NAME, "Hiram Maxim"},
        {IDC_CAB_ADDRESS, ""},
        {IDC_CAB_ADDRESS_CITY, "Newington"},
        {IDC_CAB_OPERATORS, "W1AW/4"},
        {IDC_CAB_SOAPBOX, ""},
        {IDC_CAB_EMAIL, ""},
    };
    for (const auto& f : opened) EXPECT_EQ(s.texts.at(f.first), f.second) << "control " << f.first;

    using List = std::vector<std::string>;
    EXPECT_EQ(s.lists.at(IDC_CAB_CATEGORY_OPERATOR), (List{"SINGLE-OP", "MULTI-MULTI", "MULTI-OP", "CHECKLOG"}));
    EXPECT_EQ(s.lists.at(IDC_CAB_CATEGORY_BAND), (List{"ALL", "80M", "40M", "20M", "15M", "10M"}));
    EXPECT_EQ(s.lists.at(IDC_CAB_CATEGORY_ASSISTED), (List{"ASSISTED", "NON-ASSISTED"}));
    EXPECT_EQ(s.lists.at(IDC_CAB_CATEGORY_MODE), (List{"RTTY", "PSK", "AMTOR", "PACKET", "MIXED"}));
    EXPECT_EQ(s.lists.at(IDC_CAB_CATEGORY_OVERLAY), (List{"CLASSIC", "ROOKIE"}));
    EXPECT_EQ(s.lists.at(IDC_CAB_CATEGORY_POWER), (List{"HIGH", "LOW", "QRP"}));
    EXPECT_EQ(s.lists.at(IDC_CAB_CATEGORY_STATION),
              (List{"EXPEDITION", "FIXED", "HQ", "MOBILE", "PORTABLE", "ROVER", "SCHOOL"}));
    EXPECT_EQ(s.lists.at(IDC_CAB_CATEGORY_TRANSMITTER), (List{"ONE", "TWO", "UNLIMITED"}));
    const List location = {"DX", "--/--", "AL", "AK", "AZ", "AR", "CA", "CO", "CT", "DE", "FL", "GA", "ID",
                           "IL", "IN", "IA", "KS", "KY", "LA", "ME", "MA", "MI", "MN", "MS", "MO", "MT",
                           "NE", "NV", "NH", "NJ", "NM", "NY", "NC", "ND", "OH", "OK", "OR", "PA", "RI",
                           "SC", "SD", "TN", "TX", "UT", "VT", "VA", "WA", "WV", "WI", "WY", "NB", "NS",
                           "QC", "ON", "MB", "SK", "AB", "BC", "NWT", "NF", "LB", "NU", "YT", "PEI"};
    ASSERT_EQ(location.size(), 64u);
    EXPECT_EQ(s.lists.at(IDC_CAB_LOCATION), location);
    EXPECT_TRUE(s.screenshot);

    // The QSOs, then the report writes the file and says so.
    EXPECT_EQ(Add(p, "K1AB", 18, 5, 7080000, "RTTY", "CT", "K", "40m"), 1);
    EXPECT_EQ(Add(p, "DL1ABC", 18, 10, 14080500, "BPSK31", "001", "DL", "20m"), 1);
    EXPECT_EQ(Add(p, "K1AB", 18, 15, 7081000, "RTTY", "CT", "K", "40m"), 1);  // dupe: exported all the same
    op.CloseOutputBox();
    int out = 0;
    const char* report = p.GetResult0(&out);
    op.JoinOutput();
    EXPECT_EQ(out, -1);
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(op.outputSeen);
    EXPECT_EQ(op.outputText, "File produced: W1AW_4.cbr");
    EXPECT_EQ(ReadFile("W1AW_4.cbr"),
              scoretest::CabrilloTop("W1AW/EDIT", "LOW") +
              "CLAIMED-SCORE: 4\r\n"  // 2 points x (CT + DL): the USA is no DXCC multiplier
              "OPERATORS: W1AW/4\r\n"
              "NAME: Hiram Maxim\r\n"
              "ADDRESS: \r\n"
              "ADDRESS-CITY: Newington\r\n"
              "ADDRESS-STATE-PROVINCE: \r\n"
              "ADDRESS-POSTALCODE: \r\n"
              "ADDRESS-COUNTRY: \r\n"
              "SOAPBOX: First line\r\n"
              "SOAPBOX: Second line\r\n"
              "CREATED-BY: Tolv Tolv\r\n"
              "EMAIL: \r\n"
              "QSO:  7080 RY 2020-01-04 1805 W1AW/EDIT     599 CT     K1AB          599 CT\r\n"
              "QSO: 14080 RY 2020-01-04 1810 W1AW/EDIT     599 CT     DL1ABC        599 001\r\n"
              "QSO:  7081 RY 2020-01-04 1815 W1AW/EDIT     599 CT     K1AB          599 CT\r\n"
              "END-OF-LOG:\r\n");
    const std::string ini = ReadFile("Plugins\\ARRL-RTTY.ini");
    EXPECT_NE(ini.find("SoapBox=First line<CR><LF>Second line\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Claimed=4\r\n"), std::string::npos) << ini;

    // Second run: CANCEL. The report then writes no file and raises no message.
    ASSERT_TRUE(DeleteFileA("W1AW_4.cbr"));
    Operator cancel;
    cancel.pressOk = false;
    cancel.AnswerHeaderDialog();
    EXPECT_EQ(Reset(p, dir, 1, "W1AW/4"), 1);
    cancel.JoinDialog();
    ASSERT_TRUE(cancel.seen.found) << "no header dialog on the second run";
    EXPECT_EQ(cancel.seen.texts.at(IDC_CAB_SOAPBOX), "First line\r\nSecond line");
    EXPECT_EQ(cancel.seen.texts.at(IDC_CAB_CALLSIGN), "W1AW/4");
    EXPECT_EQ(cancel.seen.texts.at(IDC_CAB_CATEGORY_POWER), "HIGH");
    EXPECT_EQ(Add(p, "K1AB", 18, 5, 7080000, "RTTY", "CT", "K", "40m"), 1);
    cancel.CloseOutputBox();
    p.GetResult0(&out);
    cancel.JoinOutput();
    EXPECT_FALSE(cancel.outputSeen) << cancel.outputText;
    EXPECT_FALSE(FileExists("W1AW_4.cbr"));
}

}  // namespace
