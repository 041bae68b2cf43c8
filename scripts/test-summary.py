"""Counts test cases over every results folder and prints "N passed, N failed".

Each folder holds ctest's junit report (ctest.xml) and one GoogleTest report
per test executable (<ctest name>.xml). A ctest entry with a GoogleTest report
counts its cases; one without (a script, or a program that crashed before it
could write its report) counts as one case. An entry that failed although its
report shows no failure (it crashed at exit, say) adds one failure.
"""
import os
import sys
import xml.etree.ElementTree as ET


def count_gtest(path):
    root = ET.parse(path).getroot()
    passed = failed = 0
    for case in root.iter("testcase"):
        if case.get("status") == "notrun" or case.get("result") == "skipped":
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        else:
            passed += 1
    return passed, failed


def main(folders):
    passed = failed = 0
    for folder in folders:
        junit = os.path.join(folder, "ctest.xml")
        if not os.path.exists(junit):
            failed += 1
            print(f"no test report in {folder}")
            continue
        for case in ET.parse(junit).getroot().iter("testcase"):
            name = case.get("name")
            ok = case.get("status") in ("run", "passed", None) and case.find("failure") is None
            if case.get("status") == "fail":
                ok = False
            report = os.path.join(folder, name + ".xml")
            if os.path.exists(report):
                p, f = count_gtest(report)
                if not ok and f == 0:
                    f = 1
                    print(f"{name}: failed outside its test cases")
            else:
                p, f = (1, 0) if ok else (0, 1)
            passed += p
            failed += f
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
