#pragma once

#include "platform/win32/accessible.h"
#include "platform/win32/com_ids.h"

#include <oleacc.h>

#include <memory>

namespace tw {

// A window's or element's accessibility object reached through the accessibility
// library. Child enumeration one at a time goes through the directory-services helper
// ADsEnumerateNext over the object's IEnumVARIANT.
class TWin32Accessible : public TAccessible {
  public:
    explicit TWin32Accessible(TComPtr<IAccessible> object) : object_(std::move(object)) {}

    // How a window answered the question for its client area's object.
    enum class TClientAnswer {
        Own,      // the program's own object
        Standard, // none of its own: the system's standard object stands in
        NoAnswer, // the window did not answer in time (hung, or gone)
    };

    // The object of a window for OBJID_WINDOW; null when the window offers none.
    static std::shared_ptr<TAccessible> FromWindow(HWND window);
    // The object of the window's client area, asked of the window itself (WM_GETOBJECT)
    // waiting at most timeoutMs; null only when it did not answer.
    static std::shared_ptr<TAccessible> ClientOf(HWND window, unsigned timeoutMs,
                                                 TClientAnswer& answer);
    // Wraps a variant the accessibility calls answered.
    static TAccVariant Wrap(const VARIANT& value);

    bool ChildCount(long& count) override;
    bool Children(long start, long count, std::vector<TAccVariant>& children) override;
    bool OffersEnumeration() override;
    void EnumerateNext(TAccVariant& child, bool& fetched) override;
    TAccVariant Navigate(int direction, const TAccVariant& start) override;
    std::shared_ptr<TAccessible> Child(std::int32_t childId) override;
    TAccVariant Role() override;
    std::string Value() override;
    TAccVariant State() override;
    std::string KeyboardShortcut() override;

    IAccessible* Object() const { return object_.Get(); }

  private:
    TComPtr<IAccessible> object_;
    TComPtr<IEnumVARIANT> enumeration_;
};

} // namespace tw
