#!/usr/bin/env python3
"""Reads ctest's JUnit record (--output-junit) and prints, for each skipped test, its
name and why it was skipped, then a last line "PASSED FAILED SKIPPED".

    ctest-results.py RESULTS.xml

A test counts as skipped when ctest skipped it (GoogleTest's GTEST_SKIP, a skip return
code) or did not run it; as failed when it failed, timed out or crashed."""
import sys
import xml.etree.ElementTree as ET


def skip_reason(output):
    # GoogleTest writes "file:line: Skipped", the message, then "[  SKIPPED ]".
    lines = (output or '').splitlines()
    for i, line in enumerate(lines):
        if line.endswith(': Skipped'):
            reason = []
            for later in lines[i + 1:]:
                if later.startswith('[  SKIPPED ]'):
                    break
                reason.append(later.strip())
            return ' '.join(r for r in reason if r) or '(no reason given)'
    tail = [l.strip() for l in lines if l.strip()]
    return tail[-1] if tail else '(no output)'


def main():
    try:
        root = ET.parse(sys.argv[1]).getroot()
    except (OSError, ET.ParseError):
        return 1
    passed = failed = skipped = 0
    for case in root.iter('testcase'):
        if case.find('failure') is not None or case.find('error') is not None:
            failed += 1
        elif case.find('skipped') is not None or case.get('status') in ('notrun', 'disabled'):
            skipped += 1
            out = case.find('system-out')
            print('skipped: %s: %s' % (case.get('name'), skip_reason(out.text if out is not None else '')))
        else:
            passed += 1
    print(passed, failed, skipped)
    return 0


if __name__ == '__main__':
    sys.exit(main())
