#pragma once
// The sets of statistics this plug-in offers the host, each a contest record: GetNumberOfSets and GetSetName
// answer from this list, and the plug-in's object (CTestApp::Instance) scores by its first set. Each plug-in's
// own file under sets/ defines both.
#include <vector>

#include "contest/record.h"

const std::vector<const contest::Record*>& PluginSets();
