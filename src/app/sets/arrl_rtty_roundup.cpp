// Stats.dll: the ARRL RTTY Roundup, and the plug-in's one object for it.
#include "app/plugin_sets.h"
#include "app/plugin_object.h"
#include "contest/arrl_rtty_roundup.h"

const std::vector<const contest::Record*>& PluginSets() {
    static const std::vector<const contest::Record*> sets = {&contest::ArrlRttyRoundup()};
    return sets;
}

CTestApp& CTestApp::Instance() {
    static CTestApp app(*PluginSets().front());
    return app;
}
