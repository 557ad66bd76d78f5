#pragma once
// The three things the plug-in asks of the running host program. The win32 side talks to the host's
// Automation object; a link that is not connected answers nothing and drops macros.
#include <string>

class HostLink {
public:
    virtual ~HostLink() = default;
    virtual bool Connected() const = 0;
    // Current operating frequency in hertz.
    virtual double ReadFrequency() = 0;
    // The callsign being entered; the plug-in always passes 5.
    virtual std::string ReadCurrentCall(int which = 5) = 0;
    virtual void SendMacro(const std::string& macro) = 0;
};

class NotConnectedHostLink : public HostLink {
public:
    bool Connected() const override { return false; }
    double ReadFrequency() override { return 0.0; }
    std::string ReadCurrentCall(int) override { return std::string(); }
    void SendMacro(const std::string&) override {}
};
