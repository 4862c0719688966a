#!/usr/bin/python3
"""Drives the calculator's page in Debian's headless Chromium as a person would: the key sessions
that every window runs, keys sent back to back, the Tab order, Ctrl+R and its dialog, a reload
offline, the phone layout, the installability check, and no error in the console.

With the path of axe-core's axe.min.js, it also runs axe on the page at both widths, with the
dialog shut and open; with Lighthouse's command besides, a Lighthouse mobile run on the site.

usage: browser_test.py SITE_FOLDER [AXE_MIN_JS [LIGHTHOUSE]]
       browser_test.py --calculates SITE_FOLDER     the built page calculates: what a build checks
"""

import gzip
import json
import os
import shutil
import subprocess
import sys
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.common.exceptions import WebDriverException

from key_sessions import read_sessions
from driving import QuietHandler, check, finish, serve
from private_display import eventually

FIELDS = ["txtImperialSpeed", "txtMetricSpeed", "txtRunbyInches", "txtRunbyMillimeters"]
TYPICAL = ["150", "0.762", "4.5", "114.3"]
# Checks that the design fails on purpose: the positive tab indexes of its Tab order and the red
# caption of the selected option, which gets darker when more contrast is asked for.
DESIGNED_FAILURES = {"tabindex", "color-contrast"}
# How long a state may take to show on a busy machine.
DEADLINE = 30
KEYS = {"Return": Keys.RETURN, "KP_Enter": Keys.ENTER, "Tab": Keys.TAB, "Left": Keys.ARROW_LEFT,
        "Right": Keys.ARROW_RIGHT, "Up": Keys.ARROW_UP, "Down": Keys.ARROW_DOWN,
        "Escape": Keys.ESCAPE, "Alt_L": Keys.ALT}


