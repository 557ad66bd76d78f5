#include "contest/registry.h"

// The headers of the plug-ins' records.
#include "plugin_headers.inc"

namespace contest {

namespace {

// Each plug-in and its record, as the build makes them from the list of plug-ins (src/contest/plugins.cmake).
struct Plugin {
    const Record* record;
    const char* name;
};
const std::vector<Plugin>& Plugins() {
    static const std::vector<Plugin> plugins = {
#include "plugin_list.inc"
    };
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
