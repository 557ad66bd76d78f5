#include "scoring/cabrillo_export.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "common/text.h"
#include "platform/file_io.h"
#include "platform/settings.h"
#include "scoring/header_dialog.h"

namespace {

constexpr const char* kQsoLineFormat = "QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n";
constexpr const char* kQsoTimeFormat = "%Y-%m-%d %H%M";
constexpr const char* kFileExtension = ".cbr";
constexpr const char* kProduced = "File produced: ";
constexpr const char* kNotProduced = "File not produced: ";

// The one header line that is no field of the dialog, and its place among the others.
constexpr const char* kCreatedBy = "CREATED-BY: Tolv ";
constexpr int kCreatedByLine = 21;

using F = CabrilloHeaderFields;

// The fields that have a place in this order (a file line, a settings write), by that place.
std::vector<const CabrilloHeaderTag*> InOrder(int CabrilloHeaderTag::*place) {
    std::vector<const CabrilloHeaderTag*> tags;
    for (const CabrilloHeaderTag& t : CabrilloHeaderTags()) {
        if (t.*place != 0) tags.push_back(&t);
    }
    std::sort(tags.begin(), tags.end(),
              [place](const CabrilloHeaderTag* a, const CabrilloHeaderTag* b) { return a->*place < b->*place; });
    return tags;
}

// Characters Windows refuses in a file name (control characters too); ':' would name a stream of a file.
constexpr const char* kNotInFileNames = "<>:\"/\\|?*";

// Names that Windows gives to devices whatever the extension: "NUL.cbr" is the null device, not a file.
bool IsDeviceName(const std::string& name) {
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    const std::string upper = text::ToUpper(text::TrimRight(name));
    for (const char* device : kDevices) {
        if (upper == device) return true;
    }
    // COM and LPT with a digit, or with the superscript 1, 2 or 3 of the ANSI code page.
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           (std::isdigit(static_cast<unsigned char>(upper[3])) || upper[3] == '\xB9' || upper[3] == '\xB2' ||
            upper[3] == '\xB3');
}

// Settings keys are read with a buffer large enough for any line the file holds, so a long address or a
// soapbox of several lines comes back whole.
std::string ReadHeaderKey(const char* key, const std::string& defaultValue = std::string()) {
    return Settings::GetString(key, Settings::kHeaderBuffer, defaultValue);
}

// The categories and location the dialog always opens with; the operator's choices are not kept.
void ApplyFixedDefaults(const contest::Record& contest, CabrilloHeaderFields& f) {
    f.contest = contest.cabrilloContest;
    f.categoryOperator = "SINGLE-OP";
    f.categoryOverlay = "NONE";
    f.categoryMode = "RTTY";
    f.categoryBand = "ALL";
    f.categoryPower = "HIGH";
    f.categoryTransmitter = "ONE";
    f.location = "DX";
    f.categoryStation = "FIXED";
    f.categoryAssisted = "NON-ASSISTED";
}

}  // namespace

std::string EncodeSoapbox(const std::string& soapbox) {
    return text::ReplaceAll(text::ReplaceAll(soapbox, "\r", "<CR>"), "\n", "<LF>");
}

std::string DecodeSoapbox(const std::string& stored) {
    return text::ReplaceAll(text::ReplaceAll(stored, "<CR>", "\r"), "<LF>", "\n");
}

std::string SoapboxFileForm(const std::string& encoded) {
    return text::ReplaceAll(text::ReplaceAll(encoded, "<CR>", "\r\nSOAPBOX: "), "<LF>", "");
}

CabrilloExport::CabrilloExport(const contest::Record& record) : contest_(record) {
    ApplyFixedDefaults(contest_, fields_);
}

std::string CabrilloExport::FileStem(const std::string& callSign) {
    std::string stem = text::Trim(callSign);
    if (stem.empty()) return kEmptyStem;
    for (char& c : stem) {
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr(kNotInFileNames, c) != nullptr) c = '_';
    }
    if (IsDeviceName(stem.substr(0, stem.find('.')))) stem.insert(0, "_");
    return stem;
}

int CabrilloExport::EditHeader(const std::string& callSign, const COleDateTime&, const COleDateTime&) {
    CabrilloHeaderFields f;
    f.callsign = callSign;
    stem_ = FileStem(callSign);
    // The operators default to the own call; the fixed defaults override what the file keeps for them.
    for (const CabrilloHeaderTag& t : CabrilloHeaderTags()) {
        if (t.settingsKey) f.*t.member = ReadHeaderKey(t.settingsKey, t.member == &F::operators ? callSign : "");
    }
    ApplyFixedDefaults(contest_, f);
    f.soapbox = DecodeSoapbox(f.soapbox);
    fields_ = f;

    CabrilloHeaderFields edited = f;
    if (!CurrentHeaderDialog().Edit(edited)) return 0;

    // The claimed score in the file always comes from the report, never from the dialog.
    edited.claimed = fields_.claimed;
    fields_ = edited;
    fields_.soapbox = EncodeSoapbox(fields_.soapbox);

    for (const CabrilloHeaderTag* t : InOrder(&CabrilloHeaderTag::settingsWrite)) {
        Settings::WriteString(t->settingsKey, fields_.*t->member);
    }

    fields_.soapbox = SoapboxFileForm(fields_.soapbox);
    qsoLines_.clear();
    return 1;
}

void CabrilloExport::AddQsoLine(const std::string& call, int freqKHz, const std::string& mode,
                                const COleDateTime& time, const std::string& rstSent, const std::string& exchSent,
                                const std::string& rstRcvd, const std::string& exchRcvd) {
    qsoLines_.push_back(text::Format(kQsoLineFormat, freqKHz, mode.c_str(), time.Format(kQsoTimeFormat).c_str(),
                                     fields_.callsign.c_str(), rstSent.c_str(), exchSent.c_str(), call.c_str(),
                                     rstRcvd.c_str(), exchRcvd.c_str()));
}

CabrilloWriteResult CabrilloExport::WriteLog(int claimedScore, const std::string& hostVersion) const {
    const CabrilloHeaderFields& f = fields_;
    std::string out;
    auto line = [&out](const char* tag, const std::string& value) {
        out += tag;
        out += value;
        out += "\r\n";
    };
    line("START-OF-LOG: ", "3.0");
    bool createdBy = false;
    for (const CabrilloHeaderTag* t : InOrder(&CabrilloHeaderTag::fileLine)) {
        if (!createdBy && t->fileLine > kCreatedByLine) {
            line(kCreatedBy, hostVersion);
            createdBy = true;
        }
        // The contest and the claimed score are the plug-in's, never the dialog's.
        const std::string value = t->member == &F::contest   ? std::string(contest_.cabrilloContest)
                                  : t->member == &F::claimed ? text::Format("%i", claimedScore)
                                                             : f.*t->member;
        line((std::string(t->tag) + ": ").c_str(), value);
    }
    if (!createdBy) line(kCreatedBy, hostVersion);
    for (const std::string& q : qsoLines_) out += q;
    out += "END-OF-LOG:\r\n";

    const std::string fileName = stem_ + kFileExtension;
    CabrilloWriteResult result;
    // Written whole or not at all: a failed write leaves the previous file as it was.
    result.produced = platform::ReplaceFileContents(fileName, out);
    result.message = (result.produced ? kProduced : kNotProduced) + fileName;
    return result;
}
