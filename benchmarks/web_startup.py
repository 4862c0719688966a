#!/usr/bin/python3
"""Start-up of the calculator's page in headless Chromium: the time from navigation to the moment
the calculator can take its first speed (the page's "runby-ready" mark), on a first visit (a new
browser, nothing cached) and on a repeat visit (the service worker's cache), as medians. Prints
the size of what a first visit downloads, gzipped, too.

usage: web_startup.py SITE_FOLDER [RUNS]
"""

import gzip
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from browser_test import Page, browser, serve  # noqa: E402  (found through the path just set)

READY = "return performance.getEntriesByName('runby-ready')[0].startTime"


def main():
    site = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    server = serve(site)
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    first, repeat = [], []
    for _ in range(runs):
        driver = browser()
        try:
            page = Page(driver, url)
            page.open()
            first.append(driver.execute_script(READY))
            page.wait(lambda: driver.execute_script("return !!navigator.serviceWorker.controller")
                      or driver.refresh() or False, 10)
            page.open()
            repeat.append(driver.execute_script(READY))
        finally:
            driver.quit()
    server.shutdown()
    sizes = {name: len(gzip.compress(open(os.path.join(site, name), "rb").read(), 9))
             for name in ("index.html", "runby.js", "runby.wasm")}
    print(f"first visit  {statistics.median(first):6.1f} ms to the first result possible "
          f"({runs} runs, median)")
    print(f"repeat visit {statistics.median(repeat):6.1f} ms")
    print("gzipped: " + ", ".join(f"{name} {size} B" for name, size in sizes.items())
          + f", total {sum(sizes.values()) / 1024:.1f} KiB")


if __name__ == "__main__":
    main()
