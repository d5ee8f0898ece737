#include "hosts/calc/uno/form_window.h"

#include <algorithm>
#include <cmath>

#include <com/sun/star/accessibility/XAccessible.hpp>
#include <com/sun/star/accessibility/XAccessibleContext.hpp>
#include <com/sun/star/awt/FontDescriptor.hpp>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/awt/MouseEvent.hpp>
#include <com/sun/star/awt/PushButtonType.hpp>
#include <com/sun/star/awt/Selection.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XActionListener.hpp>
#include <com/sun/star/awt/XButton.hpp>
#include <com/sun/star/awt/XCheckBox.hpp>
#include <com/sun/star/awt/XFixedHyperlink.hpp>
#include <com/sun/star/awt/XFocusListener.hpp>
#include <com/sun/star/awt/XItemListener.hpp>
#include <com/sun/star/awt/XListBox.hpp>
#include <com/sun/star/awt/XMouseListener.hpp>
#include <com/sun/star/awt/XRadioButton.hpp>
#include <com/sun/star/awt/XTextComponent.hpp>
#include <com/sun/star/awt/XTextListener.hpp>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XTopWindowListener.hpp>
#include <com/sun/star/awt/XUnitConversion.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/awt/grid/XGridColumn.hpp>
#include <com/sun/star/awt/grid/XGridColumnModel.hpp>
#include <com/sun/star/awt/grid/XMutableGridDataModel.hpp>
#include <com/sun/star/beans/XPropertySetInfo.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/style/VerticalAlignment.hpp>
#include <com/sun/star/util/MeasureUnit.hpp>
#include <cppuhelper/implbase1.hxx>
#include <cppuhelper/implbase5.hxx>

#include "hosts/calc/uno/key_codes.h"
#include "hosts/calc/uno/uno_text.h"

namespace pelorin::calc {

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using forms::Control;
using forms::ControlKind;

namespace {

// The picture resources of the models, packed into the extension.
constexpr char kImageFolder[] = "vnd.sun.star.extension://org.pelorin.calc/images/";

sal_Int32 ToUnoColor(forms::Rgb color) {
  return (color.red << 16) | (color.green << 8) | color.blue;
}

rtl::OUString ModelService(const Control& control) {
  switch (control.kind) {
    case ControlKind::kLabel:
      return rtl::OUString::createFromAscii(control.acts_as_link
                                                ? "com.sun.star.awt.UnoControlFixedHyperlinkModel"
                                                : "com.sun.star.awt.UnoControlFixedTextModel");
    case ControlKind::kTextBox: return "com.sun.star.awt.UnoControlEditModel";
    case ControlKind::kButton: return "com.sun.star.awt.UnoControlButtonModel";
    case ControlKind::kCheckBox: return "com.sun.star.awt.UnoControlCheckBoxModel";
    case ControlKind::kOptionButton: return "com.sun.star.awt.UnoControlRadioButtonModel";
    case ControlKind::kDropDownList:
    case ControlKind::kListBox: return "com.sun.star.awt.UnoControlListBoxModel";
    case ControlKind::kPicture: return "com.sun.star.awt.UnoControlImageControlModel";
    case ControlKind::kLine: return "com.sun.star.awt.UnoControlFixedLineModel";
    case ControlKind::kGrid: return "com.sun.star.awt.grid.UnoControlGridModel";
  }
  return "com.sun.star.awt.UnoControlFixedTextModel";
}

bool HasCaption(ControlKind kind) {
  return kind == ControlKind::kLabel || kind == ControlKind::kButton ||
         kind == ControlKind::kCheckBox || kind == ControlKind::kOptionButton;
}

bool HasText(ControlKind kind) {
  return kind != ControlKind::kPicture && kind != ControlKind::kLine && kind != ControlKind::kGrid;
}

class ControlListener
    : public cppu::WeakImplHelper5<css::awt::XActionListener, css::awt::XItemListener,
                                   css::awt::XTextListener, css::awt::XMouseListener,
                                   css::awt::XFocusListener> {
 public:
  ControlListener(std::shared_ptr<WindowLink> link, std::string name)
      : link_(std::move(link)), name_(std::move(name)) {}

  void SAL_CALL actionPerformed(const css::awt::ActionEvent&) override {
    Guard([&](FormWindow& w) { w.OnAction(name_); });
  }
  void SAL_CALL itemStateChanged(const css::awt::ItemEvent& event) override {
    Guard([&](FormWindow& w) { w.OnItemState(name_, event.Selected); });
  }
  void SAL_CALL textChanged(const css::awt::TextEvent&) override {
    Guard([&](FormWindow& w) { w.OnTextChanged(); });
  }
  void SAL_CALL mousePressed(const css::awt::MouseEvent&) override {}
  void SAL_CALL mouseReleased(const css::awt::MouseEvent& event) override {
    Guard([&](FormWindow& w) { w.OnMouseClick(name_, event.ClickCount); });
  }
  void SAL_CALL mouseEntered(const css::awt::MouseEvent&) override {}
  void SAL_CALL mouseExited(const css::awt::MouseEvent&) override {}
  void SAL_CALL focusGained(const css::awt::FocusEvent&) override {
    Guard([&](FormWindow& w) { w.OnFocus(name_, true); });
  }
  void SAL_CALL focusLost(const css::awt::FocusEvent&) override {
    Guard([&](FormWindow& w) { w.OnFocus(name_, false); });
  }
  void SAL_CALL disposing(const css::lang::EventObject&) override {}

 private:
  // Nothing thrown may reach the toolkit.
  template <typename Call>
  void Guard(Call call) {
    try {
      if (link_->window != nullptr) call(*link_->window);
    } catch (...) {
    }
  }

  std::shared_ptr<WindowLink> link_;
  std::string name_;
};

class DialogListener : public cppu::WeakImplHelper1<css::awt::XTopWindowListener> {
 public:
  explicit DialogListener(std::shared_ptr<WindowLink> link) : link_(std::move(link)) {}

