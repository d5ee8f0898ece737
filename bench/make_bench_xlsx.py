"""Writes the bench workbooks: ROWS rows of a text, a mobile number and an
amount, by xlsxwriter in constant_memory mode (which stores text as inline
strings), and a copy whose texts are moved into a shared-string table, the
way Excel and most writers store them.

Usage: make_bench_xlsx.py ROWS INLINE.xlsx SHARED.xlsx"""
import re
import sys
import zipfile
from xml.sax.saxutils import escape

import xlsxwriter

rows, inline_path, shared_path = int(sys.argv[1]), sys.argv[2], sys.argv[3]

book = xlsxwriter.Workbook(inline_path, {"constant_memory": True})
sheet = book.add_worksheet("Contacts")
for r in range(rows):
    sheet.write_string(r, 0, "Customer %d" % (r % 50000))
    sheet.write_number(r, 1, 919800000000 + r)
    sheet.write_number(r, 2, (r % 1000) * 0.25)
book.close()

INLINE = re.compile(rb't="inlineStr"><is><t(?: xml:space="preserve")?>([^<]*)</t></is>')
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings"
CT = "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"

index = {}
strings = []


def to_shared(match):
    text = match.group(1)
    if text not in index:
        index[text] = len(strings)
        strings.append(text)
    return b't="s"><v>%d</v>' % index[text]


with zipfile.ZipFile(inline_path) as src, zipfile.ZipFile(shared_path, "w", zipfile.ZIP_DEFLATED) as dst:
    for item in src.infolist():
        if item.filename == "xl/worksheets/sheet1.xml":
            with src.open(item) as part, dst.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as out:
                pending = b""
                while True:
                    chunk = part.read(1 << 20)
                    data = pending + chunk
                    cut = data.rfind(b"</row>") + 6 if chunk else len(data)
                    out.write(INLINE.sub(to_shared, data[:cut]))
                    pending = data[cut:]
                    if not chunk:
                        break
            continue
        data = src.read(item.filename)
        if item.filename == "xl/_rels/workbook.xml.rels":
            data = data.replace(b"</Relationships>", (
                '<Relationship Id="rIdSst" Type="%s" Target="sharedStrings.xml"/></Relationships>'
                % REL).encode())
        elif item.filename == "[Content_Types].xml":
            data = data.replace(b"</Types>", (
                '<Override PartName="/xl/sharedStrings.xml" ContentType="%s"/></Types>' % CT).encode())
        dst.writestr(item, data)
    body = b"".join(b"<si><t>" + s + b"</t></si>" for s in strings)
    dst.writestr("xl/sharedStrings.xml", (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<sst xmlns="%s" count="%d" '
        'uniqueCount="%d">' % (MAIN, rows, len(strings))).encode() + body + b"</sst>")
