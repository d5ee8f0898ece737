#include "core/forms/form_sync.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/forms/control_builders.h"
#include "core/forms/form.h"
#include "tests/support/fakes/fake_user_interface.h"

namespace pelorin::forms {
namespace {

// A form whose button changes other controls the way dialogs' handlers do:
// by writing their fields.
class SampleForm : public Form {
 public:
  explicit SampleForm(UserInterface& ui) : Form(ui, "frmSample", "Sample", 4000, 3000) {}

 protected:
  void BuildControls() override {
    AddControl(MakeControl("lblInfo", ControlKind::kLabel, "Ready", {}));
    Control button = Button("cmdGo", "Go", {}, 2);
    button.on_click = [this] {
      control("lblInfo").text = "Done";
      control("lblInfo").visible = false;
    };
    AddControl(button);
    Control first = MakeControl("optOne", ControlKind::kOptionButton, "One", {});
    first.tab_index = 1;
    first.checked = true;
    AddControl(first);
    Control second = MakeControl("optTwo", ControlKind::kOptionButton, "Two", {});
    second.tab_index = 0;
    AddControl(second);
    Control close = Button("cmdClose", "Close", {}, 2);
    close.on_click = [this] { Unload(); };
    AddControl(close);
  }
};

class FormSyncTest : public ::testing::Test {
 protected:
  // The names of the updated controls with their aspects.
  std::vector<std::pair<std::string, std::uint32_t>> Changes() {
    std::vector<std::pair<std::string, std::uint32_t>> changes;
    for (const ControlUpdate& update : sync_.TakeUpdate(form_).controls) {
      changes.emplace_back(update.control->name, update.aspects);
    }
    return changes;
  }

  testing::FakeUserInterface ui_;
  SampleForm form_{ui_};
  FormSync sync_;
};

TEST_F(FormSyncTest, FirstUpdateRebuildsEveryControlThenNothingIsLeft) {
  form_.Show();
  FormUpdate first = sync_.TakeUpdate(form_);
  EXPECT_TRUE(first.rebuilt);
  EXPECT_TRUE(first.caption);
  ASSERT_EQ(first.controls.size(), form_.controls().size());
  for (const ControlUpdate& update : first.controls) EXPECT_EQ(update.aspects, kAspectAll);

  EXPECT_TRUE(sync_.TakeUpdate(form_).empty());
}

TEST_F(FormSyncTest, ReportsOnlyWhatAHandlerChanged) {
  form_.Show();
  sync_.TakeUpdate(form_);

  form_.Click("cmdGo");
  using Expected = std::vector<std::pair<std::string, std::uint32_t>>;
  EXPECT_EQ(Changes(), (Expected{{"lblInfo", kAspectText | kAspectVisible}}));

  form_.Click("optTwo");
  EXPECT_EQ(Changes(), (Expected{{"optOne", kAspectChecked}, {"optTwo", kAspectChecked}}));

  form_.SetFocus("cmdGo");
  FormUpdate focus = sync_.TakeUpdate(form_);
  EXPECT_TRUE(focus.focus);
  EXPECT_FALSE(focus.rebuilt);
  EXPECT_TRUE(focus.controls.empty());
}

TEST_F(FormSyncTest, ForgettingTheWindowRebuildsOnTheNextUpdate) {
  form_.Show();
  sync_.TakeUpdate(form_);
  form_.Unload();
  sync_.Forget();
  form_.Show();
  FormUpdate update = sync_.TakeUpdate(form_);
  EXPECT_TRUE(update.rebuilt);
  EXPECT_EQ(update.controls.size(), form_.controls().size());
  EXPECT_EQ(form_.control("lblInfo").text, "Ready");
}

TEST_F(FormSyncTest, EventsAreAcceptedOnlyWhileTheFormIsLoadedAndShown) {
  EXPECT_FALSE(AcceptsEvents(form_));
  form_.Show();
  EXPECT_TRUE(AcceptsEvents(form_));
  form_.Hide();
  EXPECT_FALSE(AcceptsEvents(form_));
  form_.Show();
  form_.Click("cmdClose");  // unloads its own form
  EXPECT_FALSE(AcceptsEvents(form_));
}

TEST_F(FormSyncTest, TabOrderPutsControlsWithoutAnIndexLastAndKeepsTies) {
  form_.Load();
  std::vector<std::string> names;
  for (const Control* control : InTabOrder(form_)) names.push_back(control->name);
  EXPECT_EQ(names, (std::vector<std::string>{"optTwo", "optOne", "cmdGo", "cmdClose", "lblInfo"}));
}

}  // namespace
}  // namespace pelorin::forms
