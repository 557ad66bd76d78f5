#include "contest/registry.h"

#include "contest/arrl_rtty_roundup.h"

namespace contest {

const std::vector<const Record*>& Records() {
    static const std::vector<const Record*> records = {&ArrlRttyRoundup()};
    return records;
}

const Record* FindBySetName(const std::string& setName) {
    for (const Record* r : Records()) {
        if (r->SetName() == setName) return r;
    }
    return nullptr;
}

}  // namespace contest
