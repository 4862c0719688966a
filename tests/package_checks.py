#!/usr/bin/env python3
"""Checks the packages as the people who install them meet them.

- The .deb: lintian finds no error and no warning; every package it depends on can be installed
  here; its metainfo and desktop entry validate; unpacked, its program opens its window.
- The Windows installer, under Wine in a prefix of its own: /S installs runby.exe over a build
  numbered lower into Program Files with a Start-menu shortcut and one entry in the list of
  programs, whose quiet uninstall removes them all; /S /CurrentUser installs for the user alone.
- runby.exe, the installer, its uninstaller and the MSI carry a valid signature by CERTIFICATE.
- The MSI, under msiexec in Wine: the one numbered lower installs, the current one replaces it
  and leaves one entry in the list of programs, the lower one cannot replace it back, and /x
  removes everything.
- The zip holds the portable runby.exe, the licence and the read-me.
- The site's zip holds the page, the program and its service worker.

usage: package_checks.py PACKAGE_FOLDER OLDER_PACKAGE_FOLDER CERTIFICATE
"""

import glob
import gzip
import os
import re
import subprocess
import sys
import tempfile
import zipfile

from private_display import start_xvfb

WINE_ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}
PROGRAM_FILES = "drive_c/Program Files/Runby"
START_MENU = "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Runby.lnk"
UNINSTALL_KEYS = r"\Software\Microsoft\Windows\CurrentVersion\Uninstall"
USER_PROGRAMS = "drive_c/users/*/AppData/Local/Programs/Runby/runby.exe"
USER_START_MENU = "drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Runby.lnk"
# Where Wine's msiexec puts a per-machine shortcut, which Windows puts in the all-users menu.
MSI_SHORTCUTS = ["drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Runby.lnk",
                 "drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Runby.lnk"]

results = {"passed": 0, "failed": 0}


def check(ok, what, detail=""):
    results["passed" if ok else "failed"] += 1
    print(("ok   " if ok else "FAIL ") + what + ("" if ok or not detail else "\n     " + detail))


def run(*args, env=None, timeout=120):
    return subprocess.run(args, capture_output=True, text=True, env=env, timeout=timeout)


def the(pattern, folder):
    found = glob.glob(os.path.join(folder, pattern))
    if len(found) != 1:
        sys.exit(f"expected one {pattern} in {folder}, found {found}")
    return found[0]


