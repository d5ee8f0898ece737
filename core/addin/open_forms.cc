#include "core/addin/open_forms.h"

#include <algorithm>

#include "core/forms/form.h"

namespace pelorin {

OpenForms::~OpenForms() {
  for (auto& form : forms_) {
    try {
      form->Unload();
    } catch (...) {
    }
  }
}

void OpenForms::DropUnloaded() {
  std::erase_if(forms_, [](const std::shared_ptr<forms::Form>& form) { return !form->loaded(); });
}

void OpenForms::Keep(std::shared_ptr<forms::Form> form) {
  DropUnloaded();
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) {
    forms_.push_back(std::move(form));
  }
}

}  // namespace pelorin
