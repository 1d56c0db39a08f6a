#include "platform/win32/win32_accessible.h"

#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"

#include <iads.h>

#include <adshlp.h>

#include <map>

namespace tw {

namespace {

VARIANT Self() {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

VARIANT ToVariant(const TAccVariant& value) {
    VARIANT result;
    VariantInit(&result);
    if (value.kind == TAccVariant::Int32) {
        result.vt = VT_I4;
        result.lVal = value.number;
    } else if (value.kind == TAccVariant::Object && value.object) {
        if (auto* wrapped = dynamic_cast<TWin32Accessible*>(value.object.get())) {
            result.vt = VT_DISPATCH;
            result.pdispVal = wrapped->Object(); // borrowed: the caller does not clear it
        }
    }
    return result;
}

// Clears a variant and everything it holds, once we are done with it.
struct TVariantHolder {
    VARIANT value;
    TVariantHolder() { VariantInit(&value); }
    ~TVariantHolder() { VariantClear(&value); }
};

// One wrapper per live object, so that a navigation that answers an object met before
// is recognised as the same child (the walk stops on a repeat).
std::shared_ptr<TAccessible> WrapperOf(TComPtr<IAccessible> object) {
    // A cache of identities, not state of the program: per thread, as the objects belong to
    // their thread's apartment, and holding nothing alive.
    thread_local std::map<IUnknown*, std::weak_ptr<TAccessible>> wrappers;
    TComPtr<IUnknown> identity;
    object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.Out()));
    IUnknown* key = identity.Get();
    if (auto found = wrappers.find(key); found != wrappers.end()) {
        if (auto alive = found->second.lock()) {
            return alive;
        }
    }
    if (wrappers.size() > 256) {
        std::erase_if(wrappers, [](const auto& entry) { return entry.second.expired(); });
    }
    auto wrapper = std::make_shared<TWin32Accessible>(std::move(object));
    if (key) {
        wrappers[key] = wrapper;
    }
    return wrapper;
}

// The text of a call that answers one, which it frees; empty when the call failed.
std::string TextOf(HRESULT result, BSTR text) {
    std::string converted;
    if (SUCCEEDED(result) && text) {
        converted = Utf8Text(std::wstring_view(text, SysStringLen(text)));
    }
    if (text) {
        SysFreeString(text);
    }
    return converted;
}

} // namespace

std::shared_ptr<TAccessible> TWin32Accessible::FromWindow(HWND window) {
    TComPtr<IAccessible> object;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW), IidAccessible,
                                          reinterpret_cast<void**>(object.Out()))) ||
        !object) {
        return nullptr;
    }
    return WrapperOf(std::move(object));
}

std::shared_ptr<TAccessible> TWin32Accessible::ClientOf(HWND window, unsigned timeoutMs,
                                                        TClientAnswer& answer) {
    // Asked directly rather than through AccessibleObjectFromWindow, so that a browser that
    // has stopped answering costs this scan no more than the time given.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_GETOBJECT, 0,
                             static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT)),
                             SMTO_ABORTIFHUNG, timeoutMs, &result)) {
        answer = TClientAnswer::NoAnswer;
        return nullptr;
    }
    TComPtr<IAccessible> object;
    if (static_cast<LRESULT>(result) > 0 &&
        SUCCEEDED(ObjectFromLresult(static_cast<LRESULT>(result), IidAccessible, 0,
                                    reinterpret_cast<void**>(object.Out()))) &&
        object) {
        answer = TClientAnswer::Own;
        return WrapperOf(std::move(object));
    }
    answer = TClientAnswer::Standard;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, IidAccessible,
                                         reinterpret_cast<void**>(object.Out()))) ||
        !object) {
        answer = TClientAnswer::NoAnswer; // the window went away meanwhile
        return nullptr;
    }
    return WrapperOf(std::move(object));
}

