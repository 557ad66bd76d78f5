#include "contest/registry.h"

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"
#include "contest/cq_wpx_rtty.h"

namespace contest {

const std::vector<const Record*>& Records() {
    static const std::vector<const Record*> records = {&ArrlRttyRoundup(), &CqWwRtty(), &CqWpxRtty()};
    return records;
}

const Record* FindBySetName(const std::string& setName) {
    for (const Record* r : Records()) {
        if (r->SetName() == setName) return r;
    }
    return nullptr;
}

}  // namespace contest
