#include "host/win32/dispatch_host_link.h"

#include <objbase.h>
#include <oleauto.h>

namespace {

std::string WideTo8Bit(const wchar_t* text, int length) {
    if (text == nullptr || length <= 0) return std::string();
    int n = WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, &out[0], n, nullptr, nullptr);
    return out;
}

BSTR AllocBstrFrom8Bit(const std::string& text) {
    int n = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR b = SysAllocStringLen(nullptr, static_cast<UINT>(n > 0 ? n : 0));
    if (b != nullptr && n > 0)
        MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), b, n);
    return b;
}

}  // namespace

std::unique_ptr<DispatchHostLink> DispatchHostLink::Connect() {
    std::unique_ptr<DispatchHostLink> link(new DispatchHostLink());
    CLSID clsid = CLSID_NULL;
    link->progIdResult_ = CLSIDFromProgID(kProgId, &clsid);
    HRESULT init = CoInitialize(nullptr);
    link->comInitialized_ = SUCCEEDED(init);  // S_FALSE (already initialised) must be balanced too
    IUnknown* unknown = nullptr;
    link->activeObjectResult_ = GetActiveObject(clsid, nullptr, &unknown);
    if (SUCCEEDED(link->activeObjectResult_) && unknown != nullptr) {
        link->queryInterfaceResult_ =
            unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&link->dispatch_));
        if (FAILED(link->queryInterfaceResult_)) link->dispatch_ = nullptr;
    }
    if (unknown != nullptr) unknown->Release();
    return link;
}

DispatchHostLink::~DispatchHostLink() { ReleaseAndUninitialize(); }

void DispatchHostLink::ReleaseAndUninitialize() {
    if (dispatch_ != nullptr) {
        dispatch_->Release();
        dispatch_ = nullptr;
    }
    if (comInitialized_) {
        comInitialized_ = false;
        CoUninitialize();
    }
}

void DispatchHostLink::Abandon() {
    dispatch_ = nullptr;
    comInitialized_ = false;
}

double DispatchHostLink::ReadFrequency() {
    if (dispatch_ == nullptr) return 0.0;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = dispatch_->Invoke(kDispidFrequency, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                   &result, nullptr, nullptr);
    double frequency = 0.0;
    if (SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_R8))) frequency = result.dblVal;
    VariantClear(&result);
    return frequency;
}

std::string DispatchHostLink::ReadCurrentCall(int which) {
    if (dispatch_ == nullptr) return std::string();
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_I4;
    argument.lVal = which;
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = dispatch_->Invoke(kDispidCurrentCall, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                   &result, nullptr, nullptr);
    std::string call;
    // An answer that is not text (or cannot be turned into text) counts as no call being entered.
    if (SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_BSTR)) && result.bstrVal != nullptr)
        call = WideTo8Bit(result.bstrVal, static_cast<int>(SysStringLen(result.bstrVal)));
    VariantClear(&result);
    return call;
}

void DispatchHostLink::SendMacro(const std::string& macro) {
    if (dispatch_ == nullptr) return;
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BSTR;
    argument.bstrVal = AllocBstrFrom8Bit(macro);
    if (argument.bstrVal == nullptr) return;
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    dispatch_->Invoke(kDispidSendMacro, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                      nullptr);
    VariantClear(&argument);
}
