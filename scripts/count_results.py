#!/usr/bin/env python3
"""Adds up the GoogleTest XML reports and the end-to-end count files in a folder: prints
'<passed> <failed>'."""
import pathlib
import sys
import xml.etree.ElementTree as ET

passed = failed = 0
for report in pathlib.Path(sys.argv[1]).glob("*.xml"):
    try:
        root = ET.parse(report).getroot()
    except ET.ParseError:
        failed += 1
        continue
    tests = int(root.get("tests", 0)) - int(root.get("disabled", 0))
    bad = int(root.get("failures", 0)) + int(root.get("errors", 0))
    skipped = sum(1 for _ in root.iter("skipped"))
    passed += tests - bad - skipped
    failed += bad
for count in pathlib.Path(sys.argv[1]).glob("*.count"):
    fields = count.read_text().split()
    passed += int(fields[0])
    failed += int(fields[1])
print(passed, failed)
