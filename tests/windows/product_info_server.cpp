// A test stand-in for the installed product's component: an in-process COM server for
// "ProductInfo.ProductInfo" whose properties Manufacturer, ProductName and ProductVersion are
// the values of the same names in HKEY_CLASSES_ROOT\ProductInfo.ProductInfo. Never shipped.

#include <windows.h>

#include <oleauto.h>

#include <cstring>
#include <vector>

namespace {

// {6A0D3C52-8E4B-4F71-9C1D-2B7E5A90F3C4}, the class the tests register.
const CLSID productInfoClass = {
    0x6a0d3c52, 0x8e4b, 0x4f71, {0x9c, 0x1d, 0x2b, 0x7e, 0x5a, 0x90, 0xf3, 0xc4}};

const wchar_t* const propertyNames[] = {L"Manufacturer", L"ProductName", L"ProductVersion"};

// The property's value as the Linux stand-in reads it: REG_SZ and REG_EXPAND_SZ text as stored,
// cut at its first NUL; a REG_DWORD or REG_QWORD a signed number (VT_I4, VT_I8), read into zeros
// when it has fewer bytes; null where there is none. Anything else is a type mismatch.
HRESULT readProperty(DISPID id, VARIANT* result) {
    const auto read = [id](DWORD* type, void* data, DWORD* size) {
        return RegGetValueW(HKEY_CLASSES_ROOT, L"ProductInfo.ProductInfo", propertyNames[id - 1],
                            RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_RT_REG_DWORD |
                                RRF_RT_REG_QWORD | RRF_NOEXPAND,
                            type, data, size);
    };
    DWORD size = 0;
    const LONG status = read(nullptr, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        result->vt = VT_NULL;
        return S_OK;
    }
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2);
    DWORD type = 0;
    if (status != ERROR_SUCCESS || read(&type, data.data(), &size) != ERROR_SUCCESS)
        return DISP_E_TYPEMISMATCH;
    if (type == REG_DWORD || type == REG_QWORD) {
        if (size > (type == REG_DWORD ? 4 : 8))
            return DISP_E_TYPEMISMATCH;
        result->vt = type == REG_DWORD ? VT_I4 : VT_I8;
        result->llVal = 0;
        std::memcpy(&result->llVal, data.data(), size);
    } else {
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(data.data());
    }
    return S_OK;
}

class ProductInfo final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IDispatch) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        HRESULT outcome = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (DISPID id = 1; id <= 3; ++id) {
                if (lstrcmpiW(names[i], propertyNames[id - 1]) == 0)
                    ids[i] = id;
            }
            if (ids[i] == DISPID_UNKNOWN)
                outcome = DISP_E_UNKNOWNNAME;
        }
        return outcome;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id < 1 || id > 3 || !(flags & DISPATCH_PROPERTYGET) || !result)
            return DISP_E_MEMBERNOTFOUND;
        VariantInit(result);
        return readProperty(id, result);
    }

private:
    LONG references_ = 1;
};

class Factory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        ProductInfo* product = new ProductInfo();
        const HRESULT outcome = product->QueryInterface(iid, object);
        product->Release();
        return outcome;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

} // namespace

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid,
                                                       void** object) {
    if (classId != productInfoClass) {
        *object = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(iid, object);
}
