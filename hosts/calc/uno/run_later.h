// Runs work on the office's main thread after the current listener call has
// returned, so a handler may close or unload the window that called it.
#pragma once

#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <functional>

namespace pelorin::calc {

// Nothing thrown by `work` escapes into the office.
void RunLater(const css::uno::Reference<css::uno::XComponentContext>& context,
              std::function<void()> work);

}  // namespace pelorin::calc
