#!/usr/bin/python3
"""Writes small files that hide huge contents, to check that the readers
refuse them quickly and in little memory. Usage: make_hostile_workbooks.py DIR

  shared_string.xlsx   ~1 MB: one shared string of 1 GiB, used by cell B2
  inline_string.xlsx   ~1 MB: cell B2 holds a 1 GiB inline string
  lying_size.xlsx      the sheet's zip entry claims 1 KiB and inflates to 1 GiB
  long_cell.ods        ~1 MB: cell B2 holds a 1 GiB paragraph
  long_line.csv        2 GiB (sparse on disk): one line whose second field never ends
"""
import os
import struct
import sys
import zipfile

GIB = 1 << 30
CHUNK = b"A" * (1 << 20)

CONTENT_TYPES = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
    '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
    '</Types>')
ROOT_RELS = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>'
    '</Relationships>')
WORKBOOK = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
    'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
    '<sheets><sheet name="Contacts" sheetId="1" r:id="rId1"/></sheets></workbook>')
WORKBOOK_RELS = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>'
    '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
    '</Relationships>')
SHEET_HEAD = ('<?xml version="1.0" encoding="UTF-8"?>'
              '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
              '<row r="1"><c r="A1" t="inlineStr"><is><t>Mobile</t></is></c></row>')


def write_streamed(book, name, head, tail, size=GIB):
    with book.open(name, "w", force_zip64=True) as part:
        part.write(head.encode())
        for _ in range(size // len(CHUNK)):
            part.write(CHUNK)
        part.write(tail.encode())


def package(path, sheet_writer, strings_writer=None):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as book:
        book.writestr("[Content_Types].xml", CONTENT_TYPES)
        book.writestr("_rels/.rels", ROOT_RELS)
        book.writestr("xl/workbook.xml", WORKBOOK)
        book.writestr("xl/_rels/workbook.xml.rels", WORKBOOK_RELS)
        if strings_writer:
            strings_writer(book)
        sheet_writer(book)


def shared_string(path):
    def strings(book):
        write_streamed(book, "xl/sharedStrings.xml",
                       '<?xml version="1.0" encoding="UTF-8"?>'
                       '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>',
                       "</t></si></sst>")

    def sheet(book):
        book.writestr("xl/worksheets/sheet1.xml", SHEET_HEAD +
                      '<row r="2"><c r="A2"><v>919810000001</v></c><c r="B2" t="s"><v>0</v></c></row>'
                      "</sheetData></worksheet>")
    package(path, sheet, strings)


def inline_string(path):
    def sheet(book):
        write_streamed(book, "xl/worksheets/sheet1.xml",
                       SHEET_HEAD + '<row r="2"><c r="A2"><v>919810000001</v></c>'
                       '<c r="B2" t="inlineStr"><is><t>', "</t></is></c></row></sheetData></worksheet>")
    package(path, sheet)


def lying_size(path):
    inline_string(path)
    # Both records of the sheet's entry (the local header and the central
    # directory) are made to claim 1 KiB; the data still inflates to 1 GiB.
    with open(path, "r+b") as f:
        data = bytearray(f.read())
    name = b"xl/worksheets/sheet1.xml"
    for signature, size_at, name_at in ((b"PK\x03\x04", 22, 30), (b"PK\x01\x02", 24, 46)):
        at = data.find(signature)
        while at >= 0:
            name_length = struct.unpack_from("<H", data, at + (26 if signature == b"PK\x03\x04" else 28))[0]
            if bytes(data[at + name_at:at + name_at + name_length]) == name:
                if struct.unpack_from("<I", data, at + size_at)[0] == 0xFFFFFFFF:
                    zip64_fix(data, at, signature, name_length)
                else:
                    struct.pack_into("<I", data, at + size_at, 1024)
            at = data.find(signature, at + 4)
    with open(path, "wb") as f:
        f.write(data)


def zip64_fix(data, at, signature, name_length):
    # The sizes live in the zip64 extra field: uncompressed first.
    if signature == b"PK\x03\x04":
        extra_length = struct.unpack_from("<H", data, at + 28)[0]
        extra = at + 30 + name_length
    else:
        extra_length = struct.unpack_from("<H", data, at + 30)[0]
        extra = at + 46 + name_length
    end = extra + extra_length
    while extra + 4 <= end:
        tag, size = struct.unpack_from("<HH", data, extra)
        if tag == 1:
            struct.pack_into("<Q", data, extra + 4, 1024)
            return
        extra += 4 + size


def long_cell_ods(path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as book:
        book.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        book.writestr("META-INF/manifest.xml",
                      '<?xml version="1.0" encoding="UTF-8"?><manifest:manifest '
                      'xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"/>')
        write_streamed(book, "content.xml",
                       '<?xml version="1.0" encoding="UTF-8"?><office:document-content '
                       'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
                       'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
                       'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body>'
                       '<office:spreadsheet><table:table table:name="Contacts"><table:table-row>'
                       '<table:table-cell><text:p>Mobile</text:p></table:table-cell></table:table-row>'
                       '<table:table-row><table:table-cell><text:p>919810000001</text:p></table:table-cell>'
                       '<table:table-cell><text:p>',
                       '</text:p></table:table-cell></table:table-row></table:table>'
                       '</office:spreadsheet></office:body></office:document-content>')


def long_line_csv(path):
    with open(path, "wb") as f:
        f.write(b"Mobile,Message\n919810000001,")
        f.truncate(2 * GIB)  # the rest reads as NUL bytes and takes no disk


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, make in (("shared_string.xlsx", shared_string), ("inline_string.xlsx", inline_string),
                       ("lying_size.xlsx", lying_size), ("long_cell.ods", long_cell_ods),
                       ("long_line.csv", long_line_csv)):
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            make(path)
        print(path, os.path.getsize(path))


if __name__ == "__main__":
    main()
