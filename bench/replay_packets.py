"""Writes, from a pelorin-provider database, a curl config that uploads the
packets of one stored run again, byte for byte as the add-in encodes them,
one request after another on one kept-alive connection: the floor a send of
the same rows is held to.

Usage: replay_packets.py DB OUT_DIR
Writes OUT_DIR/packet-N.body and OUT_DIR/replay.curl, whose URLs hold the
word RUNNAME where the run's file name goes: replace it before each replay,
so that every replay is a run of its own."""
import os
import sqlite3
import sys

db_path, out = sys.argv[1], sys.argv[2]
os.makedirs(out, exist_ok=True)
SAFE = set(b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")


def form_encode(data):
    """Letters and digits kept, space as '+', every other byte as %XX."""
    table = []
    for byte in range(256):
        if byte in SAFE:
            table.append(chr(byte))
        elif byte == 0x20:
            table.append("+")
        else:
            table.append("%%%02X" % byte)
    return "".join(table[b] for b in data).encode()


db = sqlite3.connect(db_path)
run = db.execute("SELECT id, uid, sid, catid, ip, schedule, flash FROM runs ORDER BY id LIMIT 1").fetchone()
run_id, uid, sid, catid, ip, schedule, flash = run
config = []
packets = db.execute("SELECT id, state FROM packets WHERE run_id = ? ORDER BY seq", (run_id,)).fetchall()
for number, (packet_id, state) in enumerate(packets):
    records = db.execute("SELECT mobile, message FROM records WHERE packet_id = ? ORDER BY idx",
                         (packet_id,)).fetchall()
    text = "".join("%s|*^%s~?*" % (mobile, message) for mobile, message in records).encode()
    body = b"variable1=" + form_encode(text) + b"&variable2=" + form_encode(schedule.encode()) + \
        b"&variable3=" + form_encode(flash.encode())
    path = os.path.join(out, "packet-%d.body" % number)
    with open(path, "wb") as f:
        f.write(body)
    if config:
        config.append("next")
    config.append('url = "http://HOSTPORT/PelorinExcelplugin02022012/Compose.aspx?uid=%s&ip=%s&sid=%s'
                  '&state=%s&filename=RUNNAME&catid=%s"' % (uid, ip, sid, state, catid))
    config.append('data-binary = "@%s"' % path)
    config.append('header = "Content-Type: application/x-www-form-urlencoded"')
    # No "Expect: 100-continue" wait before each body, as the add-in sends none.
    config.append('header = "Expect:"')
    config.append('output = "/dev/null"')
with open(os.path.join(out, "replay.curl"), "w") as f:
    f.write("\n".join(config) + "\n")
print("%d packets of run %d written to %s" % (len(packets), run_id, out))
