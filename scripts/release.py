#!/usr/bin/env python3
"""Writes the release archives from a built Windows tree (scripts/release.sh builds it).

    release.py --version V --commit C --epoch T --tree DIR --out DIR

OUT/BRAMLOE-V-win64.zip holds the two programs, the readmes for Windows users, the
licence and the notices of every library the link maps show; OUT/BRAMLOE-V-source.zip
holds the commit's files and the SoundTouch and KissFFT source packages the tree was
built from;
OUT/SHA256SUMS lists both. Every entry carries the commit's time and a fixed mode, and
entries are sorted, so one commit always gives the same bytes.
"""
import argparse
import hashlib
import io
import os
import re
import subprocess
import sys
import tarfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# What a static link may take in, by archive or object name: the program's own
# libraries, the system's import libraries (nothing to notice) and the runtimes whose
# licences ask for a notice, each under the name the notices give it.
OWN = {"libbramloe_win.a", "libbramloe_core.a", "objects.a"}
SYSTEM = {"lib%s.a" % n for n in (
    "kernel32 user32 gdi32 comctl32 comdlg32 shell32 advapi32 ole32 oleaut32 uuid "
    "strmiids dmoguids winmm winspool version shlwapi imm32 uxtheme ntdll quartz").split()}
RUNTIMES = [
    (re.compile(r"^libSoundTouch\.a$"), "SoundTouch"),
    (re.compile(r"^libkissfft-float\.a$"), "KissFFT"),
    (re.compile(r"^lib(win)?pthread\.a$"), "winpthreads"),
    (re.compile(r"^(libmingw32|libmingwex|libmoldname|libmsvcrt)\.a$|^(dll)?crt[12]u?\.o$"),
     "MinGW-w64 runtime"),
    (re.compile(r"^(libgcc|libgcc_eh|libstdc\+\+|libssp|libssp_nonshared|libquadmath)\.a$"
                r"|^crtbegin\.o$|^crtend\.o$"), "GCC runtime libraries (libgcc, libstdc++)"),
]


def linked_files(maps, tree):
    """Every archive a member was taken from, and every object loaded whole, as the GNU
    ld maps name them (relative names are the tree's own), sorted."""
    found = set()
    for path in maps:
        members = True
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.rstrip("\n")
                if line.startswith("Discarded input sections"):
                    members = False
                match = re.match(r"^(\S+\.a)\(", line) if members else re.match(r"^LOAD (\S+\.o)$", line)
                if match:
                    found.add(os.path.normpath(os.path.join(tree, match.group(1))))
    return sorted(found)


def runtimes_in(files):
    """{runtime name: sorted file paths}; an unknown library stops the release."""
    runtimes = {}
    for path in files:
        name = os.path.basename(path)
        if name in OWN or name in SYSTEM or name.endswith(".obj"):
            continue
        for pattern, runtime in RUNTIMES:
            if pattern.search(name):
                runtimes.setdefault(runtime, set()).add(path)
                break
        else:
            sys.exit("release: the link took in %s, whose licence the notices do not cover "
                     "(add it to scripts/release.py)" % path)
    return {k: sorted(v) for k, v in runtimes.items()}


def debian_copyright(path):
    """The Debian package that installed a file, and its copyright file's text."""
    out = subprocess.run(["dpkg-query", "-S", os.path.realpath(path)], capture_output=True, text=True)
    if out.returncode != 0:
        out = subprocess.run(["dpkg-query", "-S", path], capture_output=True, text=True)
    if out.returncode != 0:
        sys.exit("release: no Debian package owns %s, so its notice is unknown" % path)
    package = out.stdout.split(":")[0].strip()
    with open("/usr/share/doc/%s/copyright" % package, encoding="utf-8") as f:
        return package, f.read()


