// The extension's UNO components: the protocol handler behind the "Pelorin"
// menu's entries, which reports each command's state and passes its clicks
// to the add-in, and the start-up job that connects the add-in when the
// office starts.
#include <com/sun/star/frame/DispatchDescriptor.hpp>
#include <com/sun/star/frame/XDispatch.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/lang/XInitialization.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/task/XJob.hpp>
#include <cppuhelper/implbase2.hxx>
#include <cppuhelper/implbase4.hxx>
#include <cppuhelper/supportsservice.hxx>

#include "hosts/calc/uno/calc_addin.h"
#include "hosts/calc/uno/command_urls.h"
#include "hosts/calc/uno/uno_text.h"

namespace pelorin::calc {
namespace {

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;

class ProtocolHandler
    : public cppu::WeakImplHelper4<css::frame::XDispatchProvider, css::frame::XDispatch,
                                   css::lang::XInitialization, css::lang::XServiceInfo> {
 public:
  explicit ProtocolHandler(Reference<css::uno::XComponentContext> context)
      : context_(std::move(context)) {}

  Reference<css::frame::XDispatch> SAL_CALL queryDispatch(const css::util::URL& url,
                                                          const rtl::OUString&, sal_Int32) override {
    if (!url.Complete.startsWith(ToUno(kCommandProtocol))) return {};
    return this;
  }

  Sequence<Reference<css::frame::XDispatch>> SAL_CALL queryDispatches(
      const Sequence<css::frame::DispatchDescriptor>& requests) override {
    Sequence<Reference<css::frame::XDispatch>> answers(requests.getLength());
    for (sal_Int32 i = 0; i < requests.getLength(); ++i) {
      answers.getArray()[i] = queryDispatch(requests[i].FeatureURL, requests[i].FrameName,
                                            requests[i].SearchFlags);
    }
    return answers;
  }

  void SAL_CALL dispatch(const css::util::URL& url, const Sequence<css::beans::PropertyValue>&) override {
    try {
      Addin().DispatchSoon(ToUtf8(url.Complete));
    } catch (...) {
    }
  }

  void SAL_CALL addStatusListener(const Reference<css::frame::XStatusListener>& listener,
                                  const css::util::URL& url) override {
    try {
      Addin().AddStatusListener(listener, ToUtf8(url.Complete));
    } catch (...) {
    }
  }

  void SAL_CALL removeStatusListener(const Reference<css::frame::XStatusListener>& listener,
                                     const css::util::URL& url) override {
    try {
      Addin().RemoveStatusListener(listener, ToUtf8(url.Complete));
    } catch (...) {
    }
  }

  // The first handler of a process connects the add-in, for an extension
  // installed while the office runs.
  void SAL_CALL initialize(const Sequence<Any>&) override {
    try {
      Addin().ConnectSoon();
    } catch (...) {
    }
  }

  rtl::OUString SAL_CALL getImplementationName() override { return "org.pelorin.calc.ProtocolHandler"; }
  sal_Bool SAL_CALL supportsService(const rtl::OUString& name) override {
    return cppu::supportsService(this, name);
  }
  Sequence<rtl::OUString> SAL_CALL getSupportedServiceNames() override {
    Sequence<rtl::OUString> names(1);
    names.getArray()[0] = "com.sun.star.frame.ProtocolHandler";
    return names;
  }

 private:
  CalcAddin& Addin() { return CalcAddin::Instance(context_); }

  Reference<css::uno::XComponentContext> context_;
};

class StartupJob : public cppu::WeakImplHelper2<css::task::XJob, css::lang::XServiceInfo> {
 public:
  explicit StartupJob(Reference<css::uno::XComponentContext> context) : context_(std::move(context)) {}

  Any SAL_CALL execute(const Sequence<css::beans::NamedValue>&) override {
    try {
      CalcAddin::Instance(context_).ConnectSoon();
    } catch (...) {
    }
    return {};
  }

  rtl::OUString SAL_CALL getImplementationName() override { return "org.pelorin.calc.StartupJob"; }
  sal_Bool SAL_CALL supportsService(const rtl::OUString& name) override {
    return cppu::supportsService(this, name);
  }
  Sequence<rtl::OUString> SAL_CALL getSupportedServiceNames() override {
    Sequence<rtl::OUString> names(1);
    names.getArray()[0] = "com.sun.star.task.Job";
    return names;
  }

 private:
  Reference<css::uno::XComponentContext> context_;
};

}  // namespace
}  // namespace pelorin::calc

extern "C" SAL_DLLPUBLIC_EXPORT css::uno::XInterface* org_pelorin_calc_ProtocolHandler_get_implementation(
    css::uno::XComponentContext* context, const css::uno::Sequence<css::uno::Any>&) {
  auto* handler = new pelorin::calc::ProtocolHandler(context);
  handler->acquire();
  return static_cast<cppu::OWeakObject*>(handler);
}

extern "C" SAL_DLLPUBLIC_EXPORT css::uno::XInterface* org_pelorin_calc_StartupJob_get_implementation(
    css::uno::XComponentContext* context, const css::uno::Sequence<css::uno::Any>&) {
  auto* job = new pelorin::calc::StartupJob(context);
  job->acquire();
  return static_cast<cppu::OWeakObject*>(job);
}
