#!/usr/bin/env python3
"""Adds up the test reports that scripts/test expects in FOLDER, names each one that is missing,
unreadable or empty and each suite skipped on purpose, and ends with the line
'tests: <passed> passed, <failed> failed' (', <skipped> skipped' follows when any were).
Exits with 1 when anything failed.

    count_results.py FOLDER REPORT[=EXIT_CODE]...

A REPORT is
  NAME.xml    a GoogleTest XML report;
  NAME.count  "<passed> <failed>" (then what a shortened run left out, told in the closing
              line), or "skipped <reason>" from a suite skipped on purpose;
  ctest       the native suite: ctest-tests.json (ctest --show-only=json-v1) lists its tests.
              Each labelled googletest leaves NAME.xml, named after its program; every other
              one is one test, passed when ctest.xml (ctest's JUnit report) says it ran.
A missing or unreadable report, or a suite that ran no test, counts as one failed test; so does
a program that exited with an error (EXIT_CODE, or ctest's verdict) after tests that all passed.
"""
import json
import pathlib
import sys
import xml.etree.ElementTree as ET


class Tally:
    def __init__(self, folder):
        self.folder = pathlib.Path(folder)
        self.passed = self.failed = self.skipped = 0
        self.notes = []

    def broken(self, report, why):
        self.failed += 1
        print(f"FAILED {report}: {why}")

    def googletest(self, name, exited_ok=True):
        try:
            root = ET.parse(self.folder / name).getroot()
            tests = int(root.get("tests", 0)) - int(root.get("disabled", 0))
            bad = int(root.get("failures", 0)) + int(root.get("errors", 0))
        except FileNotFoundError:
            return self.broken(name, "no report (the program crashed or did not run)")
        except (OSError, ET.ParseError, ValueError) as error:
            return self.broken(name, f"unreadable ({error})")
        if tests == 0:
            return self.broken(name, "ran no test")
        skipped = [f"{case.get('classname')}.{case.get('name')}" for case in root.iter("testcase")
                   if case.find("skipped") is not None]
        if skipped:
            print(f"SKIPPED {name}: {', '.join(skipped)}")
        self.passed += tests - bad - len(skipped)
        self.failed += bad
        self.skipped += len(skipped)
        if bad == 0 and not exited_ok:
            self.broken(name, "the program failed after its tests")

    def count(self, name, exited_ok=True):
        try:
            fields = (self.folder / name).read_text().split()
        except OSError:
            return self.broken(name, "no count (the runner ended part-way or did not run)")
        if fields[:1] == ["skipped"]:
            self.skipped += 1
            print(f"SKIPPED {name}: {' '.join(fields[1:])}")
            return
        try:
            passed, failed = int(fields[0]), int(fields[1])
        except (IndexError, ValueError):
            return self.broken(name, f"unreadable ({' '.join(fields)!r})")
        if passed + failed == 0:
            return self.broken(name, "ran no test")
        self.passed += passed
        self.failed += failed
        if fields[2:]:  # the runner ran only some of its tests
            self.notes.append(" ".join(fields[2:]))
        if failed == 0 and not exited_ok:
            self.broken(name, "the runner failed")

    def ctest(self):
        try:
            listed = json.loads((self.folder / "ctest-tests.json").read_text())["tests"]
        except (OSError, ValueError, KeyError) as error:
            return self.broken("ctest-tests.json", f"no list of the native tests ({error})")
        if not listed:
            return self.broken("ctest-tests.json", "lists no test")
        try:
            verdicts = {case.get("name"): case.get("status")
                        for case in ET.parse(self.folder / "ctest.xml").getroot().iter("testcase")}
        except (OSError, ET.ParseError):
            verdicts = {}
        for test in listed:
            name = test["name"]
            labels = [label for prop in test.get("properties", []) if prop["name"] == "LABELS"
                      for label in prop["value"]]
            if "googletest" in labels:
                program = pathlib.PurePath(test["command"][0]).name
                self.googletest(program + ".xml", verdicts.get(name) == "run")
            elif verdicts.get(name) == "run":
                self.passed += 1
            else:
                self.broken(f"ctest.xml ({name})", verdicts.get(name, "not in the report"))


def main(folder, reports):
    tally = Tally(folder)
    for report in reports:
        name, _, code = report.partition("=")
        exited_ok = code in ("", "0")
        if name == "ctest":
            tally.ctest()
        elif name.endswith(".count"):
            tally.count(name, exited_ok)
        else:
            tally.googletest(name, exited_ok)
    line = f"tests: {tally.passed} passed, {tally.failed} failed"
    line += f", {tally.skipped} skipped" if tally.skipped else ""
    print(line + "".join(f" ({note})" for note in tally.notes))
    return 1 if tally.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2:]))
