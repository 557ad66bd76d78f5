#include "app/plugin_object.h"

#include <utility>

#include "common/text.h"
#include "engine/host_version.h"
#include "platform/settings.h"
#include "scoring/cabrillo_header.h"
#include "scoring/score_report.h"
#include "ui/status_model.h"

namespace {

constexpr size_t kStartBuffer = 50;

}  // namespace

CTestApp::CTestApp(const contest::Record& record)
    : engine_(record), cabrillo(record), windows(CreateStatusWindows(*this)) {
    Settings::UseFile(record.settingsFileName);
    engine_.GuardWith(mutex_);
    editCabrilloHeader = [this](const std::string& call, const COleDateTime& start, const COleDateTime& end) {
        return cabrillo.EditHeader(call, start, end);
    };
}

CTestApp::~CTestApp() = default;

CTestApp::LockedEngine CTestApp::LockEngine() { return LockedEngine(std::unique_lock<EngineMutex>(mutex_), engine_); }

std::optional<CTestApp::LockedEngine> CTestApp::TryLockEngine() {
    std::unique_lock<EngineMutex> lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) return std::nullopt;
    return LockedEngine(std::move(lock), engine_);
}

void CTestApp::SetVersion() {
    std::lock_guard<EngineMutex> lock(mutex_);
    engine_.htmlReportEnabled = 1;
}

int CTestApp::IsValidExchg(const ExchangeArgs& args) {
    return engine_.contest.IsValidExchange(args.exchange, args.prefix, args.disable);
}

int CTestApp::CheckCall(const CheckArgs& args) {
    int result;
    {
        std::lock_guard<EngineMutex> lock(mutex_);
        engine_.CatchUpBadQsoFile();
        result = engine_.CheckCall(args);
    }
    // Every check asks, as every change of the log does: the window thread merges the requests, and a check
    // made while a refresh runs (one that has already read the previous call from the host) is followed by
    // one more refresh. Waiting for refreshPending instead dropped that request, and the DXCC window stayed on
    // the previous call after a band map's burst of checks.
    if (windows->ControlWindowExists()) windows->PostRefresh();
    return result;
}

int CTestApp::AddData(QsoArgs&& args) {
    int result;
    {
        std::lock_guard<EngineMutex> lock(mutex_);
        result = engine_.AddData(std::move(args));
    }
    if (result == 1 && windows->ControlWindowExists()) windows->PostRefresh();
    return result;
}

int CTestApp::RemoveData(const QsoArgs& args) {
    {
        std::lock_guard<EngineMutex> lock(mutex_);
        engine_.RemoveData(args);
        // Nothing left to show: the windows drop what the last report found.
        if (engine_.qsoLog.Empty()) lastModel_.reset();
    }
    if (windows->ControlWindowExists()) windows->PostRefresh();
    return 1;
}

int CTestApp::ResetStats(const ResetArgs& args) {
    {
        std::lock_guard<EngineMutex> lock(mutex_);
        engine_.Reset(args);
    }
    if (args.cabrilloRequest != 0) {
        // The header dialog is modal: no lock while it is up.
        if (editCabrilloHeader(args.ownCall, args.contestStart, args.contestEnd) == 0) {
            std::lock_guard<EngineMutex> lock(mutex_);
            engine_.cabrilloRequested = 0;
        }
        Settings::WriteString(kStartKey, "1");
    }
    // The entry's category, for the change-of-band light: CATEGORY-OPERATOR as the settings keep it from the
    // last header confirmed, CATEGORY-TRANSMITTER as the header holds it while the library is loaded.
    using F = CabrilloHeaderFields;
    std::string categoryOperator =
        Settings::GetString(CabrilloHeaderTagOf(&F::categoryOperator).settingsKey, Settings::kHeaderBuffer);
    {
        std::lock_guard<EngineMutex> lock(mutex_);
        engine_.categoryOperator = std::move(categoryOperator);
        engine_.categoryTransmitter = cabrillo.Fields().categoryTransmitter;
    }

    // "Start" alternates: a reset that starts the windows leaves 1, and the next reset only puts back 0.
    // So a Cabrillo request, which has just written 1, never starts them.
    if (text::LeadingInt(Settings::GetString(kStartKey, kStartBuffer)) != 0) {
        Settings::WriteString(kStartKey, "0");
    } else if (!windows->ControlWindowExists()) {
        bool start;
        {
            std::lock_guard<EngineMutex> lock(mutex_);
            start = !hostversion::KeepsWindowsClosed(engine_.hostVersion);
        }
        if (start) windows->Start();
        Settings::WriteString(kStartKey, "1");
    }

    std::lock_guard<EngineMutex> lock(mutex_);
    engine_.CreateBadQsoFile();
    return 1;
}

StatusSnapshot CTestApp::TakeStatusSnapshot(const std::string& currentCall) {
    LockedEngine engine = LockEngine();
    return CopyStatusData(*engine, lastModel_, currentCall);
}

bool CTestApp::RussianTexts() { return LockEngine()->russianTexts != 0; }

std::string CTestApp::ContestStartYear() { return LockEngine()->contestStartYear; }

void CTestApp::SetBandChangeWindowOpen(bool open) {
    std::lock_guard<EngineMutex> lock(mutex_);
    engine_.bandChangeWindowOpen = open;
    if (open) engine_.bandChangeCount = 0;
}

int CTestApp::BandChangeCount() {
    std::lock_guard<EngineMutex> lock(mutex_);
    return engine_.bandChangeCount;
}

int CTestApp::BandChangeLimit() {
    std::lock_guard<EngineMutex> lock(mutex_);
    return BandChangeLightLimit(engine_.contest, engine_.contestStartYear, engine_.categoryOperator,
                                engine_.categoryTransmitter);
}

void CTestApp::SetShownModel(std::shared_ptr<const ScoreModel> model) {
    std::lock_guard<EngineMutex> lock(mutex_);
    lastModel_ = std::move(model);
}

const char* CTestApp::GetResult(int* out) {
    OutputMessage output;
    std::string report;
    {
        std::lock_guard<EngineMutex> lock(mutex_);
        engine_.CatchUpBadQsoFile();
        ScoreModel model;
        output = ProduceResult(engine_, cabrillo, claim_, model, report);
        lastModel_ = std::make_shared<const ScoreModel>(std::move(model));
    }
    // The message box is modal: the window thread keeps refreshing while it is open.
    if (output.show) CurrentPrompts().ShowMessage(output.text, "Output", output.icon);
    if (out) *out = -1;
    std::lock_guard<EngineMutex> lock(mutex_);
    std::string& text = reports_[std::this_thread::get_id()];
    text = std::move(report);
    return text.c_str();
}

void CTestApp::ExitInstance(bool processExiting) {
    if (windows) windows->Stop(processExiting);
    // The bad-QSO lines of a last burst of logging. At process exit the host's thread may have been ended
    // holding the lock: then they stay unwritten, as the host's log still holds their QSOs.
    std::unique_lock<EngineMutex> lock(mutex_, std::defer_lock);
    if (processExiting ? lock.try_lock() : (lock.lock(), true)) engine_.CatchUpBadQsoFile();
}
