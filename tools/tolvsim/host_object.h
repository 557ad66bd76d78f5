#pragma once
// The host's Automation object as the plug-in sees it: "Tolv2.Application", a dispatch interface without a
// type library answering three dispatch ids. 2 (property get) is the operating frequency in hertz, 8
// (method, one integer) the call being entered, 16 (method, one string) a macro to execute.
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>

namespace tolvsim {

// The stand-in's class id; the ProgID "Tolv2.Application" points at it.
extern const CLSID kHostClsid;
constexpr const wchar_t* kHostProgId = L"Tolv2.Application";

class HostObject : public IDispatch {
public:
    static constexpr DISPID kDispidFrequency = 2;
    static constexpr DISPID kDispidCurrentCall = 8;
    static constexpr DISPID kDispidSendMacro = 16;

    HostObject() = default;
    virtual ~HostObject() = default;

    // What the object answers from now on.
    double frequencyHz = 0.0;
    std::wstring currentCall;
    // Called on the object's thread for every macro, at the moment it arrives.
    std::function<void(const std::wstring&)> onMacro;
    int frequencyReads = 0;
    int callReads = 0;
    // How the last calls came in, as the plug-in sent them.
    VARTYPE callArgumentType = VT_EMPTY;
    long callArgument = 0;
    VARTYPE macroArgumentType = VT_EMPTY;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT* argError) override;

private:
    LONG refs_ = 1;  // owned by whoever made it; COM references come on top
};

// Points the ProgID at kHostClsid under HKLM (wine reads ProgIDs only there) and registers `object` as the
// running instance, retrying for a few seconds while the system's object table is not ready. On failure
// returns the last error and says why in `error`.
HRESULT RegisterHostObject(HostObject* object, DWORD* cookie, std::string* error);
void RevokeHostObject(DWORD cookie);

// Text conversions for the console: UTF-8 out, UTF-8 in.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace tolvsim
