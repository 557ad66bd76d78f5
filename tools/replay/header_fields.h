#pragma once
// The Cabrillo header fields an operator can give the replay (--header KEY=VALUE). The plug-in asks for
// them in its header dialog; the Windows replay fills that dialog as the operator would, the native replay
// (whose plug-in has no dialog) writes the remembered ones into the settings file, where the dialog would
// have stored them.
#include <string>
#include <vector>

namespace replay {

struct HeaderField {
    const char* tag;          // Cabrillo tag, as the operator writes it
    const char* settingsKey;  // key in section Settings of Plugins\ARRL-RTTY.ini; nullptr: only the dialog sets it
    int controlId;            // the dialog's control
};

struct HeaderValue {
    const HeaderField* field = nullptr;
    std::string value;
};

// Case ignored; "EMAIL" and "E-MAIL" are the same field.
const HeaderField* FindHeaderField(const std::string& tag);
const std::vector<HeaderField>& HeaderFields();

// "NAME=Jo Smith" -> the field and its value; false with a one-line error for an unknown key or no '='.
bool ParseHeaderOption(const std::string& option, HeaderValue& out, std::string& error);

// Line breaks of a multi-line value as the dialog's edit control holds them ("\r\n"), and as the settings
// file stores them ("<CR><LF>").
std::string DialogText(const std::string& value);
std::string SettingsText(const HeaderValue& value);

// Writes the values that have a settings key into the settings file of the current directory; each value
// that only the dialog can set is named in `warnings`. false when the settings file cannot be written.
bool WriteHeaderSettings(const std::vector<HeaderValue>& values, std::vector<std::string>& warnings);

}  // namespace replay
