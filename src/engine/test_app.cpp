#include "engine/test_app.h"

#include <utility>

#include "common/text.h"
#include "engine/contest_rules.h"
#include "engine/host_version.h"
#include "platform/settings.h"
#include "scoring/score_report.h"

namespace {

const char* const kStartKey = "Start";
constexpr size_t kStartBuffer = 50;

}  // namespace

CTestApp& CTestApp::Instance() {
    static CTestApp app;
    return app;
}

CTestApp::CTestApp() : windows(CreateStatusWindows(*this)) {
    editCabrilloHeader = [this](const std::string& call, const COleDateTime& start, const COleDateTime& end) {
        return cabrillo.EditHeader(call, start, end);
    };
}

CTestApp::~CTestApp() = default;

CTestApp::LockedEngine CTestApp::LockEngine() { return LockedEngine(std::unique_lock<std::mutex>(mutex_), engine); }

std::optional<CTestApp::LockedEngine> CTestApp::TryLockEngine() {
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) return std::nullopt;
    return LockedEngine(std::move(lock), engine);
}

void CTestApp::SetVersion() {
    std::lock_guard<std::mutex> lock(mutex_);
    engine.htmlReportEnabled = 1;
}

int CTestApp::IsValidExchg(const ExchangeArgs& args) {
    return rules::IsValidExchange(args.exchange, args.prefix, args.disable);
}

int CTestApp::CheckCall(const CheckArgs& args) {
    // The control window asks for a refresh through refreshPending; one check answers one request.
    bool post = windows->ControlWindowExists() && engine.refreshPending.exchange(0) != 0;
    int result;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        engine.EndLoggingBurst();
        result = engine.CheckCall(args);
    }
    if (post) windows->PostRefresh();
    return result;
}

int CTestApp::AddData(QsoArgs&& args) {
    int result;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        result = engine.AddData(std::move(args));
    }
    if (result == 1 && windows->ControlWindowExists()) windows->PostRefresh();
    return result;
}

int CTestApp::RemoveData(const QsoArgs& args) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        engine.RemoveData(args);
    }
    if (windows->ControlWindowExists()) windows->PostRefresh();
    return 1;
}

int CTestApp::ResetStats(const ResetArgs& args) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        engine.Reset(args);
    }
    if (args.cabrilloRequest != 0) {
        // The header dialog is modal: no lock while it is up.
        if (editCabrilloHeader(args.ownCall, args.contestStart, args.contestEnd) == 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            engine.cabrilloRequested = 0;
        }
        Settings::WriteString(kStartKey, "1");
    }

    // "Start" alternates: a reset that starts the windows leaves 1, and the next reset only puts back 0.
    // So a Cabrillo request, which has just written 1, never starts them.
    if (text::LeadingInt(Settings::GetString(kStartKey, kStartBuffer)) != 0) {
        Settings::WriteString(kStartKey, "0");
    } else if (!windows->ControlWindowExists()) {
        bool start;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            start = !hostversion::KeepsWindowsClosed(engine.hostVersion);
        }
        if (start) windows->Start();
        Settings::WriteString(kStartKey, "1");
    }

    std::lock_guard<std::mutex> lock(mutex_);
    engine.CreateBadQsoFile();
    return 1;
}

void CTestApp::SetBandChangeWindowOpen(bool open) {
    std::lock_guard<std::mutex> lock(mutex_);
    engine.bandChangeWindowOpen = open;
    if (open) engine.bandChangeCount = 0;
}

int CTestApp::BandChangeCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return engine.bandChangeCount;
}

const char* CTestApp::GetResult(int* out) {
    OutputMessage output;
    std::string report;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        engine.EndLoggingBurst();
        output = ProduceResult(engine, cabrillo, report);
    }
    // The message box is modal: the window thread keeps refreshing while it is open.
    if (output.show) CurrentPrompts().ShowMessage(output.text, "Output", output.icon);
    if (out) *out = -1;
    std::lock_guard<std::mutex> lock(mutex_);
    std::string& text = reports_[std::this_thread::get_id()];
    text = std::move(report);
    return text.c_str();
}

void CTestApp::ExitInstance(bool processExiting) {
    if (windows) windows->Stop(processExiting);
}
