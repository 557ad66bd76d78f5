#pragma once
// The host stand-in's commands: each line of the script is one command, answered by one line (commands
// that list things print their lines first and end with the answer line). Macros the plug-in sends are
// printed as "MACRO <text>" the moment they arrive.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/exports/exports.h"
#include "host_object.h"
#include "plugin/plugin_library.h"

namespace tolvsim {

class Simulator {
public:
    using Output = std::function<void(const std::string& line)>;

    Simulator(HostObject& host, PluginLibrary& plugin, Output output) : host_(host), plugin_(plugin), out_(output) {}

    // Runs one command line; false once the command was "quit".
    bool Execute(const std::string& line);

private:
    void Freq(const std::vector<std::string>& words);
    void Call(const std::string& rest);
    void Reset(const std::vector<std::string>& words);
    void AddOrRemove(const std::vector<std::string>& words, bool add);
    void Replay(const std::string& path);
    void Check(const std::vector<std::string>& words);
    void Result(const std::vector<std::string>& words);
    void Windows();
    void OnControl(const std::string& command, const std::string& rest);

    bool PluginLoaded();

    HostObject& host_;
    PluginLibrary& plugin_;
    Output out_;
    std::string ownCall_;
};

// "YYYY-MM-DD" and "HH:MM" (UTC) as the host's date-time value; false when they do not parse.
bool ParseDateTime(const std::string& date, const std::string& time, COleDateTime* out);
std::vector<std::string> SplitWords(const std::string& line);

}  // namespace tolvsim
