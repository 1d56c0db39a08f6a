#pragma once

#include <oleacc.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace twtest {

// An accessibility object the test builds itself and hands out through a window's
// WM_GETOBJECT, as a browser's own tree is: the real library calls walk it.
class TTestAccessible : public IAccessible, public IEnumVARIANT {
  public:
    TTestAccessible(long role, std::wstring value, long state = 0);
    virtual ~TTestAccessible();

    // Adds an object child; returns it so that trees can be built in one expression.
    TTestAccessible* Add(TTestAccessible* child);
    // Children only one at a time through IEnumVARIANT: the children list call fails.
    bool enumerationOnly = false;
    // The enumeration fails at once, as a browser's broken tree does.
    bool enumerationFails = false;
    // How often the role was read: how often the object was examined.
    int roleReads = 0;
    // Called on every call but the role's and the interface's own: the object reached into.
    std::function<void()> onTouch;
    // What accNavigate answers for the relation "embeds"; the first failFirstEmbeds calls
    // fail (-1: every call).
    TTestAccessible* embeds = nullptr;
    int failFirstEmbeds = 0;
    // Every call on every object waits this long first, as a busy browser's do.
    static int callDelayMs;

    void SetValue(std::wstring value) { value_ = std::move(value); }
    void SetState(long state) { state_ = state; }
    void SetName(std::wstring name) { name_ = std::move(name); }
    void SetShortcut(std::wstring shortcut) { shortcut_ = std::move(shortcut); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT, BSTR*) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR*) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, long*) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR*) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT*) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT*) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR*) override;
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override;
    HRESULT STDMETHODCALLTYPE accLocation(long*, long*, long*, long*, VARIANT) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT*) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT*) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override;
    // IEnumVARIANT
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override;

  private:
    void Touch();

    LONG references_ = 1;
    std::wstring name_;
    std::wstring shortcut_;
    long role_;
    std::wstring value_;
    long state_;
    std::vector<TTestAccessible*> children_;
    size_t cursor_ = 0;
};

// A chain of plain objects (role "client") as deep as asked, ending in an address field
// (role text) with the address: the field sits at the given depth below the root.
TTestAccessible* TreeWithAddressAt(int depth, const std::wstring& address,
                                   bool enumerationOnly = false);

} // namespace twtest
