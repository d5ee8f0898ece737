#include "hosts/calc/uno/calc_application.h"

#include <stdexcept>

#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <osl/file.hxx>

#include "hosts/calc/uno/uno_text.h"

namespace pelorin::calc {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

CalcApplication::CalcApplication(Reference<css::uno::XComponentContext> context,
                                 std::function<void()> on_menu_state_change)
    : context_(std::move(context)), menu_bar_(std::move(on_menu_state_change)) {}

Reference<css::frame::XController> CalcApplication::CurrentController() const {
  Reference<css::frame::XDesktop2> desktop = css::frame::Desktop::create(context_);
  Reference<css::frame::XModel> model(desktop->getCurrentComponent(), UNO_QUERY);
  if (!model.is()) throw std::runtime_error("no document is open");
  Reference<css::frame::XController> controller = model->getCurrentController();
  if (!controller.is()) throw std::runtime_error("the document has no view");
  return controller;
}

const Worksheet& CalcApplication::ActiveSheet() {
  Reference<css::frame::XController> controller = CurrentController();
  Reference<css::sheet::XSpreadsheetView> view(controller, UNO_QUERY);
  if (!view.is()) throw std::runtime_error("the current document is not a spreadsheet");
  Reference<css::sheet::XSpreadsheet> sheet = view->getActiveSheet();
  if (!sheet.is()) throw std::runtime_error("the spreadsheet has no active sheet");
  Reference<css::util::XNumberFormatsSupplier> formats(controller->getModel(), UNO_QUERY);
  sheets_.push_back(std::make_unique<CalcWorksheet>(sheet, formats, context_));
  return *sheets_.back();
}

void CalcApplication::SelectWholeColumn(std::string_view column) {
  Reference<css::frame::XController> controller = CurrentController();
  Reference<css::sheet::XSpreadsheetView> view(controller, UNO_QUERY_THROW);
  Reference<css::table::XColumnRowRange> sheet(view->getActiveSheet(), UNO_QUERY_THROW);
  Reference<css::container::XNameAccess> columns(sheet->getColumns(), UNO_QUERY_THROW);
  rtl::OUString name = ToUno(column).toAsciiUpperCase();
  if (!columns->hasByName(name)) throw std::runtime_error("no column " + std::string(column));
  Reference<css::view::XSelectionSupplier> selection(controller, UNO_QUERY_THROW);
  if (!selection->select(columns->getByName(name))) {
    throw std::runtime_error("column " + std::string(column) + " cannot be selected");
  }
}

std::string CalcApplication::ActiveWorkbookName() const {
  try {
    Reference<css::frame::XModel> model = CurrentController()->getModel();
    if (!model.is()) return {};
    const rtl::OUString url = model->getURL();
    if (url.isEmpty()) {
      Reference<css::frame::XTitle> title(model, UNO_QUERY);
      return title.is() ? ToUtf8(title->getTitle()) : std::string();
    }
    rtl::OUString path;
    if (osl::FileBase::getSystemPathFromFileURL(url, path) == osl::FileBase::E_None) {
      return ToUtf8(path);
    }
    return ToUtf8(url);  // not a local file
  } catch (const css::uno::Exception&) {
  } catch (const std::exception&) {
  }
  return {};
}

std::string CalcApplication::ActiveSheetName() const {
  try {
    Reference<css::sheet::XSpreadsheetView> view(CurrentController(), UNO_QUERY);
    if (!view.is()) return {};
    Reference<css::container::XNamed> sheet(view->getActiveSheet(), UNO_QUERY);
    return sheet.is() ? ToUtf8(sheet->getName()) : std::string();
  } catch (const css::uno::Exception&) {
  } catch (const std::exception&) {
  }
  return {};
}

}  // namespace pelorin::calc
