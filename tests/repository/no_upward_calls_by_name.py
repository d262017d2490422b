#!/usr/bin/env python3
"""A library may not name a method that only a library above it defines.

Lower code that reaches higher code by a method name ("initAsDefaultMapGrid") compiles whatever the
higher library renames; it must go through an interface or hook the lower library declares. The
names the lower libraries may still use (responder-chain actions, menu validation, informal
delegate messages and key-value keys) are listed in named_selectors.txt beside this script.

A name counts as defined by a library when it appears as `name(` in the library's sources; a
string counts when it is a camel-case identifier literal ("someName").
"""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
here = pathlib.Path(__file__).resolve().parent

libraries = re.search(r'set\(QUORVANE_LIBRARY_DIRS(.*?)\)', (root / 'CMakeLists.txt').read_text(), re.S).group(1).split()
allowed = {line.split('#')[0].strip() for line in (here / 'named_selectors.txt').read_text().splitlines()} - {''}

call = re.compile(r'\b([a-z][A-Za-z0-9_]*)\s*\(')
literal = re.compile(r'"([a-z][a-z0-9]*[A-Z][A-Za-z0-9]*)"')
comment = re.compile(r'/\*.*?\*/|//[^\n]*', re.S)


def sources(library):
    # A library's folder holds its own files only; platform/ui is no part of platform/foundation.
    nested = [root / 'src' / other for other in libraries if other.startswith(library + '/')]
    for path in sorted((root / 'src' / library).rglob('*')):
        if path.suffix in ('.h', '.cpp') and not any(n in path.parents for n in nested):
            yield path, comment.sub('', path.read_text(errors='replace'))


defined_in_headers, defined, named = [], [], []
for library in libraries:
    headers, everything, strings = set(), set(), []
    for path, text in sources(library):
        names = set(call.findall(text))
        everything |= names
        if path.suffix == '.h':
            headers |= names
        strings += [(path.relative_to(root), name) for name in literal.findall(text)]
    defined_in_headers.append(headers)
    defined.append(everything)
    named.append(strings)

failures = []
for index, library in enumerate(libraries):
    here_or_below = set().union(*defined[:index + 1])
    above = set().union(set(), *defined_in_headers[index + 1:])
    for path, name in named[index]:
        if name in above and name not in here_or_below and name not in allowed:
            failures.append(f'{path}: "{name}" is defined only above {library}')

if failures:
    print('methods of higher libraries called by name (declare an interface or hook instead):')
    print('\n'.join(sorted(set(failures))))
    sys.exit(1)
