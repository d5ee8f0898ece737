"""Workbooks for the Calc tests and measurements: a header row, then one row
per contact with a mobile number (a number, as people type them), a name and
an order reference."""
import openpyxl


def contact(row):
    """The cells of data row `row` (1-based)."""
    return 919800000000 + row, "Name %d" % row, "ORD-%05d" % row


def write_contacts(path, rows):
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("Contacts")
    sheet.append(["Mobile", "Name", "Order"])
    for row in range(1, rows + 1):
        sheet.append(list(contact(row)))
    book.save(path)
