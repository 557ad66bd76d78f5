// StatsCQWW.dll: the CQ WW RTTY, and the plug-in's one object for it.
#include "app/plugin_sets.h"
#include "app/plugin_object.h"
#include "contest/cq_ww_rtty.h"

const std::vector<const contest::Record*>& PluginSets() {
    static const std::vector<const contest::Record*> sets = {&contest::CqWwRtty()};
    return sets;
}

CTestApp& CTestApp::Instance() {
    static CTestApp app(*PluginSets().front());
    return app;
}
