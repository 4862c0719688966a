#!/usr/bin/python3
"""Start-up of the calculator's page in headless Chromium: the time from navigation to the first
paint with content and to the moment the calculator can take its first speed (the page's
"runby-ready" mark), on a first visit (a new browser, nothing cached) and on a repeat visit (the
service worker's cache), as medians, each also as a ratio to a blank page loaded in the same
browser just before. Prints the size of what a first visit downloads, gzipped, too.

usage: web_startup.py SITE_FOLDER [RUNS]
"""

import gzip
import os
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from browser_test import Page, browser, serve  # noqa: E402  (found through the path just set)

READY = "return performance.getEntriesByName('runby-ready')[0].startTime"
PAINTED = "return performance.getEntriesByName('first-contentful-paint')[0].startTime"
LOADED = "return performance.getEntriesByType('navigation')[0].loadEventEnd"
BLANK = "<!doctype html><html lang=en><meta charset=utf-8><title>blank</title><p>blank</p>"


def blank_page_time(driver, url):
    driver.get(url)
    return driver.execute_script(LOADED)


def report(what, times, blanks):
    ratios = [time / blank for time, blank in zip(times, blanks)]
    print(f"{what:34} {statistics.median(times):6.1f} ms, {statistics.median(ratios):5.2f} times "
          f"the blank page ({statistics.median(blanks):.1f} ms)")


def main():
    site = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    server = serve(site)
    blank_folder = tempfile.TemporaryDirectory()
    with open(os.path.join(blank_folder.name, "index.html"), "w", encoding="utf-8") as blank:
        blank.write(BLANK)
    blank_server = serve(blank_folder.name)
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    blank_url = f"http://127.0.0.1:{blank_server.server_address[1]}/"
    times = {key: [] for key in ("first", "first paint", "repeat", "repeat paint", "blank first",
                                 "blank repeat")}
    for _ in range(runs):
        driver = browser()
        try:
            page = Page(driver, url)
            times["blank first"].append(blank_page_time(driver, blank_url))
            page.open()
            times["first"].append(driver.execute_script(READY))
            times["first paint"].append(driver.execute_script(PAINTED))
            page.wait(lambda: driver.execute_script("return !!navigator.serviceWorker.controller")
                      or driver.refresh() or False, 10)
            times["blank repeat"].append(blank_page_time(driver, blank_url))
            page.open()
            times["repeat"].append(driver.execute_script(READY))
            times["repeat paint"].append(driver.execute_script(PAINTED))
        finally:
            driver.quit()
    server.shutdown()
    blank_server.shutdown()
    blank_folder.cleanup()
    print(f"{runs} runs, medians")
    report("first visit, first paint", times["first paint"], times["blank first"])
    report("first visit, first result possible", times["first"], times["blank first"])
    report("repeat visit, first paint", times["repeat paint"], times["blank repeat"])
    report("repeat visit, first result possible", times["repeat"], times["blank repeat"])
    sizes = {name: len(gzip.compress(open(os.path.join(site, name), "rb").read(), 9))
             for name in ("index.html", "runby.js", "runby.wasm")}
    print("gzipped: " + ", ".join(f"{name} {size} B" for name, size in sizes.items())
          + f", total {sum(sizes.values()) / 1024:.1f} KiB")


if __name__ == "__main__":
    main()
