"""LibreOffice for the Calc extension's tests and screenshots.

Each Office has a folder of its own (profile, home, settings, session),
installs pelorin.oxt into its profile and runs soffice.bin as an
unprivileged user (unopkg refuses per-user installs as root), listening on
a free loopback port. Everything it started is stopped by PID.
"""
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue

PROGRAM = "/usr/lib/libreoffice/program"
USER_ID = 65534
PROTOCOL = "vnd.pelorin.calc:"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def props(**values):
    out = []
    for name, value in values.items():
        p = PropertyValue()
        p.Name, p.Value = name, value
        out.append(p)
    return tuple(out)


def end_process(process):
    """Ends a process this test started (None: nothing to end), by its PID."""
    if process is None:
        return
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def wait_for(check, timeout=20.0, step=0.1, what="condition"):
    """Polls `check` until it answers something true; fails after `timeout`."""
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(step)


class Office:
    def __init__(self, oxt, display=None):
        self.dir = tempfile.mkdtemp(prefix="pelorin-calc-")
        os.chmod(self.dir, 0o755)
        self.home = os.path.join(self.dir, "home")
        self.profile = os.path.join(self.dir, "profile")
        self.config = os.path.join(self.dir, "config")
        self.runtime = os.path.join(self.dir, "run")
        for folder in (self.home, self.runtime):
            os.makedirs(folder, mode=0o700)
        self.oxt = os.path.join(self.dir, "pelorin.oxt")
        shutil.copy(oxt, self.oxt)
        self.display = display
        self.env = {
            "HOME": self.home,
            "PATH": "/usr/bin:/bin",
            "LANG": "C.UTF-8",
            "XDG_CONFIG_HOME": self.config,
            "XDG_RUNTIME_DIR": self.runtime,
        }
        if display:
            self.env.update(DISPLAY=display, SAL_USE_VCLPLUGIN="gen")
        self.process = None
        self.port = None
        self.context = None
        self._chown()

    def _chown(self):
        for root, dirs, files in os.walk(self.dir):
            for name in dirs + files:
                os.lchown(os.path.join(root, name), USER_ID, USER_ID)
        os.lchown(self.dir, USER_ID, USER_ID)

    def _as_user(self, args):
        return ["setpriv", "--reuid=%d" % USER_ID, "--regid=%d" % USER_ID, "--clear-groups"] + args

    def _profile_arg(self):
        return "-env:UserInstallation=file://" + self.profile

    def run_as_user(self, args, **kwargs):
        return subprocess.run(self._as_user(args), env=self.env, cwd=self.dir, **kwargs)

    def install(self):
        """Makes the profile, then adds the extension (the other order leaves it inactive)."""
        self.run_as_user([PROGRAM + "/soffice.bin", "--headless", "--terminate_after_init",
                          self._profile_arg()], check=True, timeout=120,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        added = self.run_as_user([PROGRAM + "/unopkg", "add", self._profile_arg(), self.oxt],
                                 timeout=120, capture_output=True, text=True)
        if added.returncode != 0:
            raise RuntimeError("unopkg add failed: " + added.stdout + added.stderr)

    def list_extensions(self):
        listed = self.run_as_user([PROGRAM + "/unopkg", "list", self._profile_arg()],
                                  timeout=120, capture_output=True, text=True)
        return listed.stdout

    def start(self):
        self.port = free_port()
        args = [PROGRAM + "/soffice.bin", self._profile_arg(), "--norestore", "--nologo",
                "--nodefault", "--nolockcheck",
                "--accept=socket,host=127.0.0.1,port=%d;urp;" % self.port]
        if not self.display:
            args.insert(2, "--headless")
        self.log = open(os.path.join(self.dir, "soffice.log"), "w")
        self.process = subprocess.Popen(self._as_user(args), env=self.env, cwd=self.dir,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        url = "uno:socket,host=127.0.0.1,port=%d;urp;StarOffice.ComponentContext" % self.port
        deadline = time.monotonic() + 60
        while True:
            try:
                self.context = resolver.resolve(url)
                break
            except Exception:
                if self.process.poll() is not None or time.monotonic() > deadline:
                    raise RuntimeError("soffice did not come up (exit %s)" % self.process.poll())
                time.sleep(0.2)
        self.smgr = self.context.ServiceManager
        self.desktop = self.create("com.sun.star.frame.Desktop")
        return self

    def create(self, service):
        return self.smgr.createInstanceWithContext(service, self.context)

    def terminate(self, timeout=30):
        """Asks the office to close; kills it (by PID) when it does not."""
        if self.process is None:
            return None
        try:
            self.desktop.terminate()
        except Exception:
            pass  # the bridge goes down with the office
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.kill(self.process.pid, signal.SIGKILL)
            code = self.process.wait()
        self.process = None
        self.log.close()
        return code

    def close(self):
        if self.process is not None and self.process.poll() is None:
            os.kill(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self.process = None
        keep = os.environ.get("PELORIN_CALC_FAILURE_SHOTS")
        log = os.path.join(self.dir, "soffice.log")
        if keep and os.path.exists(log):
            os.makedirs(keep, exist_ok=True)
            shutil.copy(log, os.path.join(keep, os.path.basename(self.dir) + "-soffice.log"))
        shutil.rmtree(self.dir, ignore_errors=True)

    def share(self, path):
        """Copies a file into the office's folder, readable by it; answers its URL."""
        target = os.path.join(self.dir, os.path.basename(path))
        shutil.copy(path, target)
        os.lchown(target, USER_ID, USER_ID)
        return uno.systemPathToFileUrl(target)

    def load(self, url, hidden=False):
        return self.desktop.loadComponentFromURL(url, "_blank", 0, props(Hidden=hidden))

    def new_sheet(self):
        return self.desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0, ())

    def dispatch(self, document, command):
        helper = self.create("com.sun.star.frame.DispatchHelper")
        frame = document.getCurrentController().getFrame()
        helper.executeDispatch(frame, PROTOCOL + command, "", 0, ())

    def settings_env(self):
        """The environment in which the command line shares this office's settings."""
        env = dict(os.environ)
        env.update(XDG_CONFIG_HOME=self.config, XDG_RUNTIME_DIR=self.runtime, HOME=self.home)
        env.pop("XDG_STATE_HOME", None)  # the run journal under HOME, as the office keeps it
        return env

    def give_back(self):
        """After the command line wrote settings as root, the office's user owns them again."""
        self._chown()


class Provider:
    """pelorin-provider on a free loopback port with a database of its own."""

    def __init__(self, program, folder):
        self.program = program
        self.db = os.path.join(folder, "provider.db")
        self.port_file = os.path.join(folder, "provider.port")
        self.process = None

    def add_account(self, *args):
        subprocess.run([self.program, "account", "add", "--db", self.db] + list(args), check=True,
                       stdout=subprocess.DEVNULL)

    def start(self):
        self.log = open(self.db + ".log", "w")
        self.process = subprocess.Popen(
            [self.program, "serve", "--db", self.db, "--listen", "127.0.0.1:0",
             "--port-file", self.port_file], stdout=self.log, stderr=subprocess.STDOUT)
        def address():
            if not os.path.exists(self.port_file):
                return None
            with open(self.port_file) as f:
                return f.read().strip()
        self.host = wait_for(address, what="the provider's address")
        return self

    def runs(self):
        out = subprocess.run([self.program, "runs", "--db", self.db, "--json"], check=True,
                             capture_output=True, text=True).stdout
        import json
        return json.loads(out)

    def stop(self):
        if self.process is not None:
            end_process(self.process)
            self.process = None
            self.log.close()


def display_numbers():
    """PELORIN_CALC_DISPLAYS ("61,62") names the displays to try; 71-74 by default."""
    named = os.environ.get("PELORIN_CALC_DISPLAYS")
    if named:
        return tuple(int(n) for n in named.split(","))
    return (71, 72, 73, 74)


class Display:
    """An Xvfb server on the first free display of `numbers`, stopped by PID."""

    def __init__(self, numbers=None):
        numbers = numbers or display_numbers()
        self.process = None
        for number in numbers:
            if os.path.exists("/tmp/.X11-unix/X%d" % number) or os.path.exists("/tmp/.X%d-lock" % number):
                continue
            process = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1280x800x24", "-ac",
                                        "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            try:
                wait_for(lambda: os.path.exists("/tmp/.X11-unix/X%d" % number) or process.poll() is not None,
                         timeout=10, what="Xvfb")
            except AssertionError:
                pass
            if process.poll() is None:
                self.process = process
                self.name = ":%d" % number
                return
        raise RuntimeError("no free display among %s" % (numbers,))

    def start_window_manager(self, rc_path):
        """twm, when installed, so that windows get frames with their titles
        (for screenshots); windows keep the positions the program gives them.
        Answers the process, to be stopped by the caller, or None."""
        if not shutil.which("twm"):
            return None
        with open(rc_path, "w") as rc:
            # Xvfb has only the "fixed" font.
            rc.write('RandomPlacement\nUsePPosition "on"\nNoGrabServer\nDecorateTransients\n')
            for font in ("TitleFont", "ResizeFont", "MenuFont", "IconFont", "IconManagerFont"):
                rc.write('%s "fixed"\n' % font)
        return subprocess.Popen(["twm", "-f", rc_path],
                                env=dict(os.environ, DISPLAY=self.name, LANG="C", LC_ALL="C"),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, *args):
        env = dict(os.environ, DISPLAY=self.name)
        return subprocess.run(list(args), env=env, check=True, capture_output=True, text=True)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "30", text)

    def screenshot(self, path):
        self.run("import", "-window", "root", path)

    def stop(self):
        end_process(self.process)
        self.process = None
