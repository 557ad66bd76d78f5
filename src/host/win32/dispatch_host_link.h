#pragma once
// The host's Automation object "Tolv2.Application" reached through IDispatch, by dispatch id only.
// Connecting initialises COM on the calling thread; that thread is the only one that may use the link,
// and it undoes the initialisation (ReleaseAndUninitialize) before it ends.
#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>

#include "host/host_link.h"

class DispatchHostLink : public HostLink {
public:
    static constexpr const wchar_t* kProgId = L"Tolv2.Application";
    static constexpr DISPID kDispidFrequency = 2;   // property get, VT_R8, hertz
    static constexpr DISPID kDispidCurrentCall = 8; // method (VT_I4) returning a string
    static constexpr DISPID kDispidSendMacro = 16;  // method (one BSTR)

    // CLSIDFromProgID, CoInitialize, GetActiveObject, QueryInterface(IDispatch), in that order. Without a
    // running host object the link stays empty and every operation does nothing.
    static std::unique_ptr<DispatchHostLink> Connect();

    ~DispatchHostLink() override;
    DispatchHostLink(const DispatchHostLink&) = delete;
    DispatchHostLink& operator=(const DispatchHostLink&) = delete;

    bool Connected() const override { return dispatch_ != nullptr; }
    double ReadFrequency() override;
    std::string ReadCurrentCall(int which = 5) override;
    void SendMacro(const std::string& macro) override;

    // Releases the dispatch pointer, then undoes this link's CoInitialize. Must run on the connecting thread.
    void ReleaseAndUninitialize();
    // Forgets the dispatch pointer and the COM initialisation without calling into COM: for a thread that
    // must leave the library's code at once (the library is being unloaded); the apartment is cleaned up
    // by the system when the thread ends.
    void Abandon();

    HRESULT progIdResult() const { return progIdResult_; }
    HRESULT activeObjectResult() const { return activeObjectResult_; }
    HRESULT queryInterfaceResult() const { return queryInterfaceResult_; }

private:
    DispatchHostLink() = default;

    IDispatch* dispatch_ = nullptr;
    bool comInitialized_ = false;
    HRESULT progIdResult_ = E_FAIL;
    HRESULT activeObjectResult_ = E_FAIL;
    HRESULT queryInterfaceResult_ = E_FAIL;
};
