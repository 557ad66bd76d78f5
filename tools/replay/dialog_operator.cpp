#include "dialog_operator.h"

#if defined(_WIN32)
#include <windows.h>

#include <chrono>
#include <map>

#include "plugin/visible_windows.h"
#endif

#include "common/text.h"

namespace replay {

DialogOperator::DialogOperator(std::vector<HeaderValue> values, std::string setName)
    : values_(std::move(values)), setName_(std::move(setName)) {}

DialogOperator::~DialogOperator() { Stop(); }

void DialogOperator::Event(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(line);
}

std::vector<std::string> DialogOperator::TakeEvents() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> out;
    out.swap(events_);
    return out;
}

void DialogOperator::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

#if !defined(_WIN32)

bool DialogOperator::HasWindows() { return false; }
void DialogOperator::Start() {}
void DialogOperator::Run() {}

#else

namespace {

constexpr const char* kOutputCaption = "Output";
constexpr int kMessageTextId = 0xFFFF;  // the static text of a message box
constexpr DWORD kSendTimeoutMs = 2000;

// The dialogs and message boxes this process shows.
std::vector<HWND> VisibleDialogs() {
    std::vector<HWND> dialogs;
    for (HWND hwnd : VisibleWindowsOfThisProcess()) {
        char cls[32] = {0};
        if (GetClassNameA(hwnd, cls, sizeof cls) && std::string(cls) == "#32770") dialogs.push_back(hwnd);
    }
    return dialogs;
}

std::string WindowText(HWND hwnd) {
    char buf[1024] = {0};
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

void PressOk(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

}  // namespace

bool DialogOperator::HasWindows() { return true; }

void DialogOperator::Start() {
    if (thread_.joinable()) return;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
}

void DialogOperator::Run() {
    // A window keeps its entry until it is gone; one that outlives a press is pressed again after a second.
    std::map<HWND, std::chrono::steady_clock::time_point> pressed;
    while (!stop_) {
        const std::vector<HWND> dialogs = VisibleDialogs();
        auto now = std::chrono::steady_clock::now();
        for (auto it = pressed.begin(); it != pressed.end();) {
            it = IsWindow(it->first) ? std::next(it) : pressed.erase(it);
        }
        for (HWND w : dialogs) {
            auto seen = pressed.find(w);
            if (seen != pressed.end() && now - seen->second < std::chrono::seconds(1)) continue;
            std::string caption = WindowText(w);
            if (caption == " " + setName_) {
                if (seen == pressed.end()) {
                    int filled = 0;
                    for (const HeaderValue& v : values_) {
                        HWND control = GetDlgItem(w, v.field->controlId);
                        if (!control) {
                            Event(text::Format("header dialog: no control %d for %s", v.field->controlId, v.field->tag));
                            continue;
                        }
                        std::string t = DialogText(v.value);
                        DWORD_PTR result = 0;
                        if (SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()),
                                                SMTO_NORMAL, kSendTimeoutMs, &result)) {
                            ++filled;
                        }
                    }
                    Event(text::Format("[Cabrillo header] %d field(s) filled, OK pressed", filled));
                }
                PressOk(w);
                pressed[w] = now;
            } else if (caption == kOutputCaption) {
                if (seen == pressed.end()) {
                    char buf[1024] = {0};
                    GetDlgItemTextA(w, kMessageTextId, buf, sizeof buf);
                    Event(std::string("[Output] ") + buf);
                }
                PressOk(w);
                pressed[w] = now;
            }
        }
        Sleep(20);
    }
}

#endif

}  // namespace replay