  void SAL_CALL windowClosing(const css::lang::EventObject&) override {
    try {
      if (link_->window != nullptr) link_->window->OnCloseRequest();
    } catch (...) {
    }
  }
  void SAL_CALL windowOpened(const css::lang::EventObject&) override {}
  void SAL_CALL windowClosed(const css::lang::EventObject&) override {}
  void SAL_CALL windowMinimized(const css::lang::EventObject&) override {}
  void SAL_CALL windowNormalized(const css::lang::EventObject&) override {}
  void SAL_CALL windowActivated(const css::lang::EventObject&) override {}
  void SAL_CALL windowDeactivated(const css::lang::EventObject&) override {}
  void SAL_CALL disposing(const css::lang::EventObject&) override {}

 private:
  std::shared_ptr<WindowLink> link_;
};

// Sets a property the model has; control models differ in what they offer
// (a fixed line has no text colour), and the rest does not apply to them.
template <typename T>
void Set(const Reference<css::beans::XPropertySet>& props, const char* name, const T& value) {
  rtl::OUString property = rtl::OUString::createFromAscii(name);
  Reference<css::beans::XPropertySetInfo> info = props->getPropertySetInfo();
  if (info.is() && !info->hasPropertyByName(property)) return;
  props->setPropertyValue(property, Any(value));
}

class Pushing {
 public:
  explicit Pushing(int& depth) : depth_(depth) { ++depth_; }
  ~Pushing() { --depth_; }

