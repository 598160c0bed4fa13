#include "ui/automation.h"

#include <oleauto.h>
#include <ocidl.h>

#include <memory>
#include <vector>

namespace {

// ---- owners of the automation types ----------------------------------------------------

class ScopedBstr {
  public:
    explicit ScopedBstr(const wchar_t* text) : bstr_(SysAllocString(text)) {}
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ~ScopedBstr() { SysFreeString(bstr_); }
    BSTR Get() const { return bstr_; }

  private:
    BSTR bstr_;
};

class ScopedVariant {
  public:
    ScopedVariant() { VariantInit(&value_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { VariantClear(&value_); }
    VARIANT* Get() { return &value_; }

  private:
    VARIANT value_;
};

// Frees the texts that a failed Invoke may leave in its exception record.
class ScopedExceptionInfo {
  public:
    ScopedExceptionInfo() : info_() {}
    ScopedExceptionInfo(const ScopedExceptionInfo&) = delete;
    ScopedExceptionInfo& operator=(const ScopedExceptionInfo&) = delete;
    ~ScopedExceptionInfo() {
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        SysFreeString(info_.bstrHelpFile);
    }
    EXCEPINFO* Get() { return &info_; }

  private:
    EXCEPINFO info_;
};

class ScopedFuncDesc {
  public:
    ScopedFuncDesc(ITypeInfo* type, FUNCDESC* desc) : type_(type), desc_(desc) {}
    ScopedFuncDesc(const ScopedFuncDesc&) = delete;
    ScopedFuncDesc& operator=(const ScopedFuncDesc&) = delete;
    ~ScopedFuncDesc() {
        if (desc_)
            type_->ReleaseFuncDesc(desc_);
    }
    const FUNCDESC* Get() const { return desc_; }
    // The type that declares the function; its references are relative to it.
    ITypeInfo* Owner() const { return type_.Get(); }

  private:
    ComPtr<ITypeInfo> type_;
    FUNCDESC* desc_;
};

class ScopedTypeAttr {
  public:
    explicit ScopedTypeAttr(ITypeInfo* type) : type_(type) {
        if (FAILED(type_->GetTypeAttr(&attr_)))
            attr_ = nullptr;
    }
    ScopedTypeAttr(const ScopedTypeAttr&) = delete;
    ScopedTypeAttr& operator=(const ScopedTypeAttr&) = delete;
    ~ScopedTypeAttr() {
        if (attr_)
            type_->ReleaseTypeAttr(attr_);
    }
    const TYPEATTR* Get() const { return attr_; }

  private:
    ComPtr<ITypeInfo> type_;
    TYPEATTR* attr_ = nullptr;
};

// ---- type information --------------------------------------------------------------------

// ITypeInfo::Invoke calls through a function table, so a dual interface's dispatch view is
// exchanged for its interface view; anything else that is not an interface is refused.
ComPtr<ITypeInfo> CallableInterface(ComPtr<ITypeInfo> type) {
    if (!type)
        return nullptr;
    ScopedTypeAttr attr(type.Get());
    if (!attr.Get())
        return nullptr;
    if (attr.Get()->typekind == TKIND_INTERFACE)
        return type;
    if (attr.Get()->typekind != TKIND_DISPATCH || !(attr.Get()->wTypeFlags & TYPEFLAG_FDUAL))
        return nullptr;
    HREFTYPE interfaceView = 0;
    ComPtr<ITypeInfo> resolved;
    if (FAILED(type->GetRefTypeOfImplType(-1, &interfaceView)) ||
        FAILED(type->GetRefTypeInfo(interfaceView, &resolved)))
        return nullptr;
    return resolved;
}

// The default interface of the object's class, as the object describes it.
ComPtr<ITypeInfo> DefaultInterfaceOf(IUnknown* object) {
    ComPtr<IProvideClassInfo> provider;
    ComPtr<ITypeInfo> coclass;
    if (FAILED(object->QueryInterface(IID_PPV_ARGS(&provider))) ||
        FAILED(provider->GetClassInfo(&coclass)))
        return nullptr;
    ScopedTypeAttr attr(coclass.Get());
    if (!attr.Get())
        return nullptr;
    for (UINT i = 0; i < attr.Get()->cImplTypes; ++i) {
        INT flags = 0;
        HREFTYPE reference = 0;
        ComPtr<ITypeInfo> implemented;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags)) || !(flags & IMPLTYPEFLAG_FDEFAULT) ||
            (flags & IMPLTYPEFLAG_FSOURCE))
            continue;
        if (SUCCEEDED(coclass->GetRefTypeOfImplType(i, &reference)) &&
            SUCCEEDED(coclass->GetRefTypeInfo(reference, &implemented)))
            return implemented;
    }
    return nullptr;
}

