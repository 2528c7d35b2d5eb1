#!/usr/bin/env python3
"""The release archives (scripts/release.py) over a stand-in tree: the entries they
hold, the form of the texts, the notices the link maps call for, the sums, and the same
bytes from two runs. The MinGW runtime's real archives are named in the maps, so the
notices come from the packages that installed them."""
import hashlib
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RELEASE = os.path.join(ROOT, "scripts", "release.py")
VERSION = "9.87"


def toolchain_file(name):
    return subprocess.run(["x86_64-w64-mingw32-g++-posix", "-print-file-name=" + name],
                          capture_output=True, text=True, check=True).stdout.strip()


class Release(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="release_test.")
        cls.tree = os.path.join(cls.scratch.name, "tree")
        os.makedirs(os.path.join(cls.tree, "soundtouch", "source"))
        os.makedirs(os.path.join(cls.tree, "kissfft", "source"))
        for exe in ("bramloe.exe", "bramloe-match.exe"):
            with open(os.path.join(cls.tree, exe), "wb") as f:
                f.write(b"MZ " + exe.encode())
        with open(os.path.join(cls.tree, "soundtouch", "source", "soundtouch_1.0.orig.tar.xz"), "wb") as f:
            f.write(b"source")
        with open(os.path.join(cls.tree, "kissfft", "source", "kissfft_2.0.orig.tar.gz"), "wb") as f:
            f.write(b"source")
        with open(os.path.join(cls.tree, "kissfft", "copyright"), "w") as f:
            f.write("Copyright: 2003-2022, Mark Borgerding\nLicense: BSD-3-clause\n")
        cls.write_maps(cls, ["libstdc++.a", "libpthread.a", "libmingwex.a"])
        cls.commit = subprocess.run(["git", "-C", ROOT, "rev-parse", "HEAD"], capture_output=True,
                                    text=True, check=True).stdout.strip()
        cls.outs = [cls.run_release(cls, "out%d" % i) for i in (1, 2)]
        cls.win = zipfile.ZipFile(os.path.join(cls.outs[0], "BRAMLOE-%s-win64.zip" % VERSION))
        cls.source = zipfile.ZipFile(os.path.join(cls.outs[0], "BRAMLOE-%s-source.zip" % VERSION))

    @classmethod
    def tearDownClass(cls):
        cls.win.close()
        cls.source.close()
        cls.scratch.cleanup()

    def write_maps(self, runtimes, others=()):
        lines = ["Archive member included to satisfy reference by file (symbol)\n\n",
                 "soundtouch/lib/libSoundTouch.a(SoundTouch.cpp.obj)\n", "                  x (y)\n",
                 "kissfft/lib/libkissfft-float.a(kiss_fftr.c.obj)\n",
                 "libbramloe_win.a(a_win.cpp.obj)\n"]
        lines += ["%s(member.o)\n" % toolchain_file(name) for name in runtimes]
        lines += ["%s(member.o)\n" % path for path in others]
        lines += ["\nDiscarded input sections\n\n", "LOAD %s\n" % toolchain_file("crt2.o")]
        for name in ("bramloe.map", "bramloe-match.map"):
            with open(os.path.join(self.tree, name), "w") as f:
                f.writelines(lines)

    def run_release(self, out, check=True):
        path = os.path.join(self.scratch.name, out)
        result = subprocess.run([sys.executable, RELEASE, "--version", VERSION, "--commit", self.commit,
                                 "--epoch", "1700000000", "--tree", self.tree, "--out", path,
                                 "--soundtouch-version", "1.0-1", "--kissfft-version", "2.0-1"], capture_output=True, text=True)
        if check:
            assert result.returncode == 0, result.stderr
            return path
        return result

    def text(self, name):
        return self.win.read("BRAMLOE-%s/%s" % (VERSION, name))

    def test_win64_entries(self):
        top = "BRAMLOE-%s/" % VERSION
        self.assertEqual(sorted(top + n for n in (
            "bramloe.exe", "bramloe-match.exe", "readme.txt", "お読みください.txt", "LICENSE.txt",
            "THIRD-PARTY-NOTICES.txt")), self.win.namelist())
        self.assertEqual(b"MZ bramloe.exe", self.text("bramloe.exe"))

    def test_texts_for_notepad(self):
        cases = [("readme.txt", True, b"BRAMLOE 9.87"), ("お読みください.txt", True, "歌詞".encode()),
                 ("THIRD-PARTY-NOTICES.txt", True, b"LESSER GENERAL PUBLIC LICENSE"),
                 ("LICENSE.txt", False, b"MIT License")]
        for name, bom, wanted in cases:
            data = self.text(name)
            self.assertEqual(bom, data.startswith(b"\xef\xbb\xbf"), name)
            self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), name)
            self.assertIn(wanted, data, name)
            self.assertNotIn(b"{version}", data, name)
            data.decode("utf-8")
        self.assertIn(b"BRAMLOE-9.87-source.zip", self.text("readme.txt"))
        self.assertIn(b"2026 the BRAMLOE developers", self.text("LICENSE.txt"))

    def test_notices_follow_the_maps(self):
        notices = self.text("THIRD-PARTY-NOTICES.txt").decode("utf-8")
        for heading in ("SoundTouch 1.0-1", "GCC runtime libraries", "MinGW-w64 runtime, winpthreads",
                        "GCC RUNTIME LIBRARY EXCEPTION", "Copyright (c) Olli Parviainen",
                        "KissFFT 2.0-1", "Copyright: 2003-2022, Mark Borgerding\r\nLicense: BSD-3-clause"):
            self.assertIn(heading, notices)

    def test_only_known_libraries_pass(self):
        cases = [(["libquadmath.a", "libssp.a"], [], True),
                 (["libstdc++.a"], ["/usr/lib/libunknown.a"], False)]
        for runtimes, others, passes in cases:
            self.write_maps(runtimes, others)
            result = self.run_release("known" if passes else "unknown", check=False)
            self.assertEqual(passes, result.returncode == 0, result.stderr)
            for other in others:
                self.assertIn(other, result.stderr)

    def test_source_holds_the_commit_and_soundtouch(self):
        tracked = subprocess.run(["git", "-C", ROOT, "ls-tree", "-r", "--name-only", self.commit],
                                 capture_output=True, text=True, check=True).stdout.split("\n")
        top = "BRAMLOE-%s-source/" % VERSION
        wanted = sorted([top + n for n in tracked if n] +
                        [top + "third_party/soundtouch/source/soundtouch_1.0.orig.tar.xz",
                         top + "third_party/kissfft/source/kissfft_2.0.orig.tar.gz"])
        self.assertEqual(wanted, self.source.namelist())
        mode = self.source.getinfo(top + "scripts/release.sh").external_attr >> 16
        self.assertTrue(mode & 0o111, "scripts keep their executable bit")

    def test_same_bytes_and_sums(self):
        names = ["BRAMLOE-%s-win64.zip" % VERSION, "BRAMLOE-%s-source.zip" % VERSION, "SHA256SUMS"]
        for name in names:
            a, b = (open(os.path.join(out, name), "rb").read() for out in self.outs)
            self.assertEqual(a, b, name)
        sums = open(os.path.join(self.outs[0], "SHA256SUMS")).read().splitlines()
        self.assertEqual(2, len(sums))
        for line in sums:
            digest, name = line.split("  ")
            self.assertEqual(hashlib.sha256(open(os.path.join(self.outs[0], name), "rb").read()).hexdigest(), digest)
        stamps = {i.date_time for i in self.win.infolist() + self.source.infolist()}
        self.assertEqual({(2023, 11, 14, 22, 13, 20)}, stamps)


if __name__ == "__main__":
    unittest.main()
