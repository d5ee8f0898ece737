// Text at the UNO boundary: core speaks UTF-8 with CR LF line breaks and
// counts code points; UNO speaks UTF-16, its edit fields break lines with a
// lone LF and count UTF-16 units.
#pragma once

#include <string>
#include <string_view>

#include <rtl/ustring.hxx>

namespace pelorin::calc {

rtl::OUString ToUno(std::string_view utf8);
std::string ToUtf8(const rtl::OUString& text);

// A text box's content for the toolkit: every CR LF (or lone CR) as LF.
rtl::OUString ToEditText(std::string_view utf8);
// And back: every line break as CR LF, as core keeps it.
std::string FromEditText(const rtl::OUString& text);

// Caret offsets between the two: `edit_offset` counts UTF-16 units of
// ToEditText(model); the answer counts code points of the model's text.
int ModelOffset(std::string_view model, sal_Int32 edit_offset);
sal_Int32 EditOffset(std::string_view model, int model_offset);

}  // namespace pelorin::calc
