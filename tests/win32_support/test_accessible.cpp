#include "win32_support/test_accessible.h"

#include "platform/win32/com_ids.h"

namespace twtest {

int TTestAccessible::callDelayMs = 0;

void TTestAccessible::Touch() {
    if (callDelayMs > 0) {
        Sleep(static_cast<DWORD>(callDelayMs));
    }
    if (onTouch) {
        onTouch();
    }
}

TTestAccessible::TTestAccessible(long role, std::wstring value, long state)
    : role_(role), value_(std::move(value)), state_(state) {}

TTestAccessible::~TTestAccessible() {
    for (TTestAccessible* child : children_) {
        child->Release();
    }
}

TTestAccessible* TTestAccessible::Add(TTestAccessible* child) {
    children_.push_back(child);
    return child;
}

HRESULT TTestAccessible::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == tw::IidAccessible) {
        *out = static_cast<IAccessible*>(this);
    } else if (iid == tw::IidEnumVariant && enumerationOnly) {
        *out = static_cast<IEnumVARIANT*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG TTestAccessible::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG TTestAccessible::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT TTestAccessible::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}
HRESULT TTestAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                UINT*) {
    return E_NOTIMPL;
}

HRESULT TTestAccessible::get_accParent(IDispatch**) {
    return E_NOTIMPL;
}

HRESULT TTestAccessible::get_accChildCount(long* count) {
    Touch();
    *count = static_cast<long>(children_.size());
    return S_OK;
}

HRESULT TTestAccessible::get_accChild(VARIANT id, IDispatch** child) {
    Touch();
    *child = nullptr;
    if (enumerationOnly || id.vt != VT_I4 || id.lVal < 1 ||
        static_cast<size_t>(id.lVal) > children_.size()) {
        return E_INVALIDARG;
    }
    *child = children_[static_cast<size_t>(id.lVal - 1)];
    (*child)->AddRef();
    return S_OK;
}

HRESULT TTestAccessible::get_accName(VARIANT, BSTR* name) {
    Touch();
    *name = name_.empty() ? nullptr : SysAllocString(name_.c_str());
    return name_.empty() ? S_FALSE : S_OK;
}

HRESULT TTestAccessible::get_accValue(VARIANT, BSTR* value) {
    Touch();
    *value = SysAllocString(value_.c_str());
    return S_OK;
}

HRESULT TTestAccessible::get_accDescription(VARIANT, BSTR*) {
    return E_NOTIMPL;
}

HRESULT TTestAccessible::get_accRole(VARIANT, VARIANT* role) {
    if (callDelayMs > 0) {
        Sleep(static_cast<DWORD>(callDelayMs));
    }
    ++roleReads;
    VariantInit(role);
    role->vt = VT_I4;
    role->lVal = role_;
    return S_OK;
}

HRESULT TTestAccessible::get_accState(VARIANT, VARIANT* state) {
    Touch();
    VariantInit(state);
    state->vt = VT_I4;
    state->lVal = state_;
    return S_OK;
}

HRESULT TTestAccessible::get_accHelp(VARIANT, BSTR*) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::get_accHelpTopic(BSTR*, VARIANT, long*) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::get_accKeyboardShortcut(VARIANT, BSTR* shortcut) {
    Touch();
    *shortcut = shortcut_.empty() ? nullptr : SysAllocString(shortcut_.c_str());
    return shortcut_.empty() ? S_FALSE : S_OK;
}
HRESULT TTestAccessible::get_accFocus(VARIANT*) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::get_accSelection(VARIANT*) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::get_accDefaultAction(VARIANT, BSTR*) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::accSelect(long, VARIANT) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::accLocation(long*, long*, long*, long*, VARIANT) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    Touch();
    VariantInit(end);
    constexpr long NavRelationEmbeds = 0x1009;
    if (direction != NavRelationEmbeds || !embeds || start.vt != VT_I4 ||
        start.lVal != CHILDID_SELF) {
        return E_NOTIMPL;
    }
    if (failFirstEmbeds != 0) {
        failFirstEmbeds = failFirstEmbeds > 0 ? failFirstEmbeds - 1 : -1;
        return E_FAIL;
    }
    end->vt = VT_DISPATCH;
    end->pdispVal = embeds;
    embeds->AddRef();
    return S_OK;
}
HRESULT TTestAccessible::accHitTest(long, long, VARIANT*) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::accDoDefaultAction(VARIANT) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}
HRESULT TTestAccessible::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT TTestAccessible::Next(ULONG count, VARIANT* items, ULONG* fetched) {
    Touch();
    if (enumerationFails) {
        return E_UNEXPECTED;
    }
    ULONG given = 0;
    while (given < count && cursor_ < children_.size()) {
        VariantInit(&items[given]);
        items[given].vt = VT_DISPATCH;
        items[given].pdispVal = children_[cursor_++];
        items[given].pdispVal->AddRef();
        ++given;
    }
    if (fetched) {
        *fetched = given;
    }
    return given == count ? S_OK : S_FALSE;
}

// Refusing to skip makes the library's children list call fail, so that the walk has to
// step through the enumeration itself.
HRESULT TTestAccessible::Skip(ULONG) {
    return E_NOTIMPL;
}

HRESULT TTestAccessible::Reset() {
    cursor_ = 0;
    return S_OK;
}

HRESULT TTestAccessible::Clone(IEnumVARIANT** copy) {
    *copy = nullptr;
    return E_NOTIMPL;
}

TTestAccessible* TreeWithAddressAt(int depth, const std::wstring& address, bool enumerationOnly) {
    constexpr long RoleClient = 10;
    constexpr long RoleText = 42;
    auto* root = new TTestAccessible(RoleClient, L"");
    root->enumerationOnly = enumerationOnly;
    TTestAccessible* parent = root;
    for (int level = 1; level < depth; ++level) {
        parent = parent->Add(new TTestAccessible(RoleClient, L""));
        parent->enumerationOnly = enumerationOnly;
    }
    parent->Add(new TTestAccessible(RoleText, address, 0x100000));
    return root;
}

} // namespace twtest
