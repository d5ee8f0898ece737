"""Writes the workbooks the workbook reader tests compare: the same cells by
openpyxl and by xlsxwriter, a CSV for LibreOffice to convert, and damaged
files. Usage: make_workbooks.py OUTDIR"""
import datetime
import io
import os
import sys
import zipfile

import openpyxl
import xlsxwriter

out = sys.argv[1]

# (row, column, value, number format) with 1-based rows and columns.
CONTACTS = [
    (1, 1, "Name", None), (1, 2, "Mobile", None), (1, 3, "Code", None), (1, 4, "Amount", None),
    (2, 1, "Zoë Ünïcode 日本", None), (2, 2, 919876543210, None), (2, 3, "007", None),
    (2, 4, 12.5, None),
    # row 3 stays empty
    (4, 1, "Sparse", None), (4, 4, 0.1 + 0.2, None),
    (5, 2, 1e20, None), (5, 5, 1e-10, None),
    (6, 1, True, None), (6, 2, False, None),
    (6, 3, datetime.date(2024, 1, 5), "yyyy-mm-dd"),
    (6, 4, datetime.datetime(2024, 1, 5, 13, 45, 0), "yyyy-mm-dd hh:mm:ss"),
    (6, 5, datetime.time(13, 45, 0), "hh:mm:ss"),
    (7, 1, "  spaced  ", None), (7, 2, -42, None), (7, 3, "line one\nline two", None),
]
SECOND = [(1, 1, "active", None), (3, 2, 42, None)]
THIRD = [(2, 3, "third", None)]
SHEETS = [("Contacts", CONTACTS), ("Second", SECOND), ("Third sheet", THIRD)]


def write_openpyxl(path):
    book = openpyxl.Workbook()
    book.remove(book.active)
    for name, cells in SHEETS:
        sheet = book.create_sheet(name)
        for row, column, value, number_format in cells:
            cell = sheet.cell(row=row, column=column, value=value)
            if number_format:
                cell.number_format = number_format
    book.active = 1
    for sheet in book.worksheets:
        sheet.sheet_view.tabSelected = sheet.title == "Second"
    book.save(path)


def write_xlsxwriter(path):
    book = xlsxwriter.Workbook(path, {"strings_to_numbers": False})
    formats = {}
    for name, cells in SHEETS:
        sheet = book.add_worksheet(name)
        for row, column, value, number_format in cells:
            if number_format:
                if number_format not in formats:
                    formats[number_format] = book.add_format({"num_format": number_format})
                sheet.write_datetime(row - 1, column - 1, value, formats[number_format])
            else:
                sheet.write(row - 1, column - 1, value)
        if name == "Second":
            sheet.activate()
    book.close()


def write_csv(path):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("\ufeffName,Mobile,Code,Amount\r\n")
        f.write("Zoë Ünïcode 日本,919876543210,007,12.5\r\n")
        f.write("\r\n")
        f.write("Sparse,,,0.3\r\n")
        f.write("\"Smith, J\",447700900123,0123,-42\r\n")
        f.write(",,,\r\n")
        f.write(",,x,\r\n")


def rewrite(source, target, change):
    """Copies a zip package, letting change(name, data) drop (None) or alter parts."""
    with zipfile.ZipFile(source) as src, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as dst:
        for item in src.infolist():
            data = change(item.filename, src.read(item.filename))
            if data is not None:
                dst.writestr(item.filename, data)


write_openpyxl(os.path.join(out, "openpyxl.xlsx"))
write_xlsxwriter(os.path.join(out, "xlsxwriter.xlsx"))
write_csv(os.path.join(out, "contacts.csv"))
good = os.path.join(out, "xlsxwriter.xlsx")

with open(good, "rb") as f:
    whole = f.read()
with open(os.path.join(out, "truncated.xlsx"), "wb") as f:
    f.write(whole[: len(whole) // 2])

rewrite(good, os.path.join(out, "missing_sheet.xlsx"),
        lambda name, data: None if name == "xl/worksheets/sheet2.xml" else data)
rewrite(good, os.path.join(out, "malformed.xlsx"),
        lambda name, data: data.replace(b"</sheetData>", b"</sheetDat>")
        if name == "xl/worksheets/sheet1.xml" else data)


def bomb(name, data):
    if name != "xl/worksheets/sheet1.xml":
        return data
    # 64 MiB of blanks inside the root element: a few KB compressed.
    return data.replace(b"<sheetData>", b"<sheetData>" + b" " * (64 << 20))


rewrite(good, os.path.join(out, "bomb.xlsx"), bomb)

with open(os.path.join(out, "not_a_workbook.xlsx"), "w") as f:
    f.write("just some text\n")
with open(os.path.join(out, "legacy.xls"), "wb") as f:
    f.write(b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 504)
with zipfile.ZipFile(os.path.join(out, "other.zip"), "w") as z:
    z.writestr("readme.txt", "hello")
with open(os.path.join(out, "workbook_without_extension"), "wb") as f:
    f.write(whole)
