"""The Calc extension in a headless office: it installs, the "Pelorin" menu
has the nine commands with their states, the states follow the login stored
by the command line, Logout works, and the exit question keeps the login
when it is not answered Yes (a headless office answers nothing)."""
import os
import subprocess
import unittest

from calc_test_base import (COMMANDS, CalcTestCase, MenuStates, logged_in_states,
                            logged_out_states)
from office import wait_for


class HeadlessCalcTest(CalcTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        try:
            # Logged in by the command line before Calc starts.
            cls.cli("login", "--id", "demo", "--password-stdin", stdin="demo-pass\n")
            cls.extensions = cls.office.list_extensions()
            cls.office.start()
        except BaseException:
            cls.tearDownClass()
            raise

    def test_1_sheet_reader(self):
        env = dict(os.environ, PELORIN_OFFICE_PORT=str(self.office.port),
                   URE_BOOTSTRAP="vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc")
        done = subprocess.run([os.environ["PELORIN_SHEET_READ_TEST"]], env=env, capture_output=True,
                              text=True, timeout=120)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)

    def test_2_menu_login_logout_and_exit(self):
        office = self.office
        self.assertIn("org.pelorin.calc", self.extensions)
        document = office.new_sheet()
        menu = MenuStates(office, document)

        with self.subTest("the menu's entries, in order"):
            config = office.create("com.sun.star.configuration.ConfigurationProvider")
            from office import props
            access = config.createInstanceWithArguments(
                "com.sun.star.configuration.ConfigurationAccess",
                props(nodepath="/org.openoffice.Office.Addons/AddonUI/OfficeMenuBar"))
            pelorin = access.getByName("org.pelorin.calc.menu")
            self.assertEqual(pelorin.Title, "Pelorin")
            submenu = pelorin.Submenu
            entries = [submenu.getByName(n) for n in sorted(submenu.ElementNames)]
            self.assertEqual([e.Title for e in entries], [caption for _, caption in COMMANDS])
            self.assertEqual([e.URL for e in entries],
                             ["vnd.pelorin.calc:" + command for command, _ in COMMANDS])

        with self.subTest("a stored login shows Logout, not Login"):
            menu.wait_until(logged_in_states())

        with self.subTest("Logout forgets the login the command line sees too"):
            office.dispatch(document, "Logout")
            menu.wait_until(logged_out_states())
            wait_for(lambda: self.cli_menu().get("Login") is True, what="the command line's Login")
            self.assertFalse(self.cli_menu()["Logout"])

        # Logged in again from the command line while Calc runs: closing Calc
        # asks the exit question, which a headless office leaves unanswered.
        self.cli("login", "--id", "demo", "--password-stdin", stdin="demo-pass\n")
        menu.close()
        self.assertEqual(office.terminate(), 0)
        self.assertTrue(self.cli_menu()["Logout"], "an unanswered exit question kept the login")


if __name__ == "__main__":
    unittest.main()
