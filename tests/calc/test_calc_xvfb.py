"""The Calc extension as a person uses it, under Xvfb: log in through the
login dialog against pelorin-provider, set the packet size and the proxy
where the command line reads them, open Send Text Message over a workbook of
1,000 rows, type a template, preview 50 rows, send, and read the status
window; the provider stores exactly the merged rows. Then, in an office of
its own, Yes to the exit question forgets the login the command line sees."""
import os
import subprocess
import tempfile
import threading
import unittest

import uno

import a11y
from calc_test_base import CalcTestCase, MenuStates, logged_in_states, logged_out_states
from office import Display, wait_for
from workbook import contact, write_contacts

ROWS = 1000


class XvfbOfficeTest(CalcTestCase):
    """An office on an Xvfb display of its own, prepared by prepare_office."""

    @classmethod
    def setUpClass(cls):
        cls.screen = Display()
        cls.display = cls.screen.name
        try:
            super().setUpClass()
            cls.prepare_office()
        except Exception:
            cls.screen.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        try:
            super().tearDownClass()
        finally:
            cls.screen.stop()


class XvfbCalcTest(XvfbOfficeTest):
    @classmethod
    def prepare_office(cls):
        cls.office.start()
        folder = tempfile.mkdtemp(prefix="pelorin-book-")
        path = os.path.join(folder, "contacts.xlsx")
        write_contacts(path, ROWS)
        url = cls.office.share(path)
        cls.workbook = uno.fileUrlToSystemPath(url)
        cls.document = cls.office.load(url)
        os.remove(path)
        os.rmdir(folder)
        cls.menu = MenuStates(cls.office, cls.document)

    def tearDown(self):
        # What the screen showed when a step failed, for whoever reads the log.
        folder = os.environ.get("PELORIN_CALC_FAILURE_SHOTS")
        result = getattr(getattr(self, "_outcome", None), "result", None)
        failed = result is not None and any(test is self for test, _ in result.failures + result.errors)
        if folder and failed and self.screen.process is not None:
            os.makedirs(folder, exist_ok=True)
            self.screen.screenshot(os.path.join(folder, self.id().split(".")[-1] + ".png"))

    def answer_box(self, text, button):
        shown, box = a11y.message_box(self.office)
        self.assertIn(text, shown)
        a11y.press(box, "PUSH_BUTTON", button)
        wait_for(lambda: a11y.window_gone(self.office, "Pelorin"), what="the message box to close")

    def open(self, command, title):
        self.office.dispatch(self.document, command)
        _, dialog = a11y.find_window(self.office, title)
        return dialog

    def test_1_login_dialog(self):
        self.menu.wait_until(logged_out_states())
        dialog = self.open("Login", "LogIn")
        login_id, password = a11y.text_boxes(dialog)[:2]
        login_id.setText("demo")
        password.setText("demo-pass")
        a11y.press(dialog, "PUSH_BUTTON", "Login")
        self.answer_box("Welcome demo!", "OK")
        self.menu.wait_until(logged_in_states())
        self.assertTrue(self.cli_menu()["Logout"], "the command line shares the login")
        wait_for(lambda: a11y.window_gone(self.office, "LogIn"), what="the login dialog to close")

    def test_2_settings_dialogs_store_where_the_command_line_reads(self):
        dialog = self.open("PacketSizeSettings", "PacketSize Settings")
        box = a11y.text_boxes(dialog)[0]
        box.setText("")
        box.grabFocus()
        # The box refuses the letter: the key never reaches it.
        self.screen.type("12x50")
        wait_for(lambda: box.getText() == "1250", what="the packet size typed, without the x")
        a11y.press(dialog, "PUSH_BUTTON", "Submit")
        self.answer_box("Successfully Added Packet Size settings!!!", "OK")
        wait_for(lambda: "1250" in self.cli("packet-size").stdout, what="the stored packet size")

        dialog = self.open("ProxySettings", "Proxy Settings")
        boxes = a11y.text_boxes(dialog)
        for box, text in zip(boxes, ["10", "0", "0", "1", "3128"]):
            box.setText(text)
        a11y.press(dialog, "PUSH_BUTTON", "Add")
        self.answer_box("Successfully Added Proxy settings!!!", "OK")
        wait_for(lambda: "10.0.0.1" in self.cli("proxy", "show").stdout, what="the stored proxy")
        self.assertIn("3128", self.cli("proxy", "show").stdout)
        # The send below goes straight to the provider, in packets of 500.
        self.cli("proxy", "remove")
        self.cli("packet-size", "500")

    def test_3_send_from_the_open_workbook(self):
        dialog = self.open("SendTextMessage", "Send Text Message")
        boxes = a11y.text_boxes(dialog)
        message, start_row, end_row, counter = boxes[0], boxes[1], boxes[2], boxes[-1]
        message.click(self.screen)
        template = "Dear |B|, order |C|"
        self.screen.type(template)
        # The length counter follows every key the box receives.
        wait_for(lambda: counter.getText() == str(len(template)), what="the typed template's length")
        start_row.grabFocus()
        self.screen.type("2x")  # the row boxes take digits only
        wait_for(lambda: start_row.getText() == "2", what="the start row")
        end_row.setText(str(ROWS + 1))

        # A tick stays: the toolkit reports an accessible press twice.
        flash = a11y.named(dialog, "CHECK_BOX", "Flash Message")
        for ticked in (True, False):
            flash.doAccessibleAction(0)
            wait_for(lambda: a11y.checked(flash) == ticked, what="Flash Message ticked %s" % ticked)
            self.assertEqual(a11y.checked(flash), ticked)

        a11y.press(dialog, "PUSH_BUTTON", "Preview")
        _, preview = a11y.find_window(self.office, "Preview")
        table = next(c for c in a11y.walk(preview) if c.getAccessibleRole() == a11y.role("TABLE"))
        self.assertEqual(table.getAccessibleRowCount(), 50)
        a11y.press(preview, "PUSH_BUTTON", "Cancel")

        a11y.press(dialog, "PUSH_BUTTON", "Send SMS")
        _, status = a11y.find_window(self.office, "Status Window", timeout=60)
        # Close is enabled when the run has ended.
        close = a11y.named(status, "PUSH_BUTTON", "Close")
        wait_for(lambda: a11y.enabled(close), timeout=120, what="the end of the run")
        # What the user reads in the window: the run's start, each packet of
        # 500 rows, and its end.
        shown = a11y.text_boxes(status)[0]
        reference = ("Process started... (Range from 2 to %d)\n"
                     "Processed 500 record(s) out of selected %d\n"
                     "Processed 1000 record(s) out of selected %d\n"
                     "Process Completed..!!" % (ROWS + 1, ROWS, ROWS))
        try:
            wait_for(lambda: shown.shown_text().rstrip("\n") == reference, timeout=10,
                     what="the status text")
        except AssertionError:
            self.assertEqual(shown.shown_text().rstrip("\n"), reference)

        runs = self.provider.runs()
        self.assertEqual(len(runs), 1)
        records = runs[0]["records"]
        expected = [{"mobile": str(contact(r)[0]), "message": "Dear %s, order %s" % contact(r)[1:]}
                    for r in range(1, ROWS + 1)]
        self.assertEqual([{"mobile": r["mobile"], "message": r["message"]} for r in records], expected)
        # The run is journaled where the command line lists it: the document's
        # file and sheet, its rows, and both packets accepted.
        history = [line.split("\t") for line in self.cli("history").stdout.splitlines()[1:]]
        self.assertEqual(len(history), 1, history)
        self.assertEqual(history[0][2:], ["%s [Contacts]" % self.workbook, str(ROWS), "2/2",
                                          "completed"])
        a11y.press(status, "PUSH_BUTTON", "Close")
        wait_for(lambda: a11y.window_gone(self.office, "Status Window"), what="the status window to close")


