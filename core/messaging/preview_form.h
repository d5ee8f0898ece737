// The preview window frmPreview: up to 50 rows of mobile numbers and their
// merged messages in a two-column grid, and how the grid is filled.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/forms/form.h"
#include "core/messaging/send_validation.h"

namespace pelorin {

class UserInterface;
class Worksheet;

inline constexpr int kPreviewRowCap = 50;

class frmPreview : public forms::Form {
 public:
  explicit frmPreview(UserInterface& ui);

  forms::GridModel& grid() { return control("dgPreview").grid; }

 protected:
  void BuildControls() override;
  void OnLoad() override;
};

// The message of one row, merged from the template as a send merges it.
using RowMessageMerge =
    std::function<std::string(const Worksheet& sheet, std::string_view message_template, std::int64_t row)>;

enum class PreviewFill {
  kListed,
  kInvalidMultipleRange,  // an item is not "first-last"; the window must not be shown
};

// What a fill needs besides the request: the rows, the merge, and the
// hidden label that sizes itself to a text (the send dialog's lblWIDTH).
struct PreviewSources {
  const Worksheet& sheet;
  const RowMessageMerge& merge;
  forms::Control& measuring_label;
  UserInterface& ui;
};

// Writes the header, then appends one grid row per row with a non-empty
// mobile cell, up to 50 in all, widening the message column for the longest
// message. Throws when a cell is refused or a bound is not a row number.
PreviewFill FillPreview(frmPreview& preview, const PreviewRequest& request, const PreviewSources& sources);

}  // namespace pelorin