// The description of `member` for this kind of call, or null.
std::unique_ptr<ScopedFuncDesc> FindFunction(ITypeInfo* type, MEMBERID member, INVOKEKIND kind,
                                             int depth = 0) {
    ScopedTypeAttr attr(type);
    if (!attr.Get())
        return nullptr;
    for (UINT i = 0; i < attr.Get()->cFuncs; ++i) {
        FUNCDESC* desc = nullptr;
        if (FAILED(type->GetFuncDesc(i, &desc)))
            continue;
        auto owned = std::make_unique<ScopedFuncDesc>(type, desc);
        if (desc->memid == member &&
            (desc->invkind == kind ||
             (kind == INVOKE_PROPERTYPUT && desc->invkind == INVOKE_PROPERTYPUTREF)))
            return owned;
    }
    // An interface lists only its own functions; inherited ones are in its base. The depth
    // limit guards against a malformed type library whose bases form a cycle.
    constexpr int kMaximumInheritance = 16;
    if (attr.Get()->typekind != TKIND_INTERFACE || attr.Get()->cImplTypes < 1 ||
        depth >= kMaximumInheritance)
        return nullptr;
    HREFTYPE baseReference = 0;
    ComPtr<ITypeInfo> base;
    if (FAILED(type->GetRefTypeOfImplType(0, &baseReference)) ||
        FAILED(type->GetRefTypeInfo(baseReference, &base)))
        return nullptr;
    return FindFunction(base.Get(), member, kind, depth + 1);
}

bool IsReturnValue(const ELEMDESC& element) {
    return (element.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) != 0;
}

// The interface a member declares for an object it returns; null for other results.
ComPtr<ITypeInfo> DeclaredObjectType(ITypeInfo* type, const FUNCDESC* function) {
    const TYPEDESC* result = &function->elemdescFunc.tdesc;
    for (SHORT i = 0; i < function->cParams; ++i) {
        // The interface view returns an HRESULT and the value through [out, retval].
        if (IsReturnValue(function->lprgelemdescParam[i]) &&
            function->lprgelemdescParam[i].tdesc.vt == VT_PTR)
            result = function->lprgelemdescParam[i].tdesc.lptdesc;
    }
    if (result->vt != VT_PTR || result->lptdesc->vt != VT_USERDEFINED)
        return nullptr;
    ComPtr<ITypeInfo> declared;
    if (FAILED(type->GetRefTypeInfo(result->lptdesc->hreftype, &declared)))
        return nullptr;
    return declared;
}

// ---- one call ------------------------------------------------------------------------------

// How one call reaches its member: through IDispatch, or through a described interface.
struct CallRoute {
    ComPtr<IDispatch> dispatch;
    ComPtr<IUnknown> instance;  // the interface `type` describes (no IDispatch route)
    ComPtr<ITypeInfo> type;     // the member's interface type, when known
    DISPID member = DISPID_UNKNOWN;
};

HRESULT RouteThroughDispatch(IUnknown* object, BSTR name, CallRoute& route) {
    HRESULT result = object->QueryInterface(IID_PPV_ARGS(&route.dispatch));
    if (FAILED(result))
        return result;
    result = route.dispatch->GetIDsOfNames(IID_NULL, &name, 1, GetUserDefaultLCID(), &route.member);
    if (FAILED(result)) {
        route.dispatch.Reset();
        return result;
    }
    // The description only decides how arguments travel; the call works without it.
    route.dispatch->GetTypeInfo(0, GetUserDefaultLCID(), &route.type);
    return S_OK;
}

HRESULT RouteThroughInterface(const AutomationRef& target, BSTR name, CallRoute& route) {
    ComPtr<ITypeInfo> described = target.Description() ? ComPtr<ITypeInfo>(target.Description())
                                                       : DefaultInterfaceOf(target.Object());
    route.type = CallableInterface(described);
    if (!route.type)
        return E_NOINTERFACE;
    ScopedTypeAttr attr(route.type.Get());
    if (!attr.Get())
        return E_NOINTERFACE;
    HRESULT result = target.Object()->QueryInterface(
        attr.Get()->guid, reinterpret_cast<void**>(route.instance.ReleaseAndGetAddressOf()));
    if (FAILED(result))
        return result;
    return route.type->GetIDsOfNames(&name, 1, &route.member);
}

