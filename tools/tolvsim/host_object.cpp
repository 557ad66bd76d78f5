#include "host_object.h"

#include <oleauto.h>

#include <cstdio>

namespace tolvsim {

// {6C1A4E1E-3B7F-4F5E-9A61-2D0B7F3C8E15}
const CLSID kHostClsid = {0x6c1a4e1e, 0x3b7f, 0x4f5e, {0x9a, 0x61, 0x2d, 0x0b, 0x7f, 0x3c, 0x8e, 0x15}};

HRESULT STDMETHODCALLTYPE HostObject::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE HostObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

// The object's life is its owner's; COM's references only count.
ULONG STDMETHODCALLTYPE HostObject::Release() { return static_cast<ULONG>(InterlockedDecrement(&refs_)); }

HRESULT STDMETHODCALLTYPE HostObject::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE HostObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; ids != nullptr && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE HostObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                             VARIANT* result, EXCEPINFO*, UINT* argError) {
    const UINT argumentCount = params != nullptr ? params->cArgs : 0;
    switch (id) {
        case kDispidFrequency:
            if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
            if (argumentCount != 0) return DISP_E_BADPARAMCOUNT;
            ++frequencyReads;
            if (result != nullptr) {
                VariantInit(result);
                result->vt = VT_R8;
                result->dblVal = frequencyHz;
            }
            return S_OK;
        case kDispidCurrentCall: {
            if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
            if (argumentCount != 1) return DISP_E_BADPARAMCOUNT;
            callArgumentType = params->rgvarg[0].vt;
            VARIANT which;
            VariantInit(&which);
            if (FAILED(VariantChangeType(&which, &params->rgvarg[0], 0, VT_I4))) {
                if (argError != nullptr) *argError = 0;
                return DISP_E_TYPEMISMATCH;
            }
            ++callReads;
            callArgument = which.lVal;
            if (result != nullptr) {
                VariantInit(result);
                result->vt = VT_BSTR;
                result->bstrVal = SysAllocStringLen(currentCall.data(), static_cast<UINT>(currentCall.size()));
            }
            return S_OK;
        }
        case kDispidSendMacro: {
            if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
            if (argumentCount != 1) return DISP_E_BADPARAMCOUNT;
            macroArgumentType = params->rgvarg[0].vt;
            VARIANT text;
            VariantInit(&text);
            if (FAILED(VariantChangeType(&text, &params->rgvarg[0], 0, VT_BSTR))) {
                if (argError != nullptr) *argError = 0;
                return DISP_E_TYPEMISMATCH;
            }
            std::wstring macro(text.bstrVal != nullptr ? text.bstrVal : L"", SysStringLen(text.bstrVal));
            VariantClear(&text);
            if (onMacro) onMacro(macro);
            return S_OK;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

namespace {

bool RegisterProgId(std::string* error) {
    wchar_t clsidText[64] = {0};
    StringFromGUID2(kHostClsid, clsidText, 64);
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Tolv2.Application\\CLSID", 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        rc = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsidText),
                            static_cast<DWORD>((wcslen(clsidText) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS && error != nullptr) {
        char text[160];
        std::snprintf(text, sizeof text, "cannot register the ProgID Tolv2.Application under HKLM (error %ld)", rc);
        *error = text;
    }
    return rc == ERROR_SUCCESS;
}

}  // namespace

HRESULT RegisterHostObject(HostObject* object, DWORD* cookie, std::string* error) {
    if (!RegisterProgId(error)) return E_ACCESSDENIED;
    HRESULT hr = E_FAIL;
    // Right after the system starts its object table may refuse for a moment (RPC server unavailable).
    for (int attempt = 0; attempt < 25; ++attempt) {
        hr = RegisterActiveObject(static_cast<IDispatch*>(object), kHostClsid, ACTIVEOBJECT_STRONG, cookie);
        if (SUCCEEDED(hr)) return hr;
        Sleep(200);
    }
    if (error != nullptr) {
        char text[160];
        std::snprintf(text, sizeof text, "cannot register the running object Tolv2.Application (hr 0x%08lX)",
                      static_cast<unsigned long>(hr));
        *error = text;
    }
    return hr;
}

void RevokeHostObject(DWORD cookie) {
    if (cookie != 0) RevokeActiveObject(cookie, nullptr);
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

}  // namespace tolvsim
