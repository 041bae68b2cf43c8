// The semicolon-separated export, read back by Python's csv module.
#include "export/CsvWriter.h"
#include "tests/native/HostPython.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::test;

TEST(CsvWriter, PythonCsvReadsTheFieldsBack) {
    ExportSheet sheet;
    sheet.columns = {{"Name"}, {"Command"}, {"PID", u"0", 3}};
    sheet.rows = {{"x;y", "\"q\" \xFC;", "a\r\nb"}, {"", "plain", "7"}, {"b"}};
    std::string path = "/tmp/kelvane-csv-" + std::to_string(::getpid()) + ".csv";
    ASSERT_TRUE(writeCsvFile(sheet, path));
    std::string output;
    int code = runPython("import csv, sys\n"
                                   "rows = list(csv.reader(open(sys.argv[1], newline='', "
                                   "encoding='latin-1'), delimiter=';'))\n"
                                   "print(repr(rows))\n",
                                   path, &output);
    std::remove(path.c_str());
    ASSERT_EQ(code, 0) << output;
    EXPECT_EQ(output,
              "[['Name', 'Command', 'PID', ''], ['x;y', '\"q\" \xC3\xBC;', 'a\\r\\nb', ''], "
              "['', 'plain', '7', ''], ['b', '', '', '']]\n");
}
