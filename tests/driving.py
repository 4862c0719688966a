"""What the scripts that drive the real programs share: their tally of checks and a quiet local
web server for the site."""

import functools
import http.server
import sys
import threading

DEADLINE = 30
results = {"passed": 0, "failed": 0}


def check(ok, what, detail=""):
    results["passed" if ok else "failed"] += 1
    print(("ok   " if ok else "FAIL ") + what + ("" if ok or not detail else "\n     " + str(detail)))


def finish():
    """Prints the tally and exits with it."""
    print(f"{results['passed']} passed, {results['failed']} failed")
    sys.exit(1 if results["failed"] else 0)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    # While cleared, the module waits to be sent: the page shows what it draws before it.
    module_sent = threading.Event()
    module_sent.set()

    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path.endswith(".wasm"):
            QuietHandler.module_sent.wait(DEADLINE)
        super().do_GET()


def serve(folder):
    """Serves the folder at 127.0.0.1 on a free port, from a thread of its own."""
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server
