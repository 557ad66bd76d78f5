#pragma once
// The plug-in's own settings: section "Settings" of its contest's file ("Plugins\ARRL-RTTY.ini" for the ARRL
// RTTY Roundup) in the current directory.
#include <cstddef>
#include <string>

class Settings {
public:
    static constexpr const char* kFileName = "Plugins\\ARRL-RTTY.ini";  // until UseFile names another
    static constexpr const char* kSection = "Settings";
    static constexpr size_t kPositionBuffer = 100;  // positions, views, modes
    static constexpr size_t kHeaderBuffer = 4096;   // Cabrillo header fields may be long

    static std::string GetString(const std::string& key, size_t bufferSize, const std::string& defaultValue = "");
    // Leading decimal integer of the stored text, 0 when missing or not numeric.
    static int GetInt(const std::string& key, size_t bufferSize = kPositionBuffer);
    static bool WriteString(const std::string& key, const std::string& value);
    static bool WriteInt(const std::string& key, int value);
    // The file of the contest the process keeps the settings of: set once, before any read or write (the
    // plug-in's object for its contest, a tool for the contest of the plug-in it loaded).
    static void UseFile(const char* fileName);
    static const char* FileName();
};