// The failures after which a described interface is tried: no IDispatch at all, or one
// that cannot look names up.
bool DispatchUnavailable(HRESULT result) {
    return result == E_NOINTERFACE || result == E_NOTIMPL;
}

void StoreArgument(const AutomationArgument& argument, VARIANT& slot) {
    VariantInit(&slot);
    if (const auto* text = std::get_if<Text>(&argument)) {
        const TextBlock wide = ToUtf16System(text->c_str());
        slot.vt = VT_BSTR;
        slot.bstrVal = SysAllocString(wide.Wide());
    } else if (const auto* wide = std::get_if<TextBlock>(&argument)) {
        slot.vt = VT_BSTR;
        slot.bstrVal = SysAllocString(wide->Wide());
    } else if (const auto* integer = std::get_if<int32_t>(&argument)) {
        slot.vt = VT_I4;
        slot.lVal = *integer;
    } else if (const auto* number = std::get_if<double>(&argument)) {
        slot.vt = VT_R8;
        slot.dblVal = *number;
    } else if (const auto* flag = std::get_if<bool>(&argument)) {
        slot.vt = VT_BOOL;
        slot.boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        slot.vt = VT_ERROR;
        slot.scode = DISP_E_PARAMNOTFOUND;
    }
}

// The argument list of one call, in the reversed order Invoke expects. Arguments that the
// member takes by reference point into `values`.
class ArgumentList {
  public:
    ArgumentList(std::initializer_list<AutomationArgument> arguments, const FUNCDESC* function) {
        size_t count = arguments.size();
        while (count > 0 && std::holds_alternative<std::monostate>(arguments.begin()[count - 1]))
            --count;
        values_.resize(count);
        slots_.resize(count);
        for (size_t i = 0; i < count; ++i) {
            VARIANT& value = values_[i];
            StoreArgument(arguments.begin()[i], value);
            VARIANT& slot = slots_[count - 1 - i];
            VARTYPE pointee =
                value.vt == VT_ERROR ? VARTYPE{VT_EMPTY} : ByReferenceType(function, i);
            if (pointee != VT_EMPTY && pointee != VT_VARIANT && !ConvertInPlace(value, pointee))
                pointee = VT_EMPTY;
            if (pointee == VT_EMPTY) {
                slot = value;
            } else if (pointee == VT_VARIANT) {
                slot.vt = VT_BYREF | VT_VARIANT;
                slot.pvarVal = &value;
            } else {
                slot.vt = VT_BYREF | pointee;
                slot.byref = &value.lVal;  // the start of the value's data
            }
        }
    }
    ArgumentList(const ArgumentList&) = delete;
    ArgumentList& operator=(const ArgumentList&) = delete;
    ~ArgumentList() {
        for (VARIANT& value : values_)
            VariantClear(&value);
    }

    DISPPARAMS ForCall(bool write) {
        DISPPARAMS parameters = {};
        parameters.cArgs = static_cast<UINT>(slots_.size());
        parameters.rgvarg = slots_.empty() ? nullptr : slots_.data();
        if (write) {
            parameters.cNamedArgs = 1;
            parameters.rgdispidNamedArgs = &propertyPut_;
        }
        return parameters;
    }

  private:
    static bool ConvertInPlace(VARIANT& value, VARTYPE type) {
        VARIANT converted;
        VariantInit(&converted);
        if (FAILED(VariantChangeType(&converted, &value, 0, type)))
            return false;
        VariantClear(&value);
        value = converted;
        return true;
    }

    // The base type of a parameter passed by reference; VT_EMPTY for one passed by value.
    static VARTYPE ByReferenceType(const FUNCDESC* function, size_t index) {
        if (!function || index >= static_cast<size_t>(function->cParams))
            return VT_EMPTY;
        const ELEMDESC& parameter = function->lprgelemdescParam[index];
        if (IsReturnValue(parameter) || parameter.tdesc.vt != VT_PTR)
            return VT_EMPTY;
        const VARTYPE pointee = parameter.tdesc.lptdesc->vt;
        if (pointee == VT_USERDEFINED || pointee == VT_PTR || pointee == VT_SAFEARRAY ||
            pointee == VT_UNKNOWN || pointee == VT_DISPATCH)
            return VT_EMPTY;
        return pointee;
    }

    std::vector<VARIANT> values_;
    std::vector<VARIANT> slots_;
    DISPID propertyPut_ = DISPID_PROPERTYPUT;
};

}  // namespace

// ---- AutomationRef --------------------------------------------------------------------------

AutomationRef::AutomationRef(ComPtr<IUnknown> object, ComPtr<ITypeInfo> description)
    : object_(std::move(object)), description_(std::move(description)) {}

