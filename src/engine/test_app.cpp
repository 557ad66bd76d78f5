#include "engine/test_app.h"

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
    std::lock_guard<std::mutex> lock(mutex);
    reportText_.clear();
    if (out) *out = -1;
    return reportText_.c_str();
}

void CTestApp::ExitInstance(bool processExiting) {
    if (windows) windows->Stop(processExiting);
}
