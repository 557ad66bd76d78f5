#pragma once
// The Cabrillo header kept across the library's life, the header dialog that edits it, and the Cabrillo 3.0
// file written from the logged QSOs. It knows nothing of the engine: the caller hands it the QSOs, the
// claimed score and the host's version.
#include <string>
#include <vector>

#include "common/ole_date_time.h"
#include "contest/record.h"
#include "scoring/cabrillo_header.h"

struct CabrilloWriteResult {
    bool produced = false;
    std::string message;  // "File produced: STEM.cbr" or "File not produced: STEM.cbr"
};

class CabrilloExport {
public:
    static constexpr const char* kEmptyStem = "KIVO";

    // The export of a contest's log: its CONTEST tag and the header's defaults come from the record.
    explicit CabrilloExport(const contest::Record& record);

    // Loads the header from the settings file for this station and shows the header dialog. 1 on OK, with
    // the header stored and the QSO line list emptied; 0 on cancel, with nothing stored. The contest dates
    // are part of the call but not of the header. Runs the dialog modally: never call it under a lock.
    int EditHeader(const std::string& callSign, const COleDateTime& start, const COleDateTime& end);

    // Appends one "QSO:" line; `mode` is the Cabrillo mode code (contest::Record::CabrilloModeCode).
    void AddQsoLine(const std::string& call, int freqKHz, const std::string& mode, const COleDateTime& time,
                    const std::string& rstSent, const std::string& exchSent, const std::string& rstRcvd,
                    const std::string& exchRcvd);
    void ClearQsoLines() { qsoLines_.clear(); }

    // Writes STEM.cbr in the current directory: header, QSO lines, "END-OF-LOG:".
    CabrilloWriteResult WriteLog(int claimedScore, const std::string& hostVersion) const;

    // Surrounding white space goes, and nothing left gives "KIVO"; every character Windows refuses in a file
    // name ("/", "\", ":", control characters, ...) becomes "_", and a device name ("NUL", "COM1", also
    // before a dot) gets a leading "_".
    static std::string FileStem(const std::string& callSign);

    const CabrilloHeaderFields& Fields() const { return fields_; }
    const std::string& Stem() const { return stem_; }
    const std::vector<std::string>& QsoLines() const { return qsoLines_; }

private:
    const contest::Record& contest_;
    CabrilloHeaderFields fields_;
    std::string stem_ = kEmptyStem;
    std::vector<std::string> qsoLines_;  // each ends in "\r\n"
};

// The soapbox as the settings file keeps it (line breaks as "<CR>" and "<LF>"), back, and as the Cabrillo
// file writes it (every further line starting with "SOAPBOX: ").
std::string EncodeSoapbox(const std::string& soapbox);
std::string DecodeSoapbox(const std::string& stored);
std::string SoapboxFileForm(const std::string& encoded);