def notices(runtimes, version, soundtouch_version, kissfft_version, tree):
    rule = "=" * 78 + "\n"
    parts = ["Third-party notices for BRAMLOE %s\n\n" % version,
             "bramloe.exe and bramloe-match.exe are statically linked: they contain the\n"
             "following libraries, as the link maps of this build show. Each section gives\n"
             "the library's copyright and licence.\n\n"]
    if "SoundTouch" in runtimes:
        with open(os.path.join(ROOT, "third_party/soundtouch/COPYING.TXT"), encoding="utf-8") as f:
            lgpl = f.read()
        parts += [rule, "SoundTouch %s (the keep-tempo stage's time stretching)\n" % soundtouch_version, rule,
                  "\nCopyright (c) Olli Parviainen\n\n"
                  "SoundTouch is free software under the GNU Lesser General Public License,\n"
                  "version 2.1 (below). Its complete source, Debian's source package soundtouch\n"
                  "%s exactly as this build used it, is in BRAMLOE-%s-source.zip, in the\n"
                  "folder third_party/soundtouch/source/, beside the complete source of BRAMLOE\n"
                  "itself. With both you can rebuild the programs with a changed SoundTouch;\n"
                  "third_party/soundtouch/README.md there says how.\n\n" % (soundtouch_version, version),
                  lgpl.rstrip("\n") + "\n\n"]
    if "KissFFT" in runtimes:
        with open(os.path.join(tree, "kissfft", "copyright"), encoding="utf-8") as f:
            text = f.read()
        parts += [rule, "KissFFT %s (the voice setting's Fourier transform)\n" % kissfft_version, rule,
                  "\nBuilt from Debian's source package kissfft %s, whose source is in\n"
                  "BRAMLOE-%s-source.zip, in the folder third_party/kissfft/source/. Its\n"
                  "copyright file follows.\n\n" % (kissfft_version, version),
                  text.rstrip("\n") + "\n\n"]
    # Packages built from one source share one copyright file: it is given once.
    by_text = {}
    for runtime, files in runtimes.items():
        if runtime in ("SoundTouch", "KissFFT"):
            continue
        for path in files:
            package, text = debian_copyright(path)
            entry = by_text.setdefault(text, [set(), set(), set()])
            entry[0].add(runtime)
            entry[1].add(os.path.basename(path))
            entry[2].add(package)
    for text, (names, files, packages) in sorted(by_text.items(), key=lambda e: sorted(e[1][0])):
        parts += [rule, "%s\n" % ", ".join(sorted(names)), rule,
                  "\nLinked in: %s.\n" % ", ".join(sorted(files)),
                  "Built by Debian's packages %s; their copyright file follows.\n" % ", ".join(sorted(packages))]
        if any(n.startswith("GCC") for n in names):
            parts.append("These libraries are under the GNU General Public License, version 3, with\n"
                         "the GCC Runtime Library Exception, which lets them be linked into a\n"
                         "program under any licence.\n")
        parts += ["\n", text.rstrip("\n") + "\n\n"]
    return "".join(parts)


def windows_text(text, bom=True):
    """UTF-8 with CRLF line ends (and a byte-order mark), as Notepad reads it."""
    body = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")
    return (b"\xef\xbb\xbf" if bom else b"") + body


def write_zip(path, entries, epoch):
    """entries: {name: (bytes, mode)}, written sorted, all with the commit's time."""
    stamp = time.gmtime(max(epoch, 315532800))[:6]  # zip times start in 1980
    with zipfile.ZipFile(path, "w") as archive:
        for name in sorted(entries):
            data, mode = entries[name]
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 3
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


def commit_files(commit):
    """{path: (bytes, mode)} of every file the commit holds."""
    tar = subprocess.run(["git", "-C", ROOT, "archive", "--format=tar", commit],
                         capture_output=True, check=True).stdout
    files = {}
    with tarfile.open(fileobj=io.BytesIO(tar)) as t:
        for member in t.getmembers():
            if member.isfile():
                files[member.name] = (t.extractfile(member).read(), 0o755 if member.mode & 0o111 else 0o644)
            elif member.issym():
                sys.exit("release: %s is a symbolic link, which a zip cannot carry" % member.name)
    return files


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main():
    p = argparse.ArgumentParser()
    for name in ("version", "commit", "tree", "out", "soundtouch-version", "kissfft-version"):
        p.add_argument("--" + name, required=True)
    p.add_argument("--epoch", type=int, required=True)
    a = p.parse_args()

    maps = [os.path.join(a.tree, n) for n in ("bramloe.map", "bramloe-match.map")]
    runtimes = runtimes_in(linked_files(maps, a.tree))
    if "SoundTouch" not in runtimes:
        sys.exit("release: the link maps show no SoundTouch; are they this build's?")
    top = "BRAMLOE-%s/" % a.version
    readme = lambda n: read(os.path.join(ROOT, "docs/windows", n)).decode("utf-8").replace("{version}", a.version)
    win = {
        top + "bramloe.exe": (read(os.path.join(a.tree, "bramloe.exe")), 0o755),
        top + "bramloe-match.exe": (read(os.path.join(a.tree, "bramloe-match.exe")), 0o755),
        top + "readme.txt": (windows_text(readme("readme.en.txt")), 0o644),
        top + "お読みください.txt": (windows_text(readme("readme.ja.txt")), 0o644),
        top + "LICENSE.txt": (windows_text(read(os.path.join(ROOT, "LICENSE")).decode("utf-8"), bom=False), 0o644),
        top + "THIRD-PARTY-NOTICES.txt": (windows_text(notices(runtimes, a.version, a.soundtouch_version,
                                                                      a.kissfft_version, a.tree)), 0o644),
    }
    source_top = "BRAMLOE-%s-source/" % a.version
    source = {source_top + name: entry for name, entry in commit_files(a.commit).items()}
    for library in ("soundtouch", "kissfft"):
        kept = os.path.join(a.tree, library, "source")
        for name in sorted(os.listdir(kept)):
            source[source_top + "third_party/%s/source/%s" % (library, name)] = (read(os.path.join(kept, name)), 0o644)

    os.makedirs(a.out, exist_ok=True)
    sums = []
    for kind, entries in (("win64", win), ("source", source)):
        name = "BRAMLOE-%s-%s.zip" % (a.version, kind)
        write_zip(os.path.join(a.out, name), entries, a.epoch)
        sums.append("%s  %s\n" % (hashlib.sha256(read(os.path.join(a.out, name))).hexdigest(), name))
    with open(os.path.join(a.out, "SHA256SUMS"), "w") as f:
        f.writelines(sums)


if __name__ == "__main__":
    main()