def browser():
    options = webdriver.ChromeOptions()
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1024,768"]:
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class Page:
    def __init__(self, driver, url):
        self.driver = driver
        self.url = url

    def open(self):
        self.driver.get(self.url)
        self.wait(lambda: self.driver.execute_script(
            "return performance.getEntriesByName('runby-ready').length") > 0)

    def wait(self, condition, seconds=DEADLINE):
        return eventually(condition, seconds)

    def fields(self):
        return [self.driver.find_element(By.ID, name).get_attribute("value") for name in FIELDS]

    def focus(self):
        return self.driver.execute_script("return document.activeElement.id")

    def keys(self, *keys):
        """Every key in one go: none waits for the page to handle the one before."""
        actions = ActionChains(self.driver)
        for key in keys:
            if key.startswith("alt+") or key.startswith("ctrl+"):
                modifier = Keys.ALT if key.startswith("alt+") else Keys.CONTROL
                actions.key_down(modifier).send_keys(key.split("+")[1]).key_up(modifier)
            else:
                actions.send_keys(key)
        actions.perform()

    def set_clipboard(self, text):
        self.driver.execute_cdp_cmd("Browser.grantPermissions", {
            "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
        self.driver.execute_async_script(
            "navigator.clipboard.writeText(arguments[0]).then(arguments[1])", text)

    def send_session(self, steps):
        """A key session's keys in one go; a paste's text goes to the clipboard first."""
        actions = ActionChains(self.driver)
        for step in steps:
            if step.kind == "key":
                actions.send_keys(KEYS[step.value])
            elif step.kind in ("alt", "ctrl"):
                # The modifier released before the letter, as people often do.
                modifier = Keys.ALT if step.kind == "alt" else Keys.CONTROL
                actions.key_down(modifier).key_down(step.value).key_up(modifier)
                actions.key_up(step.value)
            elif step.kind == "paste":
                self.set_clipboard(step.value)
                actions.key_down(Keys.CONTROL).send_keys("v").key_up(Keys.CONTROL)
            elif step.kind == "click" and step.value == "OK":
                # A person clicks OK once the box shows.
                actions.perform()
                self.wait(lambda: self.driver.execute_script(
                    "return document.getElementById('runbyInfo').open"))
                actions = ActionChains(self.driver)
                actions.click(self.driver.find_element(By.CSS_SELECTOR, "#runbyInfo button"))
            elif step.kind == "click":
                actions.click(self.driver.find_element(By.ID, step.value))
            else:
                actions.send_keys(step.value)
        actions.perform()


def check_key_sessions(page, width, language="en"):
    for session in read_sessions(language):
        page.open()
        page.send_session(session.steps)
        expected = list(session.fields)
        page.wait(lambda: page.fields() == expected)
        check(page.fields() == expected, f"{language}: {session.what}, at {width} px",
              page.fields())


# The captions whose text runs past their control's box, the menu's among them.
CLIPPED = """return [...document.querySelectorAll(
    '#client span.control, #client label.control, #client button.control, #menu button')]
  .filter((e) => e.offsetParent && (e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight))
  .map((e) => e.dataset.name || e.id);"""


def check_languages(page):
    """A reader whose browser asks for French first is sent to the page in French; in each
    language every caption fits its control at the designed width and on a phone, and the key
    sessions are typed with the language's access keys."""
    agent = page.driver.execute_script("return navigator.userAgent")
    try:
        for language, accepted in (("en", "en-US,en"), ("fr", "fr-CA,fr;q=0.9,en;q=0.8")):
            page.driver.execute_cdp_cmd("Emulation.setUserAgentOverride",
                                        {"userAgent": agent, "acceptLanguage": accepted})
            for width in (1024, 390):
                page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": width, "height": 844, "deviceScaleFactor": 1, "mobile": width < 1024})
                page.open()
                shown = page.driver.execute_script("return document.documentElement.lang")
                check(shown == language, f"{accepted} asked for, the page in {language}", shown)
                clipped = page.driver.execute_script(CLIPPED)
                check(not clipped, f"{language}: every caption fits at {width} px", clipped)
            page.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
            if language != "en":
                check_key_sessions(page, 1024, language)
    finally:
        page.driver.execute_cdp_cmd("Emulation.setUserAgentOverride",
                                    {"userAgent": agent, "acceptLanguage": "en-US,en"})


CONTROL_PLACES = """return [...document.querySelectorAll('#client .control')].map((box) => {
    const r = box.getBoundingClientRect();
    return [box.dataset.name, r.left, r.top, r.width, r.height, getComputedStyle(box).color,
            getComputedStyle(box).backgroundColor];
});"""


def check_drawn_before_ready(page):
    """Before the module arrives, the page shows every control where it will stay and in the
    colours it will keep; a speed typed then and its Enter are handled once the module is ready.
    Run first, on a new browser: the service worker would send the module from its cache."""
    QuietHandler.module_sent.clear()
    try:
        page.driver.get(page.url)
        page.wait(lambda: page.driver.execute_script(
            "return document.readyState") == "complete" or page.driver.execute_script(
            "return document.querySelectorAll('#client .control').length") == 15)
        before = page.driver.execute_script(CONTROL_PLACES)
        page.keys("150", Keys.ENTER)
        waiting = page.driver.execute_script(
            "return performance.getEntriesByName('runby-ready').length") == 0
    finally:
        QuietHandler.module_sent.set()
    page.wait(lambda: page.fields() == TYPICAL)
    after = page.driver.execute_script(CONTROL_PLACES)
    check(waiting and len(before) == 15 and before == after,
          "the controls are drawn before the module is ready, as they stay",
          [pair for pair in zip(before, after) if pair[0] != pair[1]] or before)
    check(page.fields() == TYPICAL and page.focus() == "txtImperialSpeed",
          "a speed and Enter typed before then are calculated once it is", page.fields())


def check_screen_reader_view(page):
    """The result is told through the status region; the page has a heading of its own; the
    default button's frame is on Clear only while Clear has the focus."""
    page.open()
    heading = page.driver.execute_script(
        "return [...document.querySelectorAll('h1')].map((h) => h.textContent)")
    check(heading == ["Minimum car runby calculator"], "one level-one heading names the page",
          heading)
    tree = page.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    nodes = {node["nodeId"]: node for node in tree}

    def radios_below(node):
        below = [nodes[child] for child in node.get("childIds", []) if child in nodes]
        return sum(([child["name"]["value"]] if child["role"]["value"] == "radio"
                    else radios_below(child) for child in below), [])

    groups = [(node["name"]["value"], radios_below(node)) for node in tree
              if node.get("role", {}).get("value") == "radiogroup"]
    check(groups == [("Units", ["Imperial", "Metric"])],
          "the unit options form a group named Units", groups)
    status = page.driver.find_element(By.ID, "announcement")
    page.keys("150", Keys.ENTER)
    sentence = "Minimum runby 4.5 inches, 114.3 millimeters; 0.762 meters per second"
    page.wait(lambda: status.get_attribute("textContent") == sentence)
    check(status.get_attribute("textContent") == sentence and status.get_attribute("role") ==
          "status" and page.focus() == "txtImperialSpeed",
          "the status region tells the result; the focus stays", status.get_attribute("textContent"))
    page.keys("alt+l", "0", Keys.ENTER)
    cleared = "The speed is not positive; the fields were cleared."
    page.wait(lambda: status.get_attribute("textContent") == cleared)
    check(status.get_attribute("textContent") == cleared, "and that a speed that is not positive "
          "clears the fields", status.get_attribute("textContent"))
    frames = []
    for _ in range(3):
        page.keys(Keys.TAB)
        frames.append(page.driver.execute_script(
            "return [document.activeElement.id, ...['cmdCalculate', 'cmdClear'].map((id) =>"
            " getComputedStyle(document.getElementById(id)).borderTopColor)]"))
    blue, grey = "rgb(0, 120, 215)", "rgb(173, 173, 173)"
    check(frames == [["cmdCalculate", blue, grey], ["cmdClear", grey, blue],
                     ["optImperial", blue, grey]],
          "the default frame on Calculate, on Clear while it has the focus", frames)


def axe_violations(page, script):
    """axe-core's violations of serious or critical impact, as [rule, [elements]]."""
    page.driver.execute_script(script)
    return page.driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        axe.run(document).then((result) => done(result.violations
            .filter((v) => v.impact == "serious" || v.impact == "critical")
            .map((v) => [v.id, v.nodes.map((n) => n.target.join(" "))])));""")


def check_axe(page, script, width):
    """No serious violation but two that the design makes: the positive tab indexes of its Tab
    order, and the red caption of the selected option, which gets darker when more contrast is
    asked for."""
    for dialog in (False, True):
        page.open()
        if dialog:
            page.keys("ctrl+r")
            page.wait(lambda: page.driver.execute_script(
                "return document.getElementById('runbyInfo').open"))
        where = f"at {width} px, dialog {'open' if dialog else 'shut'}"
        found = axe_violations(page, script)
        check(all(rule in DESIGNED_FAILURES for rule, _ in found) and
              all(nodes == ['label[data-name="optImperial"] > span']
                  for rule, nodes in found if rule == "color-contrast"),
              f"axe finds nothing serious {where}", found)
    page.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
        "features": [{"name": "prefers-contrast", "value": "more"}]})
    try:
        page.open()
        found = [rule for rule, _ in axe_violations(page, script) if rule != "tabindex"]
        check(not found, f"with more contrast, no colour below 4.5:1 at {width} px", found)
    finally:
        page.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})


def check_wide_result(page):
    page.open()
    page.keys("alt+m", "0.75", Keys.ENTER)
    page.wait(lambda: page.fields()[2] == "4.429133858268")
    titles = [page.driver.find_element(By.ID, name).get_attribute("title") for name in FIELDS]
    check(titles == ["", "", "4.429133858268", ""], "a result wider than its field in its tooltip",
          titles)


def check_focus_moves_once(page):
    """A click on Metric gives the focus to the metric field without passing through the imperial
    one, where a screen reader would name it."""
    page.open()
    page.driver.execute_script("""
        window.focusTrail = [];
        document.addEventListener("focusin", event => focusTrail.push(event.target.id));""")
    page.driver.find_element(By.ID, "optMetric").click()
    page.wait(lambda: page.focus() == "txtMetricSpeed")
    trail = page.driver.execute_script("return focusTrail")
    check("txtImperialSpeed" not in trail and trail[-1:] == ["txtMetricSpeed"],
          "a click on Metric moves the focus to the metric speed, not through the imperial",
          trail)


def check_tab_order(page):
    page.open()
    visited = []
    for expected in ["cmdCalculate", "cmdClear", "optImperial"]:
        page.keys(Keys.TAB)
        page.wait(lambda: page.focus() == expected)
        visited.append(page.focus())
    check(visited == ["cmdCalculate", "cmdClear", "optImperial"], "Tab order", visited)


def check_runby_info(page):
    page.open()
    page.keys("12", "ctrl+r")
    dialog = page.driver.find_element(By.ID, "runbyInfo")
    opened = page.wait(lambda: dialog.get_attribute("open") is not None)
    lines = page.driver.execute_script(
        "return document.querySelector('#runbyInfo pre').textContent.split('\\n')")
    check(opened and len(lines) == 23 and lines[0] == "300.8b Minimum Bottom and Top Car Runby",
          "Ctrl+R opens the rule in a dialog, 23 lines", lines[:2])
    wraps = page.driver.execute_script(
        "const pre = document.querySelector('#runbyInfo pre');"
        "return getComputedStyle(pre).whiteSpace")
    check(wraps == "pre", "the lines never re-wrap", wraps)
    page.keys(Keys.ESCAPE)
    page.wait(lambda: dialog.get_attribute("open") is None)
    check(page.fields()[0] == "12" and page.focus() == "txtImperialSpeed" and
          page.driver.execute_script("return performance.getEntriesByType('navigation').length") == 1,
          "Esc closes it; the speed, the focus and the page stay")


def check_offline(page):
    page.open()
    page.wait(lambda: page.driver.execute_script(
        "return !!navigator.serviceWorker.controller") or page.driver.refresh() or False, 10)
    installability = page.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})
    check(not installability.get("installabilityErrors"), "Chromium finds it installable",
          installability)
    page.driver.execute_cdp_cmd("Network.enable", {})
    page.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": True, "latency": 0, "downloadThroughput": 0, "uploadThroughput": 0})
    try:
        page.open()
        page.keys("150", Keys.ENTER)
        page.wait(lambda: page.fields() == TYPICAL)
        check(page.fields() == TYPICAL, "reloaded offline, it still calculates", page.fields())
    finally:
        page.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": False, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})


def publish(site, folder, version):
    """The site as a build numbered version would make it: the page and the loader carry the
    number, and the service worker a cache name of its own."""
    shutil.copytree(site, folder, dirs_exist_ok=True)
    edits = {"index.html": ("</body>", f"<!-- version {version} --></body>"),
             "runby.js": ("\n", f"\n// version {version}\n"),
             "sw.js": ('const CACHE = "', f'const CACHE = "runby-version-{version}-')}
    for name, (text, replacement) in edits.items():
        path = os.path.join(folder, name)
        with open(path, encoding="utf-8") as file:
            content = file.read()
        with open(path, "w", encoding="utf-8") as file:
            file.write(content.replace(text, replacement, 1))


def check_update(site):
    """A newer version published is shown by the next visit, page and module alike, without the
    user clearing anything: the cached one at first, the new one once the visit has cached it."""
    with tempfile.TemporaryDirectory() as folder:
        publish(site, folder, 1)
        server = serve(folder)
        driver = browser()
        try:
            page = Page(driver, f"http://127.0.0.1:{server.server_address[1]}/")
            page.open()
            page.wait(lambda: driver.execute_script("return !!navigator.serviceWorker.controller")
                      or driver.refresh() or False, 10)
            publish(site, folder, 2)
            # The next visit shows the cached version, finds the new one and shows it once cached.
            page.open()

            def shown():
                try:
                    return driver.execute_async_script("""
                        const done = arguments[arguments.length - 1];
                        Promise.all([fetch('runby.js').then((r) => r.text()), caches.keys()])
                            .then(([loader, names]) => done([
                                document.body.innerHTML.includes('version 2'),
                                loader.includes('version 2'), names.length]));""")
                except WebDriverException:  # while the page reloads
                    return None

            def page_shows_it():
                try:
                    return driver.execute_script(
                        "return document.body.innerHTML.includes('version 2')")
                except WebDriverException:  # while the page reloads
                    return False

            page.wait(page_shows_it)
            check(shown() == [True, True, 1], "a newer version published, the next visit shows it "
                  "once cached, page and module alike, and the older cache is gone", shown())
        finally:
            driver.quit()
            server.shutdown()


def check_lighthouse(site, lighthouse):
    """Lighthouse 12.2's mobile run on the built site: performance at least 80 (a busy machine
    slows the simulated phone), best practices 100, and accessibility at least 95 counted without
    the audits the design fails on purpose."""
    server = serve(site)
    try:
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "report.json")
            subprocess.run([lighthouse, f"http://127.0.0.1:{server.server_address[1]}/",
                            "--quiet", "--chrome-flags=--headless=new --no-sandbox",
                            "--only-categories=performance,accessibility,best-practices",
                            "--output=json", f"--output-path={path}"],
                           env={**os.environ, "CHROME_PATH": "/usr/bin/chromium"},
                           timeout=300, check=True, capture_output=True)
            with open(path, encoding="utf-8") as result:
                report = json.load(result)
    finally:
        server.shutdown()
    scores = {name: round(category["score"] * 100)
              for name, category in report["categories"].items()}
    refs = [ref for ref in report["categories"]["accessibility"]["auditRefs"]
            if ref["weight"] and ref["id"] not in DESIGNED_FAILURES]
    accessibility = round(100 * sum(ref["weight"] * (report["audits"][ref["id"]]["score"] or 0)
                                    for ref in refs) / sum(ref["weight"] for ref in refs))
    metrics = {name: report["audits"][name]["displayValue"]
               for name in ("first-contentful-paint", "largest-contentful-paint",
                            "total-blocking-time")}
    check(scores["performance"] >= 80, "Lighthouse performance at least 80 (under 80 may also "
          "mean that the machine was busy: run it again on an idle one)", [scores, metrics])
    check(scores["best-practices"] == 100, "Lighthouse best practices 100", scores)
    check(accessibility >= 95, "Lighthouse accessibility at least 95 beside the design's own "
          f"failures ({accessibility}; {scores['accessibility']} with them)", scores)
    print(f"     Lighthouse {scores}, accessibility {accessibility} beside the design's own "
          f"failures, {metrics}")


RULE_ROWS = """
const pre = document.querySelector('#runbyInfo pre');
const out = {scroll: pre.scrollWidth - pre.clientWidth, wrapped: 0, misaligned: [], rows: 0};
for (const line of pre.querySelectorAll('.line')) {
  const node = line.firstChild; if (!node) { out.rows++; continue; }
  const text = node.textContent.replace(/\\n$/, '');
  if (!text.trim()) { out.rows++; continue; }
  const r = document.createRange(); r.selectNodeContents(node);
  const tops = [...new Set([...r.getClientRects()].filter(x => x.width > 0).map(x => Math.round(x.top)))];
  out.rows += tops.length;
  if (tops.length < 2) continue;
  out.wrapped++;
  const indent = text.length - text.trimStart().length;
  const first = document.createRange(); first.setStart(node, indent); first.setEnd(node, indent + 1);
  const left = first.getBoundingClientRect().left;
  const later = [...r.getClientRects()].filter(x => x.width > 0 && Math.round(x.top) > tops[0]);
  if (later.some(x => Math.abs(x.left - left) > 1)) out.misaligned.push(text.slice(0, 20));
}
return out;"""


def check_rule_wraps(page, width):
    """Below the designed width the rule's long lines wrap, each row they wrap onto at their
    indentation, and nothing needs sideways scrolling; at 1024 px the 23 lines stand unwrapped."""
    page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": 844, "deviceScaleFactor": 1, "mobile": width < 1024})
    page.open()
    page.keys("ctrl+r")
    page.wait(lambda: page.driver.execute_script(
        "return document.getElementById('runbyInfo').open"))
    rows = page.driver.execute_script(RULE_ROWS)
    lines = page.driver.execute_script(
        "return document.querySelector('#runbyInfo pre').textContent.split('\\n').length")
    if width >= 1024:
        check(rows["rows"] == 23 and not rows["wrapped"], "the rule unwrapped at 1024 px", rows)
    else:
        check(rows["scroll"] <= 0 and rows["wrapped"] and not rows["misaligned"] and lines == 23,
              f"the rule wraps at {width} px, at each line's indentation, with no sideways "
              "scrolling", rows)


def check_phone(page, axe):
    page.driver.set_window_size(390, 844)
    page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
    try:
        page.open()
        layout = page.driver.execute_script("""
            const small = [...document.querySelectorAll('#client input, #client button, #menu > button')]
                .map((e) => e.closest('.control') || e)
                .filter((e) => e.getBoundingClientRect().height < 44).map((e) => e.id || e.dataset.name);
            const text = [...document.querySelectorAll('#client input[type=text]')]
                .filter((e) => parseFloat(getComputedStyle(e).fontSize) < 16).map((e) => e.id);
            const root = document.documentElement;
            return {small, text, scroll: root.scrollWidth - root.clientWidth};""")
        check(not layout["small"], "touch targets at least 44 px", layout["small"])
        check(not layout["text"], "text at least 16 px in the fields", layout["text"])
        check(layout["scroll"] <= 0, "no horizontal scrolling", layout["scroll"])
        order = page.driver.execute_script(
            "return [...document.querySelectorAll('#client .control')].map((e) => e.dataset.name)")
        check(order[:5] == ["Label1", "optImperial", "optMetric", "Label4", "txtImperialSpeed"],
              "the controls in the order of reading", order)
        page.keys("150", Keys.ENTER)
        page.wait(lambda: page.fields() == TYPICAL)
        check(page.fields() == TYPICAL, "it calculates on a phone", page.fields())
        page.keys("ctrl+r")
        page.wait(lambda: page.focus() == "" and page.driver.execute_script(
            "return document.activeElement.textContent") == "OK")
        check(page.driver.execute_script("return document.activeElement.textContent") == "OK",
              "the box's OK has the focus on a phone too")
        check_key_sessions(page, 390)
        if axe:
            check_axe(page, axe, 390)
    finally:
        page.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


# What a first visit downloads before the calculator works, gzipped at its best, in each language.
PAGE_BUDGET = 62 * 1024


def check_size(site):
    for page in ("index.html", "index.fr.html"):
        sizes = {name: len(gzip.compress(open(os.path.join(site, name), "rb").read(), 9))
                 for name in (page, "runby.js", "runby.wasm")}
        check(sum(sizes.values()) <= PAGE_BUDGET,
              f"{page}, its loader and module weigh at most {PAGE_BUDGET} bytes gzipped", sizes)


def check_console(driver):
    errors = [entry for entry in driver.get_log("browser") if entry["level"] == "SEVERE"]
    check(not errors, "no error in the console", errors)


def check_calculates(page):
    """The built page calculates, with nothing wrong in the console: what a build checks."""
    page.open()
    page.keys("150", Keys.RETURN)
    check(page.wait(lambda: page.fields() == TYPICAL), "150 and Enter calculate", page.fields())
    check_console(page.driver)


def check_everything(page, axe):
    driver = page.driver
    check_size(sys.argv[1])
    check_drawn_before_ready(page)
    check_key_sessions(page, 1024)
    check_languages(page)
    check_screen_reader_view(page)
    check_wide_result(page)
    check_focus_moves_once(page)
    check_tab_order(page)
    check_runby_info(page)
    check_offline(page)
    check_update(sys.argv[1])
    if len(sys.argv) > 3:
        check_lighthouse(sys.argv[1], sys.argv[3])
    if axe:
        check_axe(page, axe, 1024)
    check_phone(page, axe)
    try:
        for width in (1024, 390, 320):
            check_rule_wraps(page, width)
    finally:
        driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
    check_console(driver)


def main():
    if sys.argv[1] == "--calculates":
        run_checks(sys.argv[2], check_calculates)
        return
    axe = None
    if len(sys.argv) > 2:
        with open(sys.argv[2], encoding="utf-8") as script:
            axe = script.read()
    run_checks(sys.argv[1], lambda page: check_everything(page, axe))


def run_checks(folder, checks):
    server = serve(folder)
    driver = browser()
    try:
        checks(Page(driver, f"http://127.0.0.1:{server.server_address[1]}/"))
    finally:
        driver.quit()
        server.shutdown()
    finish()


if __name__ == "__main__":
    main()
