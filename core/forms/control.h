// One control of a form model: what a host needs to render it, and the
// handlers its events run. Geometry is in twips.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelorin::forms {

enum class ControlKind {
  kLabel,
  kTextBox,
  kButton,
  kCheckBox,
  kOptionButton,
  kDropDownList,
  kListBox,
  kPicture,
  kLine,
  kGrid,
};

enum class Alignment { kLeft, kCenter, kRight };

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kNavy{0, 0, 128};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kDialogGrey{224, 224, 224};
inline constexpr Rgb kLineGrey{128, 128, 128};

struct Font {
  std::string name = "Verdana";
  double size_pt = 8.25;
  bool bold = false;
  bool italic = false;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The cells of a grid control; row 0 is the fixed header row.
struct GridModel {
  int columns = 0;
  std::vector<std::vector<std::string>> rows;
  std::vector<int> column_widths;  // twips, one per column
  std::vector<int> row_heights;    // twips, one per row; 0 means the default
  bool word_wrap = false;

  void SetCell(int row, int column, std::string text);
  // Appends a row given as its cells' texts joined by tab characters.
  void AddItem(const std::string& tab_separated);
};

// A key code as a text box's key events deliver it; a handler refuses the key
// by setting it to 0.
using KeyCode = std::int16_t;
using KeyPressHandler = std::function<void(KeyCode& key_ascii)>;
using KeyUpDownHandler = std::function<void(KeyCode& key_code, int shift)>;

struct Control {
  std::string name;
  ControlKind kind = ControlKind::kLabel;
  std::string text;  // the caption, or a text box's content
  Rect rect;
  Font font;
  Rgb fore_color = kBlack;
  Rgb back_color = kDialogGrey;
  Alignment alignment = Alignment::kLeft;
  bool visible = true;
  bool enabled = true;
  int tab_index = -1;
  int max_length = 0;  // characters; 0 means no limit
  std::string password_char;
  bool multiline = false;
  bool vertical_scroll_bar = false;
  bool auto_size = false;
  bool acts_as_link = false;
  std::string tooltip;
  std::string picture;  // the name of a picture resource

  std::vector<std::string> items;
  int selected_index = -1;
  bool checked = false;  // a check box's value, an option button's selection

  // The caret position and selection length in characters (text boxes).
  int selection_start = 0;
  int selection_length = 0;

  GridModel grid;

  std::function<void()> on_click;
  std::function<void()> on_double_click;
  std::function<void()> on_change;
  KeyPressHandler on_key_press;
  KeyUpDownHandler on_key_down;
  KeyUpDownHandler on_key_up;

  // The text of the selected item, or the empty text when none is selected.
  std::string SelectedItem() const;
  void ClearItems();
  void AddItem(std::string item) { items.push_back(std::move(item)); }
};

}  // namespace pelorin::forms
