// CGlobal's dialogs: which are kept, which are made anew, and that they stay
// on screen after the CGlobal that opened them is gone.
#include "core/addin/global.h"

#include <gmock/gmock.h>

#include "core/addin/open_forms.h"
#include "core/dialogs/proxy_form.h"
#include "core/login/login_form.h"
#include "core/messaging/send_form.h"
#include "tests/support/fakes/test_addin.h"

namespace pelorin::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// One of the three dialogs a CGlobal keeps.
struct KeptDialog {
  const char* name;
  void (CGlobal::*show)();
  void (CGlobal::*hide)();
  forms::Form* (*held)(const CGlobal&);
};

const KeptDialog kKeptDialogs[] = {
    {"frmLogin", &CGlobal::LoginShow, &CGlobal::LoginHide,
     [](const CGlobal& g) -> forms::Form* { return g.login_dialog(); }},
    {"frmProxySettings", &CGlobal::ProxyShow, &CGlobal::ProxyHide,
     [](const CGlobal& g) -> forms::Form* { return g.proxy_dialog(); }},
    {"frmSendSMS", &CGlobal::SendSMSShow, &CGlobal::SendSMSHide,
     [](const CGlobal& g) -> forms::Form* { return g.send_dialog(); }},
};

void PrintTo(const KeptDialog& dialog, std::ostream* out) { *out << dialog.name; }

class KeptDialogTest : public ::testing::TestWithParam<KeptDialog> {
 protected:
  void Show(CGlobal& g) { (g.*GetParam().show)(); }
  void Hide(CGlobal& g) { (g.*GetParam().hide)(); }
  forms::Form* Held(const CGlobal& g) { return GetParam().held(g); }
  std::string Event(const char* what) { return std::string(what) + " " + GetParam().name; }

  TestAddin addin;
  OpenForms open_forms;
};

TEST_P(KeptDialogTest, ShowCreatesOnceAndShowsTheSameDialogAgain) {
  CGlobal global(addin.context, open_forms);
  EXPECT_EQ(Held(global), nullptr);
  Show(global);
  forms::Form* first = Held(global);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(addin.ui.last_shown, first);
  EXPECT_TRUE(first->visible());

  Hide(global);
  EXPECT_FALSE(first->visible());
  EXPECT_THAT(addin.ui.events, Contains(Event("hidden")));
  Show(global);
  EXPECT_EQ(Held(global), first);
  EXPECT_EQ(addin.ui.last_shown, first);
}

TEST_P(KeptDialogTest, HideFirstCreatesTheDialogThatShowThenUses) {
  CGlobal global(addin.context, open_forms);
  Hide(global);
  forms::Form* created = Held(global);
  ASSERT_NE(created, nullptr);
  EXPECT_FALSE(created->visible());
  Show(global);
  EXPECT_EQ(addin.ui.last_shown, created);
}

TEST_P(KeptDialogTest, EachCGlobalHasItsOwnDialog) {
  CGlobal one(addin.context, open_forms);
  CGlobal two(addin.context, open_forms);
  Show(one);
  Show(two);
  EXPECT_NE(Held(one), Held(two));
}

TEST_P(KeptDialogTest, AShownDialogOutlivesItsCGlobalUntilTheKeeperGoes) {
  auto keeper = std::make_unique<OpenForms>();
  {
    CGlobal global(addin.context, *keeper);
    Show(global);
  }
  EXPECT_EQ(keeper->size(), 1u);
  EXPECT_TRUE(addin.ui.last_shown->visible());
  keeper.reset();
  EXPECT_THAT(addin.ui.events, Contains(Event("unloaded")));
}

INSTANTIATE_TEST_SUITE_P(Dialogs, KeptDialogTest, ::testing::ValuesIn(kKeptDialogs),
                         [](const auto& info) { return std::string(info.param.name); });

class PacketSizeDialogTest : public ::testing::Test {
 protected:
  TestAddin addin;
  OpenForms open_forms;
};

TEST_F(PacketSizeDialogTest, EveryShowOpensANewDialogThatStaysOpen) {
  {
    CGlobal global(addin.context, open_forms);
    global.PacketSizeShow();
    forms::Form* first = addin.ui.last_shown;
    global.PacketSizeShow();
    EXPECT_NE(addin.ui.last_shown, first);
  }
  EXPECT_EQ(open_forms.size(), 2u);
  EXPECT_EQ(std::count(addin.ui.events.begin(), addin.ui.events.end(), "shown frmPacketSize"), 2);
}

TEST_F(PacketSizeDialogTest, HideNeverHidesADialogThatShowOpened) {
  CGlobal global(addin.context, open_forms);
  global.PacketSizeShow();
  forms::Form* shown = addin.ui.last_shown;
  global.PacketSizeHide();
  EXPECT_TRUE(shown->visible());
  EXPECT_THAT(addin.ui.events, ElementsAre("shown frmPacketSize"));
}

TEST_F(PacketSizeDialogTest, AnUnloadedDialogIsLetGo) {
  CGlobal global(addin.context, open_forms);
  global.PacketSizeShow();
  addin.ui.last_shown->Unload();
  global.PacketSizeShow();
  EXPECT_EQ(open_forms.size(), 1u);
}

// A host whose windows cannot be shown.
class RefusingUserInterface : public FakeUserInterface {
 public:
  void FormShown(forms::Form&) override { throw std::runtime_error("cannot create window"); }
};

TEST(CGlobalFailureTest, ShowAndHideSwallowEveryError) {
  TestAddin addin;
  RefusingUserInterface ui;
  AddinContext context{ui, addin.settings, addin.service, addin.clock, addin.network, addin.browser,
                       &addin.application, nullptr};
  OpenForms open_forms;
  CGlobal global(context, open_forms);
  EXPECT_NO_THROW({
    global.LoginShow();
    global.LoginHide();
    global.ProxyShow();
    global.ProxyHide();
    global.PacketSizeShow();
    global.PacketSizeHide();
    global.SendSMSShow();
    global.SendSMSHide();
  });
}

}  // namespace
}  // namespace pelorin::testing