def check_deb(deb, display_env):
    lintian = run("lintian", "--fail-on", "error,warning", deb)
    tags = [line for line in lintian.stdout.splitlines() if re.match(r"[EW]: ", line)]
    check(lintian.returncode == 0 and not tags, "lintian: no error, no warning", "\n".join(tags))

    depends = run("dpkg-deb", "--field", deb, "Depends").stdout
    names = [re.split(r"[\s(]", alternative.strip())[0]
             for alternative in re.split(r"[,|]", depends) if alternative.strip()]
    missing = [name for name in names if run("apt-cache", "show", name).returncode != 0]
    check(bool(names) and not missing, f"the {len(names)} dependencies can be installed",
          "not known to apt: " + " ".join(missing))

    with tempfile.TemporaryDirectory() as unpacked:
        subprocess.run(["dpkg-deb", "-x", deb, unpacked], check=True)
        metainfo = the("usr/share/metainfo/*.metainfo.xml", unpacked)
        valid = run("appstreamcli", "validate", "--pedantic", "--no-net", metainfo)
        check(valid.returncode == 0, "metainfo valid", valid.stdout)
        entry = run("desktop-file-validate", the("usr/share/applications/*.desktop", unpacked))
        check(entry.returncode == 0 and not entry.stdout, "desktop entry valid", entry.stdout)
        program = subprocess.Popen([os.path.join(unpacked, "usr/bin/runby")], env=display_env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            window = run("xdotool", "search", "--sync", "--onlyvisible", "--name", "Tarnvale",
                         env=display_env, timeout=30)
            check(window.returncode == 0, "the unpacked program opens its window")
        except subprocess.TimeoutExpired:
            check(False, "the unpacked program opens its window", "no window within 30 s")
        finally:
            program.terminate()
            program.wait(timeout=30)


def wine_prefix(display_env, prefix):
    env = {**display_env, **WINE_ENV, "WINEPREFIX": prefix}
    subprocess.run(["wineboot", "--init"], env=env, capture_output=True, check=True, timeout=300)
    return env


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def msiexec(env, *args):
    result = run("wine", "msiexec", *args, "/qn", env=env, timeout=300)
    run("wineserver", "-w", env=env)
    return result.returncode


def programs_entries(env, root="HKLM"):
    """The entries of the list of programs named Runby, each as its values."""
    listing = run("wine", "reg", "query", root + UNINSTALL_KEYS, "/s",
                  env=env).stdout.replace("\r", "")
    entries = [dict(re.findall(r"^[ \t]+(\w+)[ \t]+REG_\w+[ \t]*(.*?)[ \t]*$", block, re.MULTILINE))
               for block in re.split(r"^HKEY_\S+$", listing, flags=re.MULTILINE)]
    return [entry for entry in entries if entry.get("DisplayName") == "Runby"]


def check_msi(msi, older, display_env):
    version = re.search(r"runby-(.*)-win64\.msi$", msi).group(1)
    # Windows shows the icon and works out the size of the entry; Wine's msiexec does neither.
    properties = dict(line.split("\t", 1) for line in
                      run("msiinfo", "export", msi, "Property").stdout.splitlines()[3:])
    check(properties.get("ARPPRODUCTICON") == "runby.ico" and properties.get("UpgradeCode") ==
          "{8C4A8E3E-2F7B-4B8A-9D64-5B3E8F1C2A71}" and properties.get("ALLUSERS") == "1",
          "the MSI installs per machine, with the icon and the UpgradeCode of every version",
          str(properties))
    with tempfile.TemporaryDirectory() as prefix:
        env = wine_prefix(display_env, prefix)
        program = os.path.join(prefix, PROGRAM_FILES, "runby.exe")
        shortcuts = lambda: [path for pattern in MSI_SHORTCUTS  # noqa: E731
                             for path in glob.glob(os.path.join(prefix, pattern))]
        installed_older = msiexec(env, "/i", windows_path(older)) == 0
        upgraded = msiexec(env, "/i", windows_path(msi)) == 0
        entries = programs_entries(env)
        check(installed_older and upgraded and os.path.isfile(program) and shortcuts(),
              "msiexec /i installs a lower-numbered MSI, then this one over it, with runby.exe "
              "in Program Files and a Start-menu shortcut")
        expected = {"DisplayVersion": version, "Publisher": "Tarnvale",
                    "HelpLink": "https://www.tarnvale.example/",
                    "InstallLocation": "C:\\Program Files\\Runby\\"}
        check(len(entries) == 1 and all(entries[0].get(key) == value
                                        for key, value in expected.items()),
              "one entry in the list of programs, with version, publisher, help link and folder",
              str(entries))
        check(msiexec(env, "/i", windows_path(older)) != 0
              and [entry.get("DisplayVersion") for entry in programs_entries(env)] == [version],
              "the lower-numbered MSI cannot replace it")
        removed = msiexec(env, "/x", windows_path(msi)) == 0
        leftover = run("wine", "reg", "query", r"HKLM\Software\Tarnvale", env=env).returncode == 0
        check(removed and not os.path.exists(program) and not shortcuts()
              and not programs_entries(env) and not leftover,
              "msiexec /x removes the program, the shortcut and the entry, and leaves no key")
        run("wineserver", "-k", env=env)


def quiet_uninstall(env, entry):
    """Runs the entry's QuietUninstallString, as a tool that deploys software would."""
    program, arguments = re.fullmatch(r'"([^"]+)"\s*(.*)', entry["QuietUninstallString"]).groups()
    run("wine", program, *arguments.split(), env=env)
    run("wineserver", "-w", env=env)


def check_installer(installer, older, display_env, verify):
    version = re.search(r"runby-(.*)-win64-setup\.exe$", installer).group(1)
    with tempfile.TemporaryDirectory() as prefix:
        env = wine_prefix(display_env, prefix)
        run("wine", older, "/S", env=env)
        run("wineserver", "-w", env=env)
        run("wine", installer, "/S", env=env)
        run("wineserver", "-w", env=env)
        program = os.path.join(prefix, PROGRAM_FILES, "runby.exe")
        shortcut = os.path.join(prefix, START_MENU)
        check(os.path.isfile(program) and os.path.isfile(shortcut),
              "/S installs runby.exe into Program Files with a Start-menu shortcut for all users")
        entries = programs_entries(env)
        expected = {"DisplayVersion": version, "Publisher": "Tarnvale",
                    "DisplayIcon": r"C:\Program Files\Runby\runby.exe",
                    "InstallLocation": r"C:\Program Files\Runby",
                    "QuietUninstallString": r'"C:\Program Files\Runby\Uninstall.exe" /S /AllUsers'}
        check(len(entries) == 1 and all(entries[0].get(key) == value
                                        for key, value in expected.items())
              and int(entries[0].get("EstimatedSize", "0"), 16) > 0,
              "over an older version, one entry in the list of programs with version, "
              "publisher, icon, folder, quiet uninstall and size", str(entries))
        verify(os.path.join(prefix, PROGRAM_FILES, "Uninstall.exe"), "the installed uninstaller")
        quiet_uninstall(env, entries[0])
        leftover = run("wine", "reg", "query", r"HKLM\Software\Tarnvale", env=env).returncode == 0
        check(not os.path.exists(program) and not os.path.exists(shortcut)
              and not programs_entries(env) and not leftover,
              "its quiet uninstall removes the program, the shortcut and the entry, and leaves "
              "no key")
        run("wineserver", "-k", env=env)
    with tempfile.TemporaryDirectory() as prefix:
        env = wine_prefix(display_env, prefix)
        run("wine", installer, "/S", "/CurrentUser", env=env)
        run("wineserver", "-w", env=env)
        own = [path for pattern in (USER_PROGRAMS, USER_START_MENU)
               for path in glob.glob(os.path.join(prefix, pattern))]
        entries = programs_entries(env, "HKCU")
        check(len(own) == 2 and len(entries) == 1 and not programs_entries(env)
              and entries[0].get("QuietUninstallString", "").endswith("/S /CurrentUser"),
              "/S /CurrentUser installs for the user alone: their programs folder and Start "
              "menu, an entry under HKCU and none under HKLM", str(entries))
        if entries:
            quiet_uninstall(env, entries[0])
        check(not any(glob.glob(os.path.join(prefix, pattern))
                      for pattern in (USER_PROGRAMS, USER_START_MENU))
              and not programs_entries(env, "HKCU"),
              "and its quiet uninstall removes them")
        run("wineserver", "-k", env=env)


def check_zip(archive):
    with zipfile.ZipFile(archive) as portable:
        names = sorted(os.path.basename(name) for name in portable.namelist())
    check(names == ["LICENSE.txt", "README.txt", "runby.exe"],
          "the zip holds runby.exe, the licence and the read-me", str(names))


def check_site(archive):
    with zipfile.ZipFile(archive) as site:
        files = {name: site.read(name) for name in site.namelist()}
    needed = {"index.html", "runby.js", "runby.wasm", "sw.js", "manifest.webmanifest"}
    check(needed <= set(files), "the site's zip holds the page, the program and its service worker",
          str(sorted(needed - set(files))))
    wrong = [name for name in needed for form, expand in ((".br", brotli_expanded),
                                                           (".gz", gzip.decompress))
             if name + form not in files or expand(files[name + form]) != files[name]]
    whole = sum(len(files[name]) for name in needed)
    sent = sum(len(files[name + ".br"]) for name in needed if name + ".br" in files)
    check(not wrong, f"beside each, its brotli and gzip forms ({whole} bytes sent as {sent})",
          str(wrong))


def brotli_expanded(data):
    return subprocess.run(["brotli", "--decompress", "--stdout"], input=data,
                          capture_output=True, check=True).stdout


def signature_check(certificate):
    """A check that a file carries a valid Authenticode signature by the certificate."""
    def verify(path, what):
        result = run("osslsigncode", "verify", "-CAfile", certificate, "-in", path)
        check(result.returncode == 0, f"{what} is signed", result.stdout[-400:])
    return verify


def check_zip_signed(archive, verify):
    with tempfile.TemporaryDirectory() as folder:
        with zipfile.ZipFile(archive) as portable:
            program = next(name for name in portable.namelist() if name.endswith("runby.exe"))
            portable.extract(program, folder)
        verify(os.path.join(folder, program), "runby.exe")


def main():
    folder, older, certificate = sys.argv[1:4]
    verify = signature_check(certificate)
    xvfb, display = start_xvfb()
    display_env = {**os.environ, "DISPLAY": display}
    display_env.pop("QT_QPA_PLATFORM", None)
    try:
        check_deb(the("runby_*_amd64.deb", folder), display_env)
        installer = the("runby-*-win64-setup.exe", folder)
        verify(installer, "the installer")
        check_installer(installer, the("runby-*-win64-setup.exe", older), display_env, verify)
        msi = the("runby-*-win64.msi", folder)
        verify(msi, "the MSI")
        check_msi(msi, the("runby-*-win64.msi", older), display_env)
        check_zip(the("runby-*-win64.zip", folder))
        check_zip_signed(the("runby-*-win64.zip", folder), verify)
        check_site(the("runby-*-web.zip", folder))
    finally:
        xvfb.terminate()
        xvfb.wait(timeout=30)
    print(f"{results['passed']} passed, {results['failed']} failed")
    sys.exit(1 if results["failed"] else 0)


if __name__ == "__main__":
    main()
