#!/usr/bin/python3
"""Zips the files of a folder the same way every time: sorted, dated SOURCE_DATE_EPOCH, with
fixed permissions and no other metadata. With --precompressed, each text file and WebAssembly
module also goes in as NAME.br and NAME.gz, made by Debian's brotli and gzip, for a static host
that serves precompressed files. With --folder NAME, the files go into a folder of that name.

usage: zip_folder.py [--precompressed] [--folder NAME] FOLDER ARCHIVE
"""

import os
import subprocess
import sys
import time
import zipfile

COMPRESSIBLE = (".html", ".js", ".wasm", ".webmanifest", ".svg", ".css", ".json")


def compressed_forms(name, data):
    """NAME.br and NAME.gz. gzip -n leaves out the name and the time, which would differ."""
    if not name.endswith(COMPRESSIBLE):
        return []
    brotli = subprocess.run(["brotli", "--best", "--stdout"], input=data, capture_output=True,
                            check=True).stdout
    gzip = subprocess.run(["gzip", "-9", "-n", "--stdout"], input=data, capture_output=True,
                          check=True).stdout
    return [(name + ".br", brotli), (name + ".gz", gzip)]


def main():
    arguments = sys.argv[1:]
    precompressed = "--precompressed" in arguments
    arguments = [argument for argument in arguments if argument != "--precompressed"]
    prefix = ""
    if arguments[0] == "--folder":
        prefix = arguments[1] + "/"
        arguments = arguments[2:]
    folder, archive = arguments
    stamp = time.gmtime(int(os.environ.get("SOURCE_DATE_EPOCH", "315532800")))[:6]
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as out:
        for name in sorted(os.listdir(folder)):
            with open(os.path.join(folder, name), "rb") as source:
                data = source.read()
            forms = [(name, data)] + (compressed_forms(name, data) if precompressed else [])
            for entry_name, content in forms:
                entry = zipfile.ZipInfo(prefix + entry_name, date_time=stamp)
                entry.external_attr = 0o644 << 16
                entry.compress_type = zipfile.ZIP_DEFLATED
                out.writestr(entry, content)


if __name__ == "__main__":
    main()
