#pragma once

#include "skin/base_form.h"
#include "skin/pictures.h"

namespace twtest {

// The windows of a test drawn with the given appearance, as the entry has them drawn with
// the program's, until the object goes and the look before it is back.
class TestLook {
  public:
    explicit TestLook(tw::TAppearance& appearance) : look_(appearance) {
        tw::TfrmBase::SetLook(&look_);
    }
    ~TestLook() { tw::TfrmBase::SetLook(previous_); }
    TestLook(const TestLook&) = delete;
    TestLook& operator=(const TestLook&) = delete;

    tw::TWindowLook& Look() { return look_; }

  private:
    tw::TWindowLook* previous_ = tw::TfrmBase::Look();
    tw::TWindowLook look_;
};

} // namespace twtest
