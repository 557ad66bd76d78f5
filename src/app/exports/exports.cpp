// The plug-in's exported functions. This is the only code that knows argument positions: each export
// unpacks its arguments into a named struct and hands it to CTestApp. Nothing may be thrown past here.
#include <exception>
#include <type_traits>

#include "app/exports/exports.h"
#include "app/plugin_object.h"
#include "common/text.h"
#include "engine/args.h"
#include "app/plugin_sets.h"
#include "platform/prompts.h"

namespace {

constexpr const char* kNoSetupText = "No additional setup for this contest";
const char kEmpty[] = "";

COleDateTime DateOrNull(const COleDateTime* p) { return p ? *p : COleDateTime::Null(); }

template <typename F, typename R>
R Guarded(R onError, F&& body) {
    try {
        return body();
    } catch (...) {
        return onError;
    }
}

}  // namespace

using text::FromC;

STATS_EXPORT int STATS_CALL GetNumberOfSets() { return static_cast<int>(PluginSets().size()); }

STATS_EXPORT int STATS_CALL GetExchgCount0(const char*, const char*, const char*) { return 1; }

STATS_EXPORT const char* STATS_CALL GetSetName(int index) {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const contest::Record* set : PluginSets()) n.push_back(set->SetName());
        return n;
    }();
    return index >= 0 && static_cast<size_t>(index) < names.size() ? names[static_cast<size_t>(index)].c_str() : kEmpty;
}

STATS_EXPORT void STATS_CALL SetupSet0() {
    try {
        CurrentPrompts().ShowMessage(kNoSetupText, nullptr, MessageIcon::none);
    } catch (...) {
    }
}

STATS_EXPORT unsigned long STATS_CALL setVersion(const char*) {
    return Guarded(0ul, [] {
        CTestApp::Instance().SetVersion();
        return 0ul;
    });
}

STATS_EXPORT int STATS_CALL IsValidExchg0(const char* a1, const char*, const char* a3, const char*, int, int,
                                          int a7) {
    return Guarded(0, [&] {
        ExchangeArgs args;
        args.exchange = FromC(a1);
        args.prefix = FromC(a3);
        args.disable = a7;
        return CTestApp::Instance().IsValidExchg(args);
    });
}

STATS_EXPORT int STATS_CALL CheckCall0(const char* a1, unsigned, unsigned, const char* a4, const char*,
                                       const char*, const char*, const char*, const char*, const char*,
                                       const char*, const char*, const char*, const char* a14, int, int, int,
                                       double, double, const char*, const char* a21, const char*, const char*,
                                       const char*, const char* a25, const char* a26, char*, char*) {
    return Guarded(4, [&] {
        CheckArgs args;
        args.call = FromC(a1);
        args.mode = FromC(a4);
        args.prefix = FromC(a14);
        args.aux = FromC(a21);
        args.band = FromC(a25);
        args.bandGiven = a25 != nullptr;
        args.band2 = FromC(a26);
        args.band2Given = a26 != nullptr;
        return CTestApp::Instance().CheckCall(args);
    });
}

namespace {

QsoArgs UnpackQso(const char* a1, const char* a2, const COleDateTime* a3, unsigned a8, const char* a9,
                  const char* a10, const char* a11, const char* a12, const char* a13, const char* a23,
                  const char* a30, const char* a32) {
    QsoArgs args;
    args.ownCall = FromC(a1);
    args.call = FromC(a2);
    args.time = DateOrNull(a3);
    args.frequencyHz = a8;
    args.mode = FromC(a9);
    args.rstSent = FromC(a10);
    args.rstRcvd = FromC(a11);
    args.exchSent = FromC(a12);
    args.exchRcvd = FromC(a13);
    args.prefix = FromC(a23);
    args.aux = FromC(a30);
    args.band = FromC(a32);
    return args;
}

}  // namespace

STATS_EXPORT int STATS_CALL AddData0(const char* a1, const char* a2, COleDateTime* a3, COleDateTime*,
                                     COleDateTime*, COleDateTime*, unsigned, unsigned a8, const char* a9,
                                     const char* a10, const char* a11, const char* a12, const char* a13,
                                     const char*, const char*, const char*, const char*, const char*,
                                     const char*, const char*, const char*, const char*, const char* a23, int,
                                     int, int, double, double, const char*, const char* a30, const char*,
                                     const char* a32, const char*) {
    return Guarded(0, [&] {
        return CTestApp::Instance().AddData(UnpackQso(a1, a2, a3, a8, a9, a10, a11, a12, a13, a23, a30, a32));
    });
}

STATS_EXPORT int STATS_CALL RemoveData0(const char* a1, const char* a2, COleDateTime* a3, COleDateTime*,
                                        COleDateTime*, COleDateTime*, unsigned, unsigned a8, const char* a9,
                                        const char* a10, const char* a11, const char* a12, const char* a13,
                                        const char*, const char*, const char*, const char*, const char*,
                                        const char*, const char*, const char*, const char*, const char* a23,
                                        int, int, int, double, double, const char*, const char* a30,
                                        const char*, const char* a32, const char*) {
    return Guarded(1, [&] {
        return CTestApp::Instance().RemoveData(
            UnpackQso(a1, a2, a3, a8, a9, a10, a11, a12, a13, a23, a30, a32));
    });
}

STATS_EXPORT int STATS_CALL ResetStats0(const char* a1, int a2, const char* a3, COleDateTime* a4,
                                        COleDateTime* a5, const char*, const char*, const char*, const char*,
                                        const char*, const char*, const char*, const char*, const char*,
                                        const char* a15, int, int, int, double, double, const char*,
                                        const char*, const char*) {
    return Guarded(1, [&] {
        ResetArgs args;
        args.iniFolder = FromC(a1);
        args.cabrilloRequest = a2;
        args.ownCall = FromC(a3);
        args.contestStart = DateOrNull(a4);
        args.contestEnd = DateOrNull(a5);
        args.ownPrefix = FromC(a15);
        return CTestApp::Instance().ResetStats(args);
    });
}

STATS_EXPORT const char* STATS_CALL GetResult0(int* out) {
    if (out) *out = -1;  // also when the report fails
    return Guarded(static_cast<const char*>(kEmpty), [&] { return CTestApp::Instance().GetResult(out); });
}

// Each export is the very function type the host calls it through: a parameter changed here fails the build
// instead of the host's stack.
static_assert(std::is_same_v<decltype(&GetNumberOfSets), GetNumberOfSetsFn>);
static_assert(std::is_same_v<decltype(&GetExchgCount0), GetExchgCount0Fn>);
static_assert(std::is_same_v<decltype(&GetSetName), GetSetNameFn>);
static_assert(std::is_same_v<decltype(&SetupSet0), SetupSet0Fn>);
static_assert(std::is_same_v<decltype(&setVersion), SetVersionFn>);
static_assert(std::is_same_v<decltype(&IsValidExchg0), IsValidExchg0Fn>);
static_assert(std::is_same_v<decltype(&CheckCall0), CheckCall0Fn>);
static_assert(std::is_same_v<decltype(&AddData0), AddData0Fn>);
static_assert(std::is_same_v<decltype(&RemoveData0), RemoveData0Fn>);
static_assert(std::is_same_v<decltype(&ResetStats0), ResetStats0Fn>);
static_assert(std::is_same_v<decltype(&GetResult0), GetResult0Fn>);
