#include "platform/x11/browser_view.h"

namespace tw {

namespace {

class TAddressField : public TAccessible {
  public:
    explicit TAddressField(std::string address) : address_(std::move(address)) {}

    bool ChildCount(long& count) override {
        count = 0;
        return true;
    }
    bool Children(long, long, std::vector<TAccVariant>&) override { return false; }
    bool OffersEnumeration() override { return false; }
    void EnumerateNext(TAccVariant&, bool& fetched) override { fetched = false; }
    TAccVariant Navigate(int, const TAccVariant&) override { return {}; }
    std::shared_ptr<TAccessible> Child(std::int32_t) override { return nullptr; }
    TAccVariant Role() override { return TAccVariant::Number(RoleText); }
    std::string Value() override { return address_; }
    TAccVariant State() override { return TAccVariant::Number(StateFocusableHotTracked); }

  private:
    std::string address_;
};

} // namespace

const char* BrowserViewClass(TBrowserFamily family) {
    switch (family) {
    case TBrowserFamily::Chromium:
        return "Chrome_AutocompleteEditView";
    case TBrowserFamily::Mozilla:
        return "MozillaWindowClass";
    default:
        return "";
    }
}

std::shared_ptr<TAccessible> AddressFieldAccessible(const std::string& address) {
    return std::make_shared<TAddressField>(address);
}

} // namespace tw
