# The same 65,535 rows of 17 text cells written by python3-xlwt, for the
# comparison with the bench's "xls-65535:ours"; run with Debian's python:
#   /usr/bin/python3 bench/native/export/xlwt-65535.py
import time, xlwt

rows = []
for r in range(65535):
    cells = []
    for c in range(17):
        if c == 0:
            cells.append("service%d" % r)
        elif c == 4:
            cells.append(("Running", "Stopped")[r % 2])
        elif c == 7:
            cells.append("C:\\Windows\\system32\\svchost.exe -k group%d" % (r % 40))
        else:
            cells.append("value %d" % ((r * 17 + c) % 5000))
    rows.append(cells)

start = time.perf_counter()
book = xlwt.Workbook()
sheet = book.add_sheet("Sheet1")
bold = xlwt.easyxf("font: bold on")
for c in range(17):
    sheet.write(0, c, "Column %d" % c, bold)
styles = [xlwt.easyxf(num_format_str="0" if c == 5 else "General") for c in range(17)]
for r, cells in enumerate(rows, 1):
    row = sheet.row(r)
    for c, text in enumerate(cells):
        row.write(c, text, styles[c])
book.save("/tmp/kelvane-xlwt-65535.xls")
print("xlwt-65535 %.0f ms" % ((time.perf_counter() - start) * 1000))
