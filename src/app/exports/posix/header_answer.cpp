// Native build only. Without a screen the header dialog confirms the answer installed beforehand (see
// HeadlessHeaderAnswer); this export lets a host stand-in install it, so a replay gives the native plug-in
// every header field that an operator types into the Windows dialog.
#include <type_traits>

#include "common/text.h"
#include "app/exports/exports.h"
#include "scoring/header_dialog.h"

STATS_EXPORT void STATS_CALL SetHeaderDialogAnswer(int count, const char* const* labels, const char* const* texts) {
    try {
        HeadlessHeaderAnswer answer;
        for (int i = 0; labels && texts && i < count; ++i) {
            answer.edits.emplace_back(text::FromC(labels[i]), text::FromC(texts[i]));
        }
        SetHeadlessHeaderAnswer(answer);
    } catch (...) {
    }
}

static_assert(std::is_same_v<decltype(&SetHeaderDialogAnswer), SetHeaderDialogAnswerFn>);
