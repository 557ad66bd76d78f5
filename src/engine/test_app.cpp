#include "engine/test_app.h"

#include "scoring/score_report.h"

CTestApp& CTestApp::Instance() {
    static CTestApp app;
    return app;
}

CTestApp::CTestApp() : windows(CreateStatusWindows(*this)) {}

CTestApp::~CTestApp() = default;

void CTestApp::SetVersion() {
    std::lock_guard<std::mutex> lock(mutex);
    engine.htmlReportEnabled = 1;
}

int CTestApp::IsValidExchg(const ExchangeArgs&) { return 0; }

int CTestApp::CheckCall(const CheckArgs&) { return 2; }

int CTestApp::AddData(const QsoArgs&) { return 0; }

int CTestApp::RemoveData(const QsoArgs&) { return 1; }

int CTestApp::ResetStats(const ResetArgs&) { return 1; }

const char* CTestApp::GetResult(int* out) {
    OutputMessage output;
    {
        std::lock_guard<std::mutex> lock(mutex);
        output = ProduceResult(engine, cabrillo, reportText_);
    }
    // The message box is modal: the window thread keeps refreshing while it is open.
    if (output.show) CurrentPrompts().ShowMessage(output.text, "Output", output.icon);
    if (out) *out = -1;
    return reportText_.c_str();
}

void CTestApp::ExitInstance(bool processExiting) {
    if (windows) windows->Stop(processExiting);
}
