#include "scoring/header_dialog.h"

#include <atomic>
#include <mutex>

namespace {
std::atomic<HeaderDialog*> overrideDialog{nullptr};

std::mutex headlessAnswerMutex;
HeadlessHeaderAnswer headlessAnswer;
}  // namespace

HeaderDialog& CurrentHeaderDialog() {
    HeaderDialog* d = overrideDialog.load();
    return d ? *d : PlatformHeaderDialog();
}

void SetHeaderDialogForTesting(HeaderDialog* dialog) { overrideDialog.store(dialog); }

bool HeaderDialog::Edit(CabrilloHeaderFields& fields) {
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
    // Exactly as written: the headless answer names fields as the dialog's labels do.
    for (const CabrilloHeaderTag& t : CabrilloHeaderTags()) {
        if (label == t.tag || label == t.Label()) return &(f.*t.member);
    }
    return nullptr;
}
