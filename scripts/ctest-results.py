#!/usr/bin/env python3
"""Reads ctest's JUnit record (--output-junit) and prints, for each skipped test, its
name and why it was skipped, then a last line "PASSED FAILED SKIPPED".

    ctest-results.py RESULTS.xml

A test counts as skipped when it skipped itself (GoogleTest's GTEST_SKIP, a skip return
code) or is disabled; as failed when it failed, timed out, crashed or could not be run
(its program missing, say)."""
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
        skip = case.find('skipped')
        out = case.find('system-out')
        output = out.text if out is not None else ''
        if case.find('failure') is not None or case.find('error') is not None:
            failed += 1
        elif skip is not None or case.get('status') in ('notrun', 'disabled'):
            why = skip.get('message', '') if skip is not None else case.get('status')
            if why.startswith('SKIP_') or why.lower() == 'disabled':
                skipped += 1
                print('skipped: %s: %s' % (case.get('name'), skip_reason(output)))
            else:
                failed += 1
                print('not run: %s: %s' % (case.get('name'), why))
        else:
            passed += 1
    print(passed, failed, skipped)
    return 0


if __name__ == '__main__':
    sys.exit(main())
