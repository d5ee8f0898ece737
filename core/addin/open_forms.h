// Keeps a dialog alive while it is loaded, after whoever opened it has let it
// go: the host still renders a non-modal dialog and forwards its events.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace pelorin {

namespace forms {
class Form;
}

class OpenForms {
 public:
  OpenForms() = default;
  // Unloads every dialog still loaded, so that no host window outlives its model.
  ~OpenForms();
  OpenForms(const OpenForms&) = delete;
  OpenForms& operator=(const OpenForms&) = delete;

  // Keeps `form` (once) and lets go of the dialogs unloaded since the last call.
  void Keep(std::shared_ptr<forms::Form> form);
  // How many dialogs are kept.
  std::size_t size() const { return forms_.size(); }

 private:
  void DropUnloaded();

  std::vector<std::shared_ptr<forms::Form>> forms_;
};

}  // namespace pelorin
