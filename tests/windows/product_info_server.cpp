// A test stand-in for the installed product's component: an in-process COM server for
// "ProductInfo.ProductInfo" whose properties Manufacturer, ProductName and ProductVersion are
// the values of the same names in HKEY_CLASSES_ROOT\ProductInfo.ProductInfo (REG_SZ gives text,
// REG_DWORD a 32-bit number, an absent value null). Never shipped.

#include <windows.h>

#include <oleauto.h>

namespace {

// {6A0D3C52-8E4B-4F71-9C1D-2B7E5A90F3C4}, the class the tests register.
const CLSID productInfoClass = {
    0x6a0d3c52, 0x8e4b, 0x4f71, {0x9c, 0x1d, 0x2b, 0x7e, 0x5a, 0x90, 0xf3, 0xc4}};

const wchar_t* const propertyNames[] = {L"Manufacturer", L"ProductName", L"ProductVersion"};

LONG liveObjects = 0;

HRESULT readProperty(DISPID id, VARIANT* result) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"ProductInfo.ProductInfo", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return E_FAIL;
    DWORD type = 0;
    DWORD size = 0;
    const wchar_t* name = propertyNames[id - 1];
    const LONG status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    HRESULT outcome = S_OK;
    if (status == ERROR_FILE_NOT_FOUND) {
        result->vt = VT_NULL;
    } else if (status != ERROR_SUCCESS) {
        outcome = E_FAIL;
    } else if (type == REG_DWORD) {
        DWORD number = 0;
        size = sizeof number;
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size);
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(number);
    } else if (type == REG_SZ) {
        wchar_t* text = new wchar_t[size / sizeof(wchar_t) + 1]();
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(text);
        delete[] text;
    } else {
        outcome = DISP_E_TYPEMISMATCH;
    }
    RegCloseKey(key);
    return outcome;
}

class ProductInfo : public IDispatch {
public:
    ProductInfo() { InterlockedIncrement(&liveObjects); }
    virtual ~ProductInfo() { InterlockedDecrement(&liveObjects); }

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
        if (id < 1 || id > 3)
            return DISP_E_MEMBERNOTFOUND;
        if (!(flags & DISPATCH_PROPERTYGET) || !result)
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

extern "C" HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    return liveObjects == 0 ? S_OK : S_FALSE;
}
