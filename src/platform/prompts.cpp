#include "platform/prompts.h"

#include <atomic>
#include <mutex>

namespace {
std::atomic<Prompts*> overridePrompts{nullptr};

std::mutex headlessAnswerMutex;
HeadlessHeaderAnswer headlessAnswer;
}  // namespace

Prompts& CurrentPrompts() {
    Prompts* p = overridePrompts.load();
    return p ? *p : PlatformPrompts();
}

void SetPromptsForTesting(Prompts* prompts) { overridePrompts.store(prompts); }

bool Prompts::EditCabrilloHeader(CabrilloHeaderFields& fields) {
    HeadlessHeaderAnswer answer = CurrentHeadlessHeaderAnswer();
    if (!answer.confirm) return false;
    CabrilloHeaderFields edited = fields;
    for (const auto& edit : answer.edits) {
        if (std::string* field = HeaderFieldByLabel(edited, edit.first)) *field = edit.second;
    }
    fields = edited;
    return true;
}

void SetHeadlessHeaderAnswer(const HeadlessHeaderAnswer& answer) {
    std::lock_guard<std::mutex> lock(headlessAnswerMutex);
    headlessAnswer = answer;
}

HeadlessHeaderAnswer CurrentHeadlessHeaderAnswer() {
    std::lock_guard<std::mutex> lock(headlessAnswerMutex);
    return headlessAnswer;
}

std::string* HeaderFieldByLabel(CabrilloHeaderFields& f, const std::string& label) {
    struct Entry {
        const char* label;
        std::string CabrilloHeaderFields::*field;
    };
    static const Entry kEntries[] = {
        {"CONTEST", &CabrilloHeaderFields::contest},
        {"CALLSIGN", &CabrilloHeaderFields::callsign},
        {"CLAIMED", &CabrilloHeaderFields::claimed},
        {"CATEGORY-OPERATOR", &CabrilloHeaderFields::categoryOperator},
        {"LOCATION", &CabrilloHeaderFields::location},
        {"CATEGORY-BAND", &CabrilloHeaderFields::categoryBand},
        {"CATEGORY-ASSISTED", &CabrilloHeaderFields::categoryAssisted},
        {"CATEGORY-MODE", &CabrilloHeaderFields::categoryMode},
        {"CATEGORY-OVERLAY", &CabrilloHeaderFields::categoryOverlay},
        {"CATEGORY-POWER", &CabrilloHeaderFields::categoryPower},
        {"CATEGORY-STATION", &CabrilloHeaderFields::categoryStation},
        {"CATEGORY-TRANSMITTER", &CabrilloHeaderFields::categoryTransmitter},
        {"NAME", &CabrilloHeaderFields::name},
        {"ADDRESS", &CabrilloHeaderFields::address},
        {"ADDRESS-CITY", &CabrilloHeaderFields::addressCity},
        {"ADDRESS-STATE-PROVINCE", &CabrilloHeaderFields::addressStateProvince},
        {"ADDRESS-POSTALCODE", &CabrilloHeaderFields::addressPostalCode},
        {"ADDRESS-COUNTRY", &CabrilloHeaderFields::addressCountry},
        {"OPERATORS", &CabrilloHeaderFields::operators},
        {"CLUB", &CabrilloHeaderFields::club},
        {"SOAPBOX", &CabrilloHeaderFields::soapbox},
        {"E-MAIL", &CabrilloHeaderFields::email},
        {"EMAIL", &CabrilloHeaderFields::email},  // the Cabrillo tag of the same field
    };
    for (const Entry& e : kEntries) {
        if (label == e.label) return &(f.*e.field);
    }
    return nullptr;
}
