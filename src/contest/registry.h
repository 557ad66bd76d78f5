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

}  // namespace contest
