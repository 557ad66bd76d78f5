#include "ui/status_windows.h"

namespace {

class HeadlessStatusWindows : public StatusWindows {
public:
    bool ControlWindowExists() const override { return false; }
    void PostRefresh() override {}
    void Start() override {}
    void Stop(bool) override {}
};

}  // namespace

StatusWindows* CreateStatusWindows(StatusSource&) { return new HeadlessStatusWindows(); }
