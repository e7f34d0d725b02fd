"""Installs the build into a scratch root as a distribution would and checks what
a desktop needs of it: every file in place, both desktop entries and the
AppStream data valid, the manual page clean and naming every option of --help,
and the login entry's command starting the installed launcher hidden, ready for
--toggle (on a private Xvfb). Then the Debian package: its control data and
contents, and an install and a purge in a root of its own that leave nothing."""

import atexit, glob, gzip, os, re, shutil, subprocess, sys, tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import Launcher

BUILD, ID = os.environ["QUORLIN_BUILD_DIR"], "org.quorlin.Quorlin"
FILES = ["usr/bin/quorlin", f"usr/share/applications/{ID}.desktop", f"etc/xdg/autostart/{ID}.desktop",
         f"usr/share/icons/hicolor/scalable/apps/{ID}.svg", f"usr/share/metainfo/{ID}.metainfo.xml",
         "usr/share/man/man1/quorlin.1.gz", "usr/share/doc/quorlin/copyright", "usr/share/doc/quorlin/changelog.Debian.gz", "usr/libexec/quorlin/quorlin-launcher"] + [
         f"usr/share/icons/hicolor/{n}x{n}/apps/{ID}.png" for n in (48, 64, 128, 256)]


def run(*args, ok=(0,), **options):
    done = subprocess.run(args, capture_output=True, text=True, timeout=120, **options)
    assert done.returncode in ok, done
    return done.stdout + done.stderr


scratch = tempfile.mkdtemp(prefix="quorlin-install-")
dest = lambda *path: os.path.join(scratch, "dest", *path)
run("cmake", "--install", BUILD, "--prefix", "/usr", env=dict(os.environ, DESTDIR=dest()))
assert [f for f in FILES if not os.path.isfile(dest(f))] == []
[run("desktop-file-validate", dest(entry)) for entry in FILES[1:3]]
# Warnings (exit status 3) are advice; errors are not.
report = run("appstreamcli", "validate", "--no-net", dest(FILES[4]), ok=(0, 3))
assert "Validation" in report and not re.search(r"^E:", report, re.M), report
page = gzip.open(dest(FILES[5]), "rt").read()
assert run("groff", "-man", "-Tutf8", "-ww", "-z", input=page) == ""
options = set(re.findall(r"(?<![\w-])--?[a-z][\w-]*", run(dest(FILES[0]), "--help")))
page = page.replace("\\-", "-")
assert len(options) >= 7 and [o for o in options if not re.search(rf"(?<![\w-]){o}(?![\w-])", page)] == []

session = Launcher("autostart", [("org.test.alpha", "Alpha", (230, 40, 40))])
# Whatever happens, the launcher and its X server go with the check.
atexit.register(lambda: [p.kill() for p in (session.process, session.xvfb) if p] + [shutil.rmtree(session.home)])
command = re.search(r"^Exec=quorlin\b(.*)$", open(dest(FILES[2])).read(), re.M).group(1).split()
session.process = subprocess.Popen([dest(FILES[0]), *command], env=session.env, stdout=open(session.path("log"), "w"))
# The window is shown, if at all, before the catalogue is read.
session.wait("the catalogue", lambda: "PagedGridView loaded" in open(session.path("log")).read())
assert session.run("xdotool", "search", "--onlyvisible", "--name", "^Quorlin$").stdout == ""
assert session.run(dest(FILES[0]), "--toggle").returncode == 0
assert session.run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Quorlin$").stdout.split()

run("cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", scratch, cwd=scratch)
deb = glob.glob(os.path.join(scratch, "quorlin_*.deb"))[0]
assert re.search(r"^Depends: .*libqt6quick6.*\nSection: x11$", run("dpkg-deb", "-f", deb, "Depends", "Section"), re.M)
listing = run("dpkg-deb", "-c", deb)
assert [f for f in FILES if " ./" + f + "\n" not in listing] == []
os.makedirs(os.path.join(root := os.path.join(scratch, "root"), "var/lib/dpkg/updates"))
open(os.path.join(root, "var/lib/dpkg/status"), "w").close()
dpkg = ["dpkg", "--root=" + root, "--force-depends", "--force-not-root"]
run(*dpkg, "-i", deb)
assert all(os.path.isfile(os.path.join(root, f)) for f in FILES)
run(*dpkg, "--purge", "quorlin")
assert [os.path.join(d, f) for d, _, fs in os.walk(root) for f in fs if "/var/lib/dpkg" not in d] == []
shutil.rmtree(scratch)
