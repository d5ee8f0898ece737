#include "core/forms/form_sync.h"

#include <algorithm>

#include "core/forms/form.h"

namespace pelorin::forms {

namespace {

bool SameGrid(const GridModel& a, const GridModel& b) {
  return a.columns == b.columns && a.rows == b.rows && a.column_widths == b.column_widths &&
         a.row_heights == b.row_heights && a.word_wrap == b.word_wrap;
}

bool SameFont(const Font& a, const Font& b) {
  return a.name == b.name && a.size_pt == b.size_pt && a.bold == b.bold && a.italic == b.italic;
}

bool SameGeometry(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

bool SameStyle(const Control& a, const Control& b) {
  return a.alignment == b.alignment && a.max_length == b.max_length &&
         a.password_char == b.password_char && a.multiline == b.multiline &&
         a.vertical_scroll_bar == b.vertical_scroll_bar && a.auto_size == b.auto_size &&
         a.acts_as_link == b.acts_as_link && a.tooltip == b.tooltip && a.picture == b.picture &&
         a.tab_index == b.tab_index;
}

std::uint32_t ChangedAspects(const Control& was, const Control& is) {
  std::uint32_t aspects = 0;
  auto mark = [&aspects](bool same, ControlAspect aspect) {
    if (!same) aspects |= aspect;
  };
  mark(was.text == is.text, kAspectText);
  mark(SameGeometry(was.rect, is.rect), kAspectGeometry);
  mark(SameFont(was.font, is.font), kAspectFont);
  mark(was.fore_color == is.fore_color && was.back_color == is.back_color, kAspectColors);
  mark(was.visible == is.visible, kAspectVisible);
  mark(was.enabled == is.enabled, kAspectEnabled);
  mark(was.items == is.items, kAspectItems);
  mark(was.selected_index == is.selected_index, kAspectSelectedItem);
  mark(was.checked == is.checked, kAspectChecked);
  mark(SameGrid(was.grid, is.grid), kAspectGrid);
  mark(was.selection_start == is.selection_start && was.selection_length == is.selection_length,
       kAspectCaret);
  mark(SameStyle(was, is), kAspectStyle);
  return aspects;
}

// The control's fields without its handlers, which may hold the form itself.
Control RenderedState(const Control& control) {
  Control state = control;
  state.on_click = nullptr;
  state.on_double_click = nullptr;
  state.on_change = nullptr;
  state.on_key_press = nullptr;
  state.on_key_down = nullptr;
  state.on_key_up = nullptr;
  return state;
}


}  // namespace

FormUpdate FormSync::TakeUpdate(Form& form) {
  FormUpdate update;
  const auto& controls = form.controls();
  bool same_set = controls.size() == pushed_.size() &&
                  std::equal(controls.begin(), controls.end(), pushed_.begin(),
                             [](const auto& control, const Pushed& pushed) {
                               return control.get() == pushed.identity;
                             });
  if (!same_set) {
    update.rebuilt = true;
    pushed_.clear();
    for (const auto& control : controls) {
      pushed_.push_back({control.get(), RenderedState(*control)});
      update.controls.push_back({control.get(), kAspectAll});
    }
  } else {
    for (std::size_t i = 0; i < controls.size(); ++i) {
      std::uint32_t aspects = ChangedAspects(pushed_[i].state, *controls[i]);
      if (aspects == 0) continue;
      pushed_[i].state = RenderedState(*controls[i]);
      update.controls.push_back({controls[i].get(), aspects});
    }
  }

  update.caption = update.rebuilt || !have_form_state_ || caption_ != form.caption() ||
                   !(back_color_ == form.back_color());
  update.focus = update.rebuilt || !have_form_state_ || focused_control_ != form.focused_control();
  caption_ = form.caption();
  back_color_ = form.back_color();
  focused_control_ = form.focused_control();
  have_form_state_ = true;
  return update;
}

void FormSync::Forget() {
  pushed_.clear();
  have_form_state_ = false;
}

bool AcceptsEvents(const Form& form) { return form.loaded() && form.visible(); }

std::vector<Control*> InTabOrder(const Form& form) {
  std::vector<Control*> ordered;
  for (const auto& control : form.controls()) ordered.push_back(control.get());
  std::stable_sort(ordered.begin(), ordered.end(), [](const Control* a, const Control* b) {
    bool a_listed = a->tab_index >= 0;
    bool b_listed = b->tab_index >= 0;
    if (a_listed != b_listed) return a_listed;
    return a_listed && a->tab_index < b->tab_index;
  });
  return ordered;
}

}  // namespace pelorin::forms