void AutomationRef::Release() {
    object_.Reset();
    description_.Reset();
    lastResult_ = S_OK;
}

IUnknown** AutomationRef::ReceiveObject() {
    description_.Reset();
    return object_.ReleaseAndGetAddressOf();
}

// ---- AutomationResult -----------------------------------------------------------------------

AutomationResult::AutomationResult() {
    VariantInit(&value_);
}

AutomationResult::AutomationResult(AutomationResult&& other) noexcept
    : value_(other.value_), description_(std::move(other.description_)) {
    VariantInit(&other.value_);
}

AutomationResult& AutomationResult::operator=(AutomationResult&& other) noexcept {
    if (this != &other) {
        VariantClear(&value_);
        value_ = other.value_;
        VariantInit(&other.value_);
        description_ = std::move(other.description_);
    }
    return *this;
}

AutomationResult::~AutomationResult() {
    VariantClear(&value_);
}

VARIANT* AutomationResult::Receive() {
    VariantClear(&value_);
    return &value_;
}

Text AutomationResult::ToText() const {
    ScopedVariant converted;
    if (FAILED(VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value_), 0, VT_BSTR)))
        return Text("");
    return FromUtf16System(converted.Get()->bstrVal);
}

TextBlock AutomationResult::ToWideText() const {
    ScopedVariant converted;
    if (FAILED(VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value_), 0, VT_BSTR)))
        return TextBlock::EmptyWide();
    return TextBlock::FromWide(converted.Get()->bstrVal);
}

double AutomationResult::ToNumber() const {
    ScopedVariant converted;
    if (FAILED(VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value_), 0, VT_R8)))
        return 0;
    return converted.Get()->dblVal;
}

bool AutomationResult::ToBoolean() const {
    ScopedVariant converted;
    if (FAILED(VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value_), 0, VT_BOOL)))
        return false;
    return converted.Get()->boolVal != VARIANT_FALSE;
}

AutomationRef AutomationResult::ToObject() const {
    IUnknown* object = nullptr;
    if (value_.vt == VT_DISPATCH)
        object = value_.pdispVal;
    else if (value_.vt == VT_UNKNOWN)
        object = value_.punkVal;
    if (!object)
        return AutomationRef();
    return AutomationRef(ComPtr<IUnknown>(object), description_);
}

// ---- the call -------------------------------------------------------------------------------

AutomationResult CallAutomation(AutomationRef& target, const char* member, AutomationCallKind kind,
                                std::initializer_list<AutomationArgument> arguments) {
    AutomationResult result;
    if (target.IsEmpty()) {
        target.SetLastResult(E_POINTER);
        return result;
    }

    const TextBlock wideName = ToUtf16System(member);
    const ScopedBstr name(wideName.Wide());
    CallRoute route;
    HRESULT outcome = RouteThroughDispatch(target.Object(), name.Get(), route);
    if (DispatchUnavailable(outcome))
        outcome = RouteThroughInterface(target, name.Get(), route);
    if (FAILED(outcome)) {
        target.SetLastResult(outcome);
        return result;
    }

    const std::unique_ptr<ScopedFuncDesc> description =
        route.type ? FindFunction(route.type.Get(), route.member, static_cast<INVOKEKIND>(kind))
                   : nullptr;
    const FUNCDESC* function = description ? description->Get() : nullptr;
    if (function)
        result.SetDescription(DeclaredObjectType(description->Owner(), function));

    ArgumentList list(arguments, function);
    DISPPARAMS parameters = list.ForCall(kind == AutomationCallKind::kWrite);
    ScopedExceptionInfo exception;
    UINT badArgument = 0;
    VARIANT* value = kind == AutomationCallKind::kWrite ? nullptr : result.Receive();
    if (route.dispatch) {
        outcome = route.dispatch->Invoke(route.member, IID_NULL, GetUserDefaultLCID(),
                                         static_cast<WORD>(kind), &parameters, value,
                                         exception.Get(), &badArgument);
    } else {
        outcome = route.type->Invoke(route.instance.Get(), route.member, static_cast<WORD>(kind),
                                     &parameters, value, exception.Get(), &badArgument);
    }
    target.SetLastResult(outcome);
    if (FAILED(outcome))
        return AutomationResult();
    return result;
}

int32_t TruncateToInt32(double value) {
    // Beyond the 64-bit range (or NaN) there is no integer to cut.
    if (!(value > -9223372036854775808.0 && value < 9223372036854775808.0))
        return 0;
    return static_cast<int32_t>(static_cast<uint64_t>(static_cast<int64_t>(value)));
}
