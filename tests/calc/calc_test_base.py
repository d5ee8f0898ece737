"""What the Calc extension's tests share: the built programs, the office
and the provider, and reading the "Pelorin" menu's state the way Calc's
menu reads it (a status listener on each command's dispatch)."""
import os
import subprocess
import unittest

import unohelper
from com.sun.star.frame import XStatusListener
from com.sun.star.util import URL

from office import PROTOCOL, Office, Provider, wait_for

OXT = os.environ["PELORIN_OXT"]
CLI = os.environ["PELORIN_CLI"]
PROVIDER = os.environ["PELORIN_PROVIDER"]

# The menu as a Calc user sees it: (command, caption, enabled?, visible?)
# while nobody is logged in.
COMMANDS = [
    ("Login", "Login"),
    ("SendTextMessage", "Send Text Message"),
    ("CreditBalance", "Credit Balance"),
    ("ProxySettings", "Proxy Settings"),
    ("PacketSizeSettings", "Packet Size Settings"),
    ("ContactUs", "Contact Us"),
    ("Help", "Help"),
    ("UserDemo", "User Demo"),
    ("Logout", "Logout"),
]


class StateRecorder(unohelper.Base, XStatusListener):
    def __init__(self):
        self.states = {}

    def statusChanged(self, event):
        visible = getattr(event.State, "bVisible", None)
        self.states[event.FeatureURL.Complete] = (event.IsEnabled, visible)

    def disposing(self, source):
        pass


class MenuStates:
    """Listens to every command's state on a document's frame."""

    def __init__(self, office, document):
        self.recorder = StateRecorder()
        frame = document.getCurrentController().getFrame()
        parser = office.create("com.sun.star.util.URLTransformer")
        self.dispatches = []
        for command, _ in COMMANDS:
            url = URL()
            url.Complete = PROTOCOL + command
            _, url = parser.parseStrict(url)
            dispatch = frame.queryDispatch(url, "", 0)
            if dispatch is None:
                raise AssertionError("no dispatch for " + url.Complete)
            dispatch.addStatusListener(self.recorder, url)
            self.dispatches.append((dispatch, url))

    def current(self):
        return {url[len(PROTOCOL):]: state for url, state in self.recorder.states.items()}

    def wait_until(self, expected, timeout=20):
        """Waits until the states are `expected`: {command: (enabled, visible)}."""
        def matches():
            now = self.current()
            return all(now.get(c) == s for c, s in expected.items())
        try:
            wait_for(matches, timeout=timeout, what="menu states")
        except AssertionError:
            raise AssertionError("menu states %s, wanted %s" % (self.current(), expected))

    def close(self):
        for dispatch, url in self.dispatches:
            dispatch.removeStatusListener(self.recorder, url)


def logged_out_states():
    states = {c: (True, True) for c, _ in COMMANDS}
    states["UserDemo"] = (True, False)
    states["Logout"] = (False, True)
    return states


def logged_in_states():
    states = logged_out_states()
    states["Login"] = (False, True)
    states["Logout"] = (True, True)
    return states


class CalcTestCase(unittest.TestCase):
    display = None

    @classmethod
    def setUpClass(cls):
        cls.office = Office(OXT, display=cls.display)
        cls.provider = Provider(PROVIDER, cls.office.dir)
        try:
            cls.office.install()
            cls.provider.add_account("--id", "demo", "--password", "demo-pass", "--credits", "500000",
                                     "--dnd", "50", "--senders", "PELRIN,PELDEM", "--sender-reply",
                                     "list")
            cls.provider.start()
            cls.cli("host", cls.provider.host)
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.provider.stop()
        cls.office.close()

    @classmethod
    def cli(cls, *args, stdin=None, check=True):
        """The command line over the office's settings."""
        done = subprocess.run([CLI] + list(args), env=cls.office.settings_env(), input=stdin,
                              capture_output=True, text=True, timeout=60)
        cls.office.give_back()
        if check and done.returncode != 0:
            raise AssertionError("pelorin %s: %s%s" % (" ".join(args), done.stdout, done.stderr))
        return done

    @classmethod
    def cli_menu(cls):
        """The command line's view of Login and Logout: {caption: enabled}."""
        lines = cls.cli("menu").stdout.splitlines()
        states = {}
        for line in lines:
            parts = line.strip().split("\t")
            if len(parts) == 3:
                states[parts[0]] = parts[1] == "enabled"
        return states