class XvfbExitQuestionTest(XvfbOfficeTest):
    """Yes to the exit question forgets the login. An office of its own: one
    whose preview grid was read through accessibility, as above, crashes
    while it closes its windows (the office's grid accessibility)."""

    @classmethod
    def prepare_office(cls):
        cls.cli("login", "--id", "demo", "--password-stdin", stdin="demo-pass\n")
        cls.office.start()
        cls.document = cls.office.new_sheet()
        cls.menu = MenuStates(cls.office, cls.document)

    def x_windows(self, name):
        """The X windows titled `name` exactly."""
        found = subprocess.run(["xdotool", "search", "--name", "^%s$" % name],
                               env=dict(os.environ, DISPLAY=self.display), capture_output=True,
                               text=True, timeout=10)
        return found.stdout.split()

    def test_exit_question_yes_forgets_the_login(self):
        self.menu.wait_until(logged_in_states())
        self.menu.close()
        office_pid = self.office.process.pid
        # The question comes while the office shuts down, after it has let go
        # of the remote bridge: it is answered through its window, as a person
        # would, and the outcome read from the store once the office is gone.
        exit_codes = []
        closing = threading.Thread(target=lambda: exit_codes.append(self.office.terminate(timeout=60)))
        closing.start()
        try:
            question = wait_for(lambda: self.x_windows("Pelorin"), timeout=30,
                                what="the exit question's window")[0]
            self.screen.run("xdotool", "windowfocus", "--sync", question)
            self.screen.run("xdotool", "key", "--clearmodifiers", "alt+y")
        finally:
            closing.join(90)
        self.assertFalse(closing.is_alive(), "the office did not exit")
        with self.assertRaises(ProcessLookupError, msg="soffice %d still runs" % office_pid):
            os.kill(office_pid, 0)
        self.assertEqual(exit_codes, [0], "the office exited by itself after the answer")
        menu = self.cli_menu()
        self.assertFalse(menu["Logout"], "Yes forgot the stored login")
        self.assertTrue(menu["Login"])


if __name__ == "__main__":
    unittest.main()
