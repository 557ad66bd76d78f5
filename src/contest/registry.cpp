#include "contest/registry.h"

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"

namespace contest {

namespace {

// Each plug-in and its record, as the build's list of plug-ins makes them.
struct Plugin {
    const Record* record;
    const char* name;
};
const std::vector<Plugin>& Plugins() {
    static const std::vector<Plugin> plugins = {{&ArrlRttyRoundup(), "Stats"}, {&CqWwRtty(), "StatsCQWW"}};
    return plugins;
}

}  // namespace

const std::vector<const Record*>& Records() {
    static const std::vector<const Record*> records = [] {
        std::vector<const Record*> all;
        for (const Plugin& p : Plugins()) all.push_back(p.record);
        return all;
    }();
    return records;
}

const Record* FindBySetName(const std::string& setName) {
    for (const Record* r : Records()) {
        if (r->SetName() == setName) return r;
    }
    return nullptr;
}

const char* PluginNameOf(const Record& record) {
    for (const Plugin& p : Plugins()) {
        if (p.record == &record) return p.name;
    }
    return "";
}

}  // namespace contest
