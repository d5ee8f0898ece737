#!/usr/bin/python3
"""A send of 100,000 rows from a workbook open in LibreOffice Calc (the
extension, under Xvfb), packets of 1,000, against the time the command line
takes for the same workbook, and the time the extension spent reading the
sheet. Checks that the provider stored every record once.

Usage: bench/calc_send_bench.py [ROWS]   (after a default-preset build)
"""
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "calc"))
sys.path.insert(1, "/usr/lib/libreoffice/program")

import a11y  # noqa: E402
from office import Display, Office, Provider, wait_for  # noqa: E402
from workbook import contact, write_contacts  # noqa: E402

BUILD = os.path.join(ROOT, "build")
TEMPLATE = "Dear |B|, your order |C| is ready"


def check_run(run, rows):
    records = run["records"]
    assert len(records) == rows, "stored %d records of %d" % (len(records), rows)
    mobiles = {r["mobile"] for r in records}
    assert len(mobiles) == rows, "some records were stored twice"
    last = contact(rows)
    assert records[-1]["message"] == "Dear %s, your order %s is ready" % last[1:]


def main():
    rows = int(sys.argv[1]) if len(sys.argv) > 1 else 100000
    screen = Display()
    office = Office(os.path.join(BUILD, "hosts", "calc", "pelorin.oxt"), display=screen.name)
    read_log = os.path.join(office.dir, "reads.log")
    office.env["PELORIN_CALC_READ_LOG"] = read_log
    provider = Provider(os.path.join(BUILD, "provider", "pelorin-provider"), office.dir)
    cli_program = os.path.join(BUILD, "hosts", "cli", "pelorin")

    def cli(*args, stdin=None):
        done = subprocess.run([cli_program] + list(args), env=office.settings_env(), input=stdin,
                              text=True, capture_output=True)
        office.give_back()
        if done.returncode != 0:
            raise RuntimeError("pelorin %s: %s" % (" ".join(args), done.stderr))
        return done

    try:
        office.install()
        provider.add_account("--id", "bench", "--password", "bench-pass", "--credits", str(rows * 4),
                             "--dnd", "50", "--senders", "PELRIN", "--sender-reply", "list")
        provider.start()
        cli("host", provider.host)
        cli("login", "--id", "bench", "--password-stdin", stdin="bench-pass\n")
        cli("packet-size", "--default")
        folder = tempfile.mkdtemp(prefix="pelorin-bench-")
        book = os.path.join(folder, "contacts.xlsx")
        write_contacts(book, rows)

        started = time.monotonic()
        cli("send", book, "--mobile-column", "A", "--message", TEMPLATE, "--rows", "2-%d" % (rows + 1))
        cli_seconds = time.monotonic() - started
        check_run(provider.runs()[-1], rows)
        print("command line send (reads the .xlsx itself): %.2f s" % cli_seconds, flush=True)

        office.start()
        document = office.load(office.share(book))
        os.remove(book)
        os.rmdir(folder)
        office.dispatch(document, "SendTextMessage")
        dialog = a11y.find_window(office, "Send Text Message", timeout=60)[1]
        boxes = a11y.text_boxes(dialog)
        boxes[0].click(screen)
        screen.type(TEMPLATE)
        wait_for(lambda: boxes[-1].getText() == str(len(TEMPLATE)), what="the typed template")
        boxes[1].setText("2")
        boxes[2].setText(str(rows + 1))
        started = time.monotonic()
        a11y.press(dialog, "PUSH_BUTTON", "Send SMS")
        try:
            status = a11y.find_window(office, "Status Window", timeout=600)[1]
        except AssertionError:
            screen.screenshot(os.path.join(ROOT, "build", "calc-bench-failure.png"))
            raise
        close = a11y.named(status, "PUSH_BUTTON", "Close")
        wait_for(lambda: a11y.enabled(close), timeout=1800, step=0.05, what="the end of the run")
        calc_seconds = time.monotonic() - started
        runs = provider.runs()
        assert len(runs) == 2, "the Calc send made %d runs" % (len(runs) - 1)
        check_run(runs[-1], rows)
        with open(read_log) as log:
            totals = log.read().splitlines()[-1]
        read_ms = float(totals.split("read_ms=")[1])
        print("rows: %d, packets of 1,000" % rows)
        print("Calc send (Send SMS to 'Process Completed'): %.2f s" % calc_seconds)
        print("  of which reading the sheet: %.3f s (%s), %.1f%% of the send"
              % (read_ms / 1000, totals, 100 * read_ms / 1000 / calc_seconds))
    finally:
        office.close()
        provider.stop()
        screen.stop()


if __name__ == "__main__":
    main()
