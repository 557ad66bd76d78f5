#pragma once
// Hand-made logs and a recording stand-in for the operator's prompts, shared by the scoring tests.
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "engine/cinfo.h"
#include "app/plugin_object.h"
#include "platform/prompts.h"
#include "scoring/header_dialog.h"

namespace scoretest {

// A Cabrillo file's first lines as the plug-in writes them for a DX station whose dialog kept its defaults,
// up to CATEGORY-TRANSMITTER.
inline std::string CabrilloTop(const std::string& call, const std::string& power = "HIGH") {
    return "START-OF-LOG: 3.0\r\nLOCATION: DX\r\nCALLSIGN: " + call +
           "\r\nCLUB: \r\nCONTEST: ARRL-RTTY\r\nCATEGORY-OPERATOR: SINGLE-OP\r\n"
           "CATEGORY-ASSISTED: NON-ASSISTED\r\nCATEGORY-BAND: ALL\r\nCATEGORY-MODE: RTTY\r\nCATEGORY-POWER: " +
           power + "\r\nCATEGORY-STATION: FIXED\r\nCATEGORY-TRANSMITTER: ONE\r\n";
}

// The whole header of such a file whose name and address fields are empty.
inline std::string CabrilloHeader(const std::string& call, int claimed, const std::string& operators,
                                  const std::string& hostVersion, const std::string& soapbox = "SOAPBOX: \r\n") {
    return CabrilloTop(call) + "CLAIMED-SCORE: " + std::to_string(claimed) + "\r\nOPERATORS: " + operators +
           "\r\nNAME: \r\nADDRESS: \r\nADDRESS-CITY: \r\nADDRESS-STATE-PROVINCE: \r\nADDRESS-POSTALCODE: \r\n"
           "ADDRESS-COUNTRY: \r\n" + soapbox + "CREATED-BY: Tolv " + hostVersion + "\r\nEMAIL: \r\n";
}

// A QSO of 4 January 2020 at hh:mm as the engine stores it after AddData0.
struct QsoSpec {
    const char* call;
    const char* prefix;
    const char* band;
    const char* stateProv;
    int hour;
    int minute;
    int notCounted = 0;
    int dupe = 0;
    int badQso = 0;
    const char* mode = "RTTY";
    int freqKHz = 7080;
    const char* exchRcvd = "CT";
};

inline CInfo MakeQso(const QsoSpec& s) {
    CInfo q;
    q.call = s.call;
    q.prefix = s.prefix;
    q.band = s.band;
    q.stateProv = s.stateProv;
    q.mode = s.mode;
    q.freqKHz = s.freqKHz;
    q.rstSent = "599";
    q.rstRcvd = "599";
    q.exchSent = "CT";
    q.exchRcvd = s.exchRcvd;
    q.notCounted = s.notCounted;
    q.dupe = s.dupe;
    q.badQso = s.badQso;
    q.time = COleDateTime::FromFields(2020, 1, 4, s.hour, s.minute);
    return q;
}

// Records what the plug-in shows; answers the header dialog through `onHeader` (default: OK unchanged).
// When `lockToCheck` is set, every prompt checks that the engine's lock is free while it is open.
// The operator's prompts and the header dialog, recorded.
class RecordingPrompts : public Prompts, public HeaderDialog {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };

    RecordingPrompts() {
        SetPromptsForTesting(this);
        SetHeaderDialogForTesting(this);
    }
    ~RecordingPrompts() override {
        SetPromptsForTesting(nullptr);
        SetHeaderDialogForTesting(nullptr);
    }

    void ShowMessage(const std::string& text, const char* caption, MessageIcon icon) override {
        messages.push_back({text, caption ? caption : "", icon});
        CheckLock();
    }

    bool Edit(CabrilloHeaderFields& fields) override {
        shownHeaders.push_back(fields);
        CheckLock();
        return onHeader ? onHeader(fields) : true;
    }

    std::vector<Message> messages;
    std::vector<CabrilloHeaderFields> shownHeaders;
    std::function<bool(CabrilloHeaderFields&)> onHeader;
    CTestApp* lockToCheck = nullptr;
    int heldWhilePrompting = 0;

private:
    void CheckLock() {
        if (lockToCheck == nullptr) return;
        // Tried from another thread, as the window thread would.
        CTestApp* app = lockToCheck;
        bool free = std::async(std::launch::async, [app] { return app->TryLockEngine().has_value(); }).get();
        if (!free) ++heldWhilePrompting;
    }
};

}  // namespace scoretest
