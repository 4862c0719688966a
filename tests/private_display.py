"""A private X server for driving the real program, shared by the scripts that do."""

import os
import subprocess
import sys
import time


def read_line(fd):
    """One line from a pipe, read whole: the X server ends if the pipe closes before it is done
    writing the display number."""
    line = b""
    while not line.endswith(b"\n"):
        chunk = os.read(fd, 16)
        if not chunk:
            sys.exit("the X server did not start")
        line += chunk
    os.close(fd)
    return line.decode().strip()


def start_xvfb(width=1024, height=768):
    """Starts Xvfb on a free display; gives the process and the display name."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
                             "-screen", "0", f"{width}x{height}x24"], pass_fds=(write_end,),
                            stderr=subprocess.DEVNULL)
    os.close(write_end)
    return xvfb, ":" + read_line(read_end)


def eventually(condition, deadline=30):
    """Waits until condition() holds, for at most deadline seconds (a busy machine can take that
    long); gives whether it held."""
    end = time.monotonic() + deadline
    while not condition():
        if time.monotonic() > end:
            return False
        time.sleep(0.05)
    return True
