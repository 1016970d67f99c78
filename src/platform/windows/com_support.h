#pragma once

#include <string>

#include <windows.h>

#include <oleauto.h>

namespace modRegistryUpdate::windows {

/// A BSTR owned for the length of one call.
class Bstr {
public:
    explicit Bstr(const std::string& utf8);
    Bstr() = default;
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return text_; }
    BSTR* receive() { return &text_; }
    std::string toUtf8() const;

private:
    BSTR text_ = nullptr;
};

/// A VARIANT cleared when it goes.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &value_; }
    const VARIANT& operator*() const { return value_; }

private:
    VARIANT value_;
};

/// Raises a Failure for a failed HRESULT: the component's own error description when it left
/// one, else the system's message for the code.
void throwIfFailed(HRESULT result);

} // namespace modRegistryUpdate::windows