 private:
  int& depth_;
};

}  // namespace

FormWindow::FormWindow(forms::Form& form, FormWindowHost& host,
                       Reference<css::uno::XComponentContext> context)
    : form_(form), host_(host), context_(std::move(context)), link_(std::make_shared<WindowLink>()) {
  link_->window = this;
}

FormWindow::~FormWindow() {
  link_->window = nullptr;
  Dispose();
}

Reference<css::awt::XWindowPeer> FormWindow::peer() const {
  return dialog_.is() ? dialog_->getPeer() : Reference<css::awt::XWindowPeer>();
}

css::awt::Point FormWindow::ToAppFont(int left_twips, int top_twips) const {
  Reference<css::awt::XUnitConversion> conversion(dialog_->getPeer(), UNO_QUERY_THROW);
  css::awt::Point pixels = conversion->convertPointToPixel(css::awt::Point(left_twips, top_twips),
                                                           css::util::MeasureUnit::TWIP);
  return conversion->convertPointToLogic(pixels, css::util::MeasureUnit::APPFONT);
}

void FormWindow::Build() {
  Dispose();
  Reference<css::lang::XMultiComponentFactory> factory = context_->getServiceManager();
  Reference<css::beans::XPropertySet> dialog_props(
      factory->createInstanceWithContext("com.sun.star.awt.UnoControlDialogModel", context_),
      UNO_QUERY_THROW);
  Set(dialog_props, "Title", ToUno(form_.caption()));
  Set(dialog_props, "BackgroundColor", ToUnoColor(form_.back_color()));
  Set(dialog_props, "Moveable", true);
  Set(dialog_props, "Closeable", true);
  dialog_props->setPropertyValue("Sizeable", Any(false));

  dialog_.set(factory->createInstanceWithContext("com.sun.star.awt.UnoControlDialog", context_),
              UNO_QUERY_THROW);
  dialog_->setModel(Reference<css::awt::XControlModel>(dialog_props, UNO_QUERY_THROW));
  Reference<css::awt::XWindow> window(dialog_, UNO_QUERY_THROW);
  window->setVisible(false);
  Reference<css::awt::XToolkit> toolkit(css::awt::Toolkit::create(context_), UNO_QUERY_THROW);
  // The peer comes first: units convert only on a live window, and nothing
  // flashes while the controls go in.
  dialog_->createPeer(toolkit, host_.ParentPeer());

  css::awt::Point size = ToAppFont(form_.client_width(), form_.client_height());
  Set(dialog_props, "Width", size.X);
  Set(dialog_props, "Height", size.Y);
  Reference<css::awt::XWindowPeer> parent = host_.ParentPeer();
  Reference<css::awt::XWindow> parent_window(parent, UNO_QUERY);
  if (parent_window.is()) {
    css::awt::Rectangle area = parent_window->getPosSize();
    Reference<css::awt::XUnitConversion> conversion(dialog_->getPeer(), UNO_QUERY_THROW);
    css::awt::Size parent_size = conversion->convertSizeToLogic(
        css::awt::Size(area.Width, area.Height), css::util::MeasureUnit::APPFONT);
    Set(dialog_props, "PositionX", std::max<sal_Int32>(0, (parent_size.Width - size.X) / 2));
    Set(dialog_props, "PositionY", std::max<sal_Int32>(0, (parent_size.Height - size.Y) / 3));
  }

  dialog_models_.set(dialog_props, UNO_QUERY_THROW);
  model_factory_.set(dialog_props, UNO_QUERY_THROW);
  container_.set(dialog_, UNO_QUERY_THROW);
  Reference<css::awt::XTopWindow> top(dialog_->getPeer(), UNO_QUERY);
  if (top.is()) {
    Reference<css::awt::XTopWindowListener> listener(new DialogListener(link_));
    top->addTopWindowListener(listener);
    listeners_.push_back(listener);
  }
  // Creation in tab order keeps the toolkit's own traversal the same.
  Pushing pushing(pushing_);
  for (Control* control : forms::InTabOrder(form_)) CreateControl(*control);
}

void FormWindow::CreateControl(Control& control) {
  Reference<css::beans::XPropertySet> props(model_factory_->createInstance(ModelService(control)),
                                            UNO_QUERY_THROW);
  NativeControl& native = natives_[control.name];
  native.model = &control;
  native.props = props;
  Set(props, "Name", ToUno(control.name));
  if (control.kind == ControlKind::kButton) {
    Set(props, "PushButtonType", static_cast<sal_Int16>(css::awt::PushButtonType_STANDARD));
  }
  if (control.kind == ControlKind::kLabel && !control.acts_as_link) Set(props, "MultiLine", true);
  // The toolkit picks a single- or multi-line field when the control is
  // made: these must be set before the model goes in.
  if (control.kind == ControlKind::kTextBox) {
    Set(props, "MultiLine", control.multiline);
    Set(props, "VScroll", control.vertical_scroll_bar);
  }
  if (control.kind == ControlKind::kDropDownList) {
    Set(props, "Dropdown", true);
    Set(props, "LineCount", static_cast<sal_Int16>(10));
  }
  if (control.kind == ControlKind::kPicture) {
    Set(props, "ScaleImage", true);
    Set(props, "Border", static_cast<sal_Int16>(0));
  }
  if (control.kind == ControlKind::kLine) {
    Set(props, "Orientation", static_cast<sal_Int32>(control.rect.height > control.rect.width ? 1 : 0));
  }
  if (control.kind == ControlKind::kGrid) {
    Set(props, "ShowRowHeader", false);
    Set(props, "ShowColumnHeader", true);
    Set(props, "HScroll", true);
    Set(props, "VScroll", true);
  }
  ApplyGeometry(native);
  dialog_models_->insertByName(ToUno(control.name), Any(props));
  native.control = container_->getControl(ToUno(control.name));

  auto* events = new ControlListener(link_, control.name);
  listeners_.push_back(Reference<css::uno::XInterface>(static_cast<cppu::OWeakObject*>(events)));
  Reference<css::awt::XActionListener> actions(events);
  Reference<css::awt::XItemListener> items(events);
  Reference<css::awt::XTextListener> texts(events);
  Reference<css::awt::XMouseListener> mouse(events);
  Reference<css::awt::XFocusListener> focus(events);
  Reference<css::awt::XWindow> window(native.control, UNO_QUERY);
  switch (control.kind) {
    case ControlKind::kButton:
      Reference<css::awt::XButton>(native.control, UNO_QUERY_THROW)->setActionCommand(ToUno(control.name));
      Reference<css::awt::XButton>(native.control, UNO_QUERY_THROW)->addActionListener(actions);
      break;
    case ControlKind::kCheckBox:
      Reference<css::awt::XCheckBox>(native.control, UNO_QUERY_THROW)->addItemListener(items);
      break;
    case ControlKind::kOptionButton:
      Reference<css::awt::XRadioButton>(native.control, UNO_QUERY_THROW)->addItemListener(items);
      break;
    case ControlKind::kDropDownList:
    case ControlKind::kListBox: {
      Reference<css::awt::XListBox> list(native.control, UNO_QUERY_THROW);
      list->addItemListener(items);
      list->addActionListener(actions);
      break;
    }
    case ControlKind::kTextBox:
      Reference<css::awt::XTextComponent>(native.control, UNO_QUERY_THROW)->addTextListener(texts);
      if (window.is()) window->addFocusListener(focus);
      break;
    case ControlKind::kLabel:
      if (control.acts_as_link) {
        Reference<css::awt::XFixedHyperlink>(native.control, UNO_QUERY_THROW)->addActionListener(actions);
      } else if (window.is()) {
        window->addMouseListener(mouse);
      }
      break;
    case ControlKind::kPicture:
      if (window.is()) window->addMouseListener(mouse);
      break;
    case ControlKind::kGrid: {
      Reference<css::accessibility::XAccessible> accessible(native.control->getPeer(), UNO_QUERY);
      if (accessible.is()) native.accessible = accessible->getAccessibleContext();
      break;
    }
    case ControlKind::kLine:
      break;
  }
  Apply(native, forms::kAspectAll);
}

void FormWindow::ApplyGeometry(NativeControl& native) {
  const forms::Rect& r = native.model->rect;
  css::awt::Point top_left = ToAppFont(r.left, r.top);
  css::awt::Point bottom_right = ToAppFont(r.left + r.width, r.top + r.height);
  Set(native.props, "PositionX", top_left.X);
  Set(native.props, "PositionY", top_left.Y);
  Set(native.props, "Width", std::max<sal_Int32>(1, bottom_right.X - top_left.X));
  Set(native.props, "Height", std::max<sal_Int32>(1, bottom_right.Y - top_left.Y));
}

void FormWindow::ApplyGrid(NativeControl& native) {
  const forms::GridModel& grid = native.model->grid;
  Reference<css::lang::XMultiComponentFactory> factory = context_->getServiceManager();
  Reference<css::awt::grid::XGridColumnModel> columns(
      factory->createInstanceWithContext("com.sun.star.awt.grid.DefaultGridColumnModel", context_),
      UNO_QUERY_THROW);
  for (int c = 0; c < grid.columns; ++c) {
    Reference<css::awt::grid::XGridColumn> column = columns->createColumn();
    if (!grid.rows.empty() && c < static_cast<int>(grid.rows[0].size())) {
      column->setTitle(ToUno(grid.rows[0][c]));
    }
    int width = c < static_cast<int>(grid.column_widths.size()) ? grid.column_widths[c] : 1440;
    column->setColumnWidth(ToAppFont(width, 0).X);
    column->setResizeable(true);
    columns->addColumn(column);
  }
  Reference<css::awt::grid::XMutableGridDataModel> data(
      factory->createInstanceWithContext("com.sun.star.awt.grid.DefaultGridDataModel", context_),
      UNO_QUERY_THROW);
  for (std::size_t r = 1; r < grid.rows.size(); ++r) {
    Sequence<Any> cells(grid.columns);
    for (int c = 0; c < grid.columns && c < static_cast<int>(grid.rows[r].size()); ++c) {
      cells.getArray()[c] <<= ToUno(grid.rows[r][c]);
    }
    data->addRow(Any(), cells);
  }
  Set(native.props, "ColumnModel", columns);
  Set(native.props, "GridDataModel", data);
  // The toolkit's grid has one height for every row: a model height is used
  // only when every data row has it (a taller first row stays default).
  std::vector<int> data_heights(grid.rows.size() > 1 ? grid.rows.size() - 1 : 0, 0);
  for (std::size_t r = 1; r < grid.row_heights.size() && r < grid.rows.size(); ++r) {
    data_heights[r - 1] = grid.row_heights[r];
  }
  bool one_height = !data_heights.empty() && data_heights.front() > 0 &&
                    std::all_of(data_heights.begin(), data_heights.end(),
                                [&](int h) { return h == data_heights.front(); });
  if (one_height) Set(native.props, "RowHeight", ToAppFont(0, data_heights.front()).Y);
}

void FormWindow::Apply(NativeControl& native, std::uint32_t aspects) {
  Control& c = *native.model;
  auto has = [aspects](forms::ControlAspect aspect) { return (aspects & aspect) != 0; };
  Reference<css::awt::XWindow> window(native.control, UNO_QUERY);

  if (has(forms::kAspectGeometry) && aspects != forms::kAspectAll) ApplyGeometry(native);
  if (has(forms::kAspectFont) && c.kind != ControlKind::kLine && c.kind != ControlKind::kPicture) {
    css::awt::FontDescriptor font;
    font.Name = ToUno(c.font.name);
    font.Height = static_cast<sal_Int16>(std::lround(std::floor(c.font.size_pt)));
    font.Weight = c.font.bold ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL;
    font.Slant = c.font.italic ? css::awt::FontSlant_ITALIC : css::awt::FontSlant_NONE;
    Set(native.props, "FontDescriptor", font);
  }
  if (has(forms::kAspectColors) && c.kind != ControlKind::kPicture && c.kind != ControlKind::kLine) {
    Set(native.props, "TextColor", ToUnoColor(c.fore_color));
    if (c.kind != ControlKind::kGrid) Set(native.props, "BackgroundColor", ToUnoColor(c.back_color));
  }
  if (has(forms::kAspectStyle)) {
    if (c.kind == ControlKind::kLabel) {
      Set(native.props, "Align", static_cast<sal_Int16>(c.alignment == forms::Alignment::kLeft ? 0
                                                        : c.alignment == forms::Alignment::kCenter ? 1 : 2));
    }
    if (c.kind == ControlKind::kCheckBox || c.kind == ControlKind::kOptionButton) {
      // The office puts the caption at the top of a box taller than one
      // line; Windows centres it beside the box, as the forms are drawn.
      Set(native.props, "VerticalAlign", css::style::VerticalAlignment_MIDDLE);
    }
    if (c.kind == ControlKind::kTextBox) {
      Set(native.props, "MultiLine", c.multiline);
      Set(native.props, "VScroll", c.vertical_scroll_bar);
      Set(native.props, "MaxTextLen", static_cast<sal_Int16>(std::min(c.max_length, 32767)));
      sal_Int16 echo = 0;
      if (!c.password_char.empty()) echo = static_cast<sal_Int16>(ToUno(c.password_char)[0]);
      Set(native.props, "EchoChar", echo);
    }
    if (c.kind == ControlKind::kPicture && !c.picture.empty()) {
      Set(native.props, "ImageURL", ToUno(kImageFolder + c.picture + ".png"));
    }
    if (c.kind != ControlKind::kLine) Set(native.props, "HelpText", ToUno(c.tooltip));
    // The office's grid crashes in its accessibility code when it loses the
    // focus while an assistive tool has looked at it: it never takes focus
    // by itself (a click still gives it the focus).
    bool stops = c.tab_index >= 0 && c.kind != ControlKind::kLabel && c.kind != ControlKind::kPicture &&
                 c.kind != ControlKind::kLine && c.kind != ControlKind::kGrid;
    Set(native.props, "Tabstop", stops);
    if (c.tab_index >= 0) Set(native.props, "TabIndex", static_cast<sal_Int16>(c.tab_index));
  }
  if (has(forms::kAspectText) && HasText(c.kind)) {
    if (HasCaption(c.kind)) {
      Set(native.props, "Label", ToUno(c.text));
    } else if (c.kind == ControlKind::kTextBox) {
      Reference<css::awt::XTextComponent> edit(native.control, UNO_QUERY_THROW);
      rtl::OUString wanted = ToEditText(c.text);
      if (edit->getText() != wanted) edit->setText(wanted);
    }
  }
  if (has(forms::kAspectItems) && (c.kind == ControlKind::kDropDownList || c.kind == ControlKind::kListBox)) {
    Sequence<rtl::OUString> items(static_cast<sal_Int32>(c.items.size()));
    for (std::size_t i = 0; i < c.items.size(); ++i) items.getArray()[i] = ToUno(c.items[i]);
    Set(native.props, "StringItemList", items);
    aspects |= forms::kAspectSelectedItem;
  }
  if ((aspects & forms::kAspectSelectedItem) != 0 &&
      (c.kind == ControlKind::kDropDownList || c.kind == ControlKind::kListBox)) {
    Sequence<sal_Int16> selected;
    if (c.selected_index >= 0 && c.selected_index < static_cast<int>(c.items.size())) {
      selected = Sequence<sal_Int16>(1);
      selected.getArray()[0] = static_cast<sal_Int16>(c.selected_index);
    }
    Set(native.props, "SelectedItems", selected);
  }
  if (has(forms::kAspectChecked) &&
      (c.kind == ControlKind::kCheckBox || c.kind == ControlKind::kOptionButton)) {
    Set(native.props, "State", static_cast<sal_Int16>(c.checked ? 1 : 0));
  }
  if (has(forms::kAspectGrid) && c.kind == ControlKind::kGrid) ApplyGrid(native);
  if (has(forms::kAspectCaret) && c.kind == ControlKind::kTextBox) {
    Reference<css::awt::XTextComponent> edit(native.control, UNO_QUERY_THROW);
    css::awt::Selection wanted(EditOffset(c.text, c.selection_start),
                               EditOffset(c.text, c.selection_start + c.selection_length));
    css::awt::Selection now = edit->getSelection();
    if (now.Min != wanted.Min || now.Max != wanted.Max) edit->setSelection(wanted);
  }
  if (has(forms::kAspectEnabled)) Set(native.props, "Enabled", c.enabled);
  if (has(forms::kAspectVisible) && window.is()) window->setVisible(c.visible);
}

void FormWindow::ApplyFocus() {
  auto found = natives_.find(form_.focused_control());
  if (found == natives_.end()) return;
  Reference<css::awt::XWindow> window(found->second.control, UNO_QUERY);
  if (window.is() && shown_) window->setFocus();
}

void FormWindow::Sync() {
  if (closed_ || !form_.loaded()) return;
  forms::FormUpdate update = sync_.TakeUpdate(form_);
  if (update.empty()) return;
  Pushing pushing(pushing_);
  if (update.rebuilt || !dialog_.is()) {
    if (!dialog_.is() || update.rebuilt) {
      bool was_shown = shown_;
      Build();
      if (was_shown) Reference<css::awt::XWindow>(dialog_, UNO_QUERY_THROW)->setVisible(true);
    }
    ApplyFocus();
    return;
  }
  if (update.caption) {
    Reference<css::beans::XPropertySet> dialog_props(dialog_->getModel(), UNO_QUERY_THROW);
    Set(dialog_props, "Title", ToUno(form_.caption()));
    Set(dialog_props, "BackgroundColor", ToUnoColor(form_.back_color()));
  }
  for (const forms::ControlUpdate& changed : update.controls) {
    auto found = natives_.find(changed.control->name);
    if (found != natives_.end()) Apply(found->second, changed.aspects);
  }
  if (update.focus) ApplyFocus();
}

void FormWindow::Show() {
  if (closed_) return;
  if (!dialog_.is()) sync_.Forget();
  Sync();
  if (!dialog_.is()) return;
  shown_ = true;
  Reference<css::awt::XWindow> window(dialog_, UNO_QUERY_THROW);
  window->setVisible(true);
  Reference<css::awt::XTopWindow> top(dialog_->getPeer(), UNO_QUERY);
  if (top.is()) top->toFront();
  ApplyFocus();
}

void FormWindow::Hide() {
  shown_ = false;
  if (dialog_.is()) Reference<css::awt::XWindow>(dialog_, UNO_QUERY_THROW)->setVisible(false);
}

void FormWindow::Close() {
  if (closed_) return;
  Hide();
  closed_ = true;
  link_->window = nullptr;
  sync_.Forget();
  natives_.clear();
  Reference<css::awt::XControl> dialog = dialog_;
  dialog_.clear();
  dialog_models_.clear();
  model_factory_.clear();
  container_.clear();
  listeners_.clear();
  // Often called from inside one of this dialog's own listeners.
  if (dialog.is()) {
    host_.Later([dialog] {
      Reference<css::lang::XComponent> component(dialog, UNO_QUERY);
      if (component.is()) component->dispose();
    });
  }
}

void FormWindow::Dispose() {
  natives_.clear();
  listeners_.clear();
  if (dialog_.is()) {
    Reference<css::lang::XComponent> component(dialog_, UNO_QUERY);
    dialog_.clear();
    try {
      if (component.is()) component->dispose();
    } catch (...) {
    }
  }
  dialog_models_.clear();
  model_factory_.clear();
  container_.clear();
}

void FormWindow::HarvestViewState() {
  for (auto& [name, native] : natives_) {
    Control& c = *native.model;
    if (c.kind != ControlKind::kTextBox) continue;
    Reference<css::awt::XTextComponent> edit(native.control, UNO_QUERY);
    if (!edit.is()) continue;
    std::string text = FromEditText(edit->getText());
    if (text != c.text) form_.SetText(name, text);
    if (!form_.loaded()) return;
    css::awt::Selection selection = edit->getSelection();
    sal_Int32 low = std::min(selection.Min, selection.Max);
    sal_Int32 high = std::max(selection.Min, selection.Max);
    c.selection_start = ModelOffset(c.text, low);
    c.selection_length = ModelOffset(c.text, high) - c.selection_start;
  }
  if (!focused_text_box_.empty() && natives_.count(focused_text_box_) != 0 &&
      form_.focused_control() != focused_text_box_) {
    form_.SetFocus(focused_text_box_);
  }
}

template <typename Event>
void FormWindow::Forward(Event event) {
  if (pushing_ > 0 || closed_ || !forms::AcceptsEvents(form_)) return;
  HarvestViewState();
  if (!closed_ && forms::AcceptsEvents(form_)) event();
  host_.SyncAll();
}

void FormWindow::OnAction(const std::string& name) {
  auto found = natives_.find(name);
  if (found == natives_.end()) return;
  ControlKind kind = found->second.model->kind;
  if (kind == ControlKind::kDropDownList) return;  // a selection: the item listener has it
  if (kind == ControlKind::kListBox) {
    Forward([&] { form_.DoubleClick(name); });
  } else {
    Forward([&] { form_.Click(name); });
  }
}

void FormWindow::OnItemState(const std::string& name, sal_Int32 selected) {
  auto found = natives_.find(name);
  if (found == natives_.end()) return;
  ControlKind kind = found->second.model->kind;
  if (kind == ControlKind::kCheckBox || kind == ControlKind::kOptionButton) {
    // The toolkit turns a radio button off when another goes on: only the
    // one going on is a click. It may also report one change of a check box
    // twice (an accessible press does): only a state the model does not
    // have yet is a click, or the second report would take the tick away.
    const bool now_checked = selected != 0;
    if ((kind == ControlKind::kOptionButton && found->second.model->checked) ||
        (kind == ControlKind::kCheckBox && found->second.model->checked == now_checked)) {
      Forward([] {});
      return;
    }
    Forward([&] { form_.Click(name); });
  } else {
    Forward([&] { form_.SelectItem(name, selected); });
  }
}

void FormWindow::OnTextChanged() {
  Forward([] {});
}

void FormWindow::OnMouseClick(const std::string& name, sal_Int32 click_count) {
  Forward([&] {
    if (click_count >= 2) {
      form_.DoubleClick(name);
    } else {
      form_.Click(name);
    }
  });
}

void FormWindow::OnFocus(const std::string& name, bool gained) {
  if (gained) {
    focused_text_box_ = name;
  } else if (focused_text_box_ == name) {
    focused_text_box_.clear();
  }
}

void FormWindow::OnCloseRequest() {
  Forward([&] { form_.CloseWindow(); });
}

std::string FormWindow::TextBoxWithKey(const css::awt::KeyEvent& event) const {
  Reference<css::uno::XInterface> source(event.Source, UNO_QUERY);
  for (const auto& [name, native] : natives_) {
    if (native.model->kind != ControlKind::kTextBox || !native.control.is()) continue;
    Reference<css::uno::XInterface> peer(native.control->getPeer(), UNO_QUERY);
    if (peer.is() && peer == source) return name;
  }
  // A multi-line box types into an inner window of its own; its focus
  // events still say which box has the keyboard.
  return focused_text_box_;
}

FormWindow::KeyOutcome FormWindow::OnKey(const css::awt::KeyEvent& event, bool pressed) {
  if (pushing_ > 0 || closed_ || !forms::AcceptsEvents(form_)) return KeyOutcome::kNotOurs;
  std::string name = TextBoxWithKey(event);
  if (name.empty()) return KeyOutcome::kNotOurs;
  bool refused = false;
  Forward([&] {
    const int shift = ShiftMask(event);
    forms::KeyCode code = KeyDownCode(event);
    if (!pressed) {
      form_.KeyUp(name, code, shift);
      return;
    }
    form_.KeyDown(name, code, shift);
    forms::KeyCode character = KeyPressCode(event);
    if (character != 0 && form_.loaded()) {
      form_.KeyPress(name, character);
      refused = character == 0;
    }
  });
  return refused ? KeyOutcome::kRefused : KeyOutcome::kAccepted;
}

}  // namespace pelorin::calc
