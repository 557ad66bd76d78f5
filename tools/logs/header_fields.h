#pragma once
// The Cabrillo header of a replay: every field of the plug-in's header dialog, taken from the input log,
// overridden by --header KEY=VALUE, and empty where neither gives one, so nothing an earlier run stored in
// the settings file reaches the file. The Windows replay fills the dialog with them as an operator would;
// the native plug-in's dialog has no screen and confirms the answer the replay installs.
#include <map>
#include <string>
#include <vector>

#include "scoring/cabrillo_header.h"

namespace replay {

// A field of the header dialog, as the plug-in's table has it: tag, control, member.
using HeaderField = CabrilloHeaderTag;

struct HeaderValue {
    const HeaderField* field = nullptr;
    std::string value;
    const char* origin = "";  // where the value came from: "--header", "the log", "--call"; "" for none
};

// Case ignored; a field's dialog label ("E-MAIL") names it too. The claimed score is no field of the
// replay's: the plug-in writes its own.
const HeaderField* FindHeaderField(const std::string& tag);
const std::vector<HeaderField>& HeaderFields();

// "NAME=Jo Smith" -> the field and its value; false with a one-line error for an unknown key, no '=', or a
// line break in any field but SOAPBOX.
bool ParseHeaderOption(const std::string& option, HeaderValue& out, std::string& error);

// One header line of the input log into `header` (by tag). A tag given on several lines keeps them all:
// SOAPBOX line by line, ADDRESS joined by ", ", any other by a blank.
void AddLogHeaderLine(std::map<std::string, std::string>& header, const HeaderField& field, const std::string& value);

// Line breaks of a multi-line value as the dialog's edit control holds them ("\r\n").
std::string DialogText(const std::string& value);

// Every dialog field with its value and origin: --header first, then the log's own header (by tag), then
// the own call for CALLSIGN; any other field is empty. CONTEST, which the file never takes from the dialog,
// only when --header names it.
std::vector<HeaderValue> ComposeHeader(const std::vector<HeaderValue>& options,
                                       const std::map<std::string, std::string>& logHeader,
                                       const std::string& ownCall, const char* ownCallOrigin);

// One line for people: "Cabrillo header: from the log: ...; from --header: ...; empty: ...".
std::string HeaderOriginLine(const std::vector<HeaderValue>& header);

}  // namespace replay
