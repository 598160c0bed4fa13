// Automation calls: properties and methods of a COM object reached by member name.
//
// A call normally goes through the object's IDispatch (GetIDsOfNames, then Invoke).
// Some objects answer no IDispatch, or answer it without name lookup (E_NOINTERFACE or
// E_NOTIMPL), while they do implement a dual interface that their type library
// describes. For those the call goes through that interface directly: the member is
// looked up in the interface's type information and ITypeInfo::Invoke calls it through
// the interface's own function table. The interface comes from what the object says of
// its class (IProvideClassInfo, default interface), or, for an object that a call
// handed back, from the type the member declared for it.
//
// Texts cross with the system ANSI code page (CP_ACP). A call that fails leaves its
// HRESULT in the AutomationRef and gives an empty result: "", 0, false or an empty
// object.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <initializer_list>
#include <variant>

#include "runtime/text.h"

using Microsoft::WRL::ComPtr;

// An automation interface pointer with the HRESULT of the last call made through it.
// Copies share the interface (AddRef) and its description.
class AutomationRef {
  public:
    AutomationRef() = default;
    explicit AutomationRef(ComPtr<IUnknown> object, ComPtr<ITypeInfo> description = nullptr);

    IUnknown* Object() const { return object_.Get(); }
    bool IsEmpty() const { return !object_; }
    HRESULT LastResult() const { return lastResult_; }
    void SetLastResult(HRESULT result) { lastResult_ = result; }
    // The interface type a call handed this object back as; null when not known.
    ITypeInfo* Description() const { return description_.Get(); }

    // Releases the interface; the last result becomes 0.
    void Release();
    // Releases the interface and gives the slot to a function that stores a new,
    // AddRef'd one there (as AtlAxGetControl does).
    IUnknown** ReceiveObject();

  private:
    ComPtr<IUnknown> object_;
    HRESULT lastResult_ = S_OK;
    ComPtr<ITypeInfo> description_;
};

// A value handed to a member. std::monostate is an absent argument: absent arguments at
// the end are dropped, others are passed as "parameter not found". A TextBlock is UTF-16
// text passed as it is, for texts the system code page cannot hold (file paths).
using AutomationArgument = std::variant<std::monostate, Text, int32_t, double, bool, TextBlock>;

enum class AutomationCallKind : WORD {
    kMethod = DISPATCH_METHOD,
    kRead = DISPATCH_PROPERTYGET,
    kWrite = DISPATCH_PROPERTYPUT,
};

// What a call gave back, converted on request (VariantChangeType).
class AutomationResult {
  public:
    AutomationResult();
    AutomationResult(AutomationResult&& other) noexcept;
    AutomationResult& operator=(AutomationResult&& other) noexcept;
    AutomationResult(const AutomationResult&) = delete;
    AutomationResult& operator=(const AutomationResult&) = delete;
    ~AutomationResult();

    Text ToText() const;      // CP_ACP text; "" when empty or not convertible
    double ToNumber() const;  // 0 when empty or not convertible
    bool ToBoolean() const;   // false when empty or not convertible
    // A new reference to the returned interface (empty when there is none).
    AutomationRef ToObject() const;
    // UTF-16 text; "" when empty or not convertible.
    TextBlock ToWideText() const;

    VARIANT* Receive();  // the value, cleared, for a call to fill
    void SetDescription(ComPtr<ITypeInfo> description) { description_ = std::move(description); }

  private:
    VARIANT value_;
    ComPtr<ITypeInfo> description_;  // the interface type the member declared for an object
};

// Calls `member` of the object with the arguments (a write takes exactly one, the new
// value). The HRESULT is stored in `target`.
AutomationResult CallAutomation(AutomationRef& target, const char* member, AutomationCallKind kind,
                                std::initializer_list<AutomationArgument> arguments = {});

// The value of a number property as an integer: truncated toward zero to 64 bits and cut
// to the low 32 (0 when not representable).
int32_t TruncateToInt32(double value);
