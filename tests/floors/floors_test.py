#!/usr/bin/env python3
"""The floors of src/: a file includes only its own floor and the floors below it, and
no units (a header with its .cpp) include each other round in a circle.

The floor order is read from README.md, the numbered list under "Where the code lives"
(1 is the top). Exits 1 naming every include that breaks a rule (file and line) and
every circle; 0 when there is none.
Usage: floors_test.py SOURCE_DIR
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
FLOOR = re.compile(r'^(\d+)\.\s+`src/([^/`]+)/`')


def read_floors(readme):
    floors = {}
    in_section = False
    with open(readme, encoding='utf-8') as f:
        for line in f:
            if line.startswith('## '):
                in_section = line.strip() == '## Where the code lives'
                continue
            m = FLOOR.match(line) if in_section else None
            if m:
                floors[m.group(2)] = int(m.group(1))
    return floors


def includes_of(src):
    """(including file, line number, included file), paths relative to src/."""
    found = []
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        for name in sorted(os.listdir(path)):
            rel = folder + '/' + name
            with open(os.path.join(path, name), encoding='utf-8', errors='replace') as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = m.group(1)
                    if '/' not in target:  # beside the including file
                        target = folder + '/' + target
                    if os.path.exists(os.path.join(src, target)):
                        found.append((rel, number, target))
    return found


def unit(rel):
    return os.path.splitext(rel)[0]


def circles(edges):
    """Strongly connected sets of more than one unit (Tarjan's algorithm)."""
    graph = {}
    for a, b in edges:
        if a != b:
            graph.setdefault(a, set()).add(b)
            graph.setdefault(b, set())
    index, low, stack, on_stack, result = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph[v]):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            members = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                members.append(w)
                if w == v:
                    break
            if len(members) > 1:
                result.append(sorted(members))

    sys.setrecursionlimit(10000)
    for v in sorted(graph):
        if v not in index:
            visit(v)
    return result


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', '..')
    src = os.path.join(root, 'src')
    floors = read_floors(os.path.join(root, 'README.md'))
    faults = []
    if not floors:
        faults.append('README.md: no floors listed under "Where the code lives"')
    for folder in sorted(os.listdir(src)):
        if os.path.isdir(os.path.join(src, folder)) and folder not in floors:
            faults.append('src/%s/: a folder on no floor of README.md' % folder)
    edges = []
    for rel, number, target in includes_of(src):
        edges.append((unit(rel), unit(target)))
        here, there = rel.split('/')[0], target.split('/')[0]
        if here in floors and there in floors and floors[there] < floors[here]:
            faults.append('src/%s:%d: includes "%s", a higher floor (%s/ is %d, %s/ is %d)' %
                          (rel, number, target, there, floors[there], here, floors[here]))
    for members in circles(edges):
        faults.append('include circle: ' + ' -> '.join(members))
    for fault in faults:
        print(fault)
    print('floors: %d folders, %d includes, %d faults' % (len(floors), len(edges), len(faults)))
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
