#pragma once
// Every contest record the code knows, found by the set name a plug-in gives the host (GetSetName): the tools
// take the record of the plug-in they loaded from here.
#include <string>
#include <vector>

#include "contest/record.h"

namespace contest {

const std::vector<const Record*>& Records();
// The record whose set name is `setName`, or null.
const Record* FindBySetName(const std::string& setName);
// The plug-in that carries the record, as its library is named without the system's prefix and suffix
// ("StatsCQWW": StatsCQWW.dll, libStatsCQWW.so), so the tools can tell which plug-in a log of it needs.
const char* PluginNameOf(const Record& record);

}  // namespace contest
