#include "hosts/calc/uno/run_later.h"

#include <com/sun/star/awt/AsyncCallback.hpp>
#include <com/sun/star/awt/XCallback.hpp>
#include <cppuhelper/implbase1.hxx>

namespace pelorin::calc {

namespace {

class Callback : public cppu::WeakImplHelper1<css::awt::XCallback> {
 public:
  explicit Callback(std::function<void()> work) : work_(std::move(work)) {}
  void SAL_CALL notify(const css::uno::Any&) override {
    try {
      work_();
    } catch (...) {
    }
  }

 private:
  std::function<void()> work_;
};

}  // namespace

void RunLater(const css::uno::Reference<css::uno::XComponentContext>& context,
              std::function<void()> work) {
  css::awt::AsyncCallback::create(context)->addCallback(new Callback(std::move(work)),
                                                          css::uno::Any());
}

}  // namespace pelorin::calc