TAccVariant TWin32Accessible::Wrap(const VARIANT& value) {
    switch (value.vt) {
    case VT_EMPTY:
        return {};
    case VT_I4:
        return TAccVariant::Number(value.lVal);
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        TComPtr<IAccessible> object;
        IUnknown* unknown = value.vt == VT_DISPATCH ? value.pdispVal : value.punkVal;
        if (unknown) {
            unknown->QueryInterface(IidAccessible, reinterpret_cast<void**>(object.Out()));
        }
        if (!object) {
            return TAccVariant::Of(nullptr);
        }
        return TAccVariant::Of(WrapperOf(std::move(object)));
    }
    default:
        return {TAccVariant::Other, 0, nullptr};
    }
}

bool TWin32Accessible::ChildCount(long& count) {
    count = 0;
    return SUCCEEDED(object_->get_accChildCount(&count));
}

bool TWin32Accessible::Children(long start, long count, std::vector<TAccVariant>& children) {
    children.clear();
    if (count <= 0) {
        return true;
    }
    std::vector<VARIANT> obtained(static_cast<size_t>(count));
    for (VARIANT& each : obtained) {
        VariantInit(&each);
    }
    long got = 0;
    const HRESULT result = AccessibleChildren(object_.Get(), start, count, obtained.data(), &got);
    if (SUCCEEDED(result)) {
        for (long i = 0; i < got && i < count; ++i) {
            children.push_back(Wrap(obtained[static_cast<size_t>(i)]));
        }
    }
    for (VARIANT& each : obtained) {
        VariantClear(&each);
    }
    return SUCCEEDED(result);
}

bool TWin32Accessible::OffersEnumeration() {
    if (FAILED(object_->QueryInterface(IidEnumVariant,
                                       reinterpret_cast<void**>(enumeration_.Out()))) ||
        !enumeration_) {
        enumeration_.Reset();
        return false;
    }
    enumeration_->Reset(); // each walk starts at the first child
    return true;
}

void TWin32Accessible::EnumerateNext(TAccVariant& child, bool& fetched) {
    child = {};
    fetched = false;
    if (!enumeration_) {
        return;
    }
    TVariantHolder next;
    ULONG count = 0;
    HRESULT result = ADsEnumerateNext(enumeration_.Get(), 1, &next.value, &count);
    // The helper only forwards to the enumerator; where it is a stub (Wine's), the
    // enumerator is asked directly.
    if (result == E_NOTIMPL) {
        count = 0;
        result = enumeration_->Next(1, &next.value, &count);
    }
    if (FAILED(result)) {
        RaiseOSError(static_cast<unsigned long>(result));
    }
    if (count == 1) {
        child = Wrap(next.value);
        fetched = true;
    }
}

TAccVariant TWin32Accessible::Navigate(int direction, const TAccVariant& start) {
    TVariantHolder result;
    const VARIANT from = ToVariant(start);
    if (FAILED(object_->accNavigate(direction, from, &result.value))) {
        return {};
    }
    return Wrap(result.value);
}

std::shared_ptr<TAccessible> TWin32Accessible::Child(std::int32_t childId) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = childId;
    IDispatch* dispatch = nullptr;
    const HRESULT result = object_->get_accChild(id, &dispatch);
    TComPtr<IDispatch> held(dispatch);
    if (result != S_OK || !held) {
        return nullptr;
    }
    TComPtr<IAccessible> object;
    held->QueryInterface(IidAccessible, reinterpret_cast<void**>(object.Out()));
    if (!object) {
        return nullptr;
    }
    return WrapperOf(std::move(object));
}

TAccVariant TWin32Accessible::Role() {
    TVariantHolder role;
    if (FAILED(object_->get_accRole(Self(), &role.value))) {
        return {};
    }
    return Wrap(role.value);
}

std::string TWin32Accessible::Value() {
    BSTR value = nullptr;
    const HRESULT result = object_->get_accValue(Self(), &value);
    return TextOf(result, value);
}

std::string TWin32Accessible::KeyboardShortcut() {
    BSTR shortcut = nullptr;
    const HRESULT result = object_->get_accKeyboardShortcut(Self(), &shortcut);
    return TextOf(result, shortcut);
}

TAccVariant TWin32Accessible::State() {
    TVariantHolder state;
    if (FAILED(object_->get_accState(Self(), &state.value))) {
        return {};
    }
    return Wrap(state.value);
}

} // namespace tw
