#!/usr/bin/python3
"""Zips the files of a folder the same way every time: sorted, dated SOURCE_DATE_EPOCH, with
fixed permissions and no other metadata.

usage: zip_folder.py FOLDER ARCHIVE
"""

import os
import sys
import time
import zipfile


def main():
    folder, archive = sys.argv[1], sys.argv[2]
    stamp = time.gmtime(int(os.environ.get("SOURCE_DATE_EPOCH", "315532800")))[:6]
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as out:
        for name in sorted(os.listdir(folder)):
            entry = zipfile.ZipInfo(name, date_time=stamp)
            entry.external_attr = 0o644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as data:
                out.writestr(entry, data.read())


if __name__ == "__main__":
    main()
