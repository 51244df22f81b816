#!/usr/bin/env python3
"""Times the download phase of one updater run as the program shows it: from
the status line that names the download ("下载文件: ...") to the one that
starts its MD5 check ("检验下载文件"). Reads the console front end's output
from a FIFO ("pipe FIFO READY"), or follows the dialog's control trace
("follow FILE READY"). READY is created once the timer runs, so the caller
starts the updater only then (an interpreter may take a while to start).
Lines end at CR or LF. Prints the seconds, or "fail"."""
import os
import re
import sys
import time

START = "下载文件".encode()
END = "检验下载文件".encode()


class Phase:
    def __init__(self):
        self.start = None
        self.end = None
        self.rest = b""

    def feed(self, data):
        now = time.monotonic()
        parts = re.split(rb"[\r\n]", self.rest + data)
        self.rest = parts.pop()
        for line in parts:
            if self.start is None and START in line and END not in line:
                self.start = now
            elif self.start is not None and self.end is None and END in line:
                self.end = now


def main():
    phase = Phase()
    open(sys.argv[3], "w").close()
    if sys.argv[1] == "pipe":
        fd = os.open(sys.argv[2], os.O_RDONLY)
        while True:
            data = os.read(fd, 65536)
            if not data:
                break
            phase.feed(data)
    else:
        deadline = time.monotonic() + 600
        with open(sys.argv[2], "rb") as trace:
            while phase.end is None and time.monotonic() < deadline:
                data = trace.read(65536)
                if data:
                    phase.feed(data)
                else:
                    time.sleep(0.001)
    print(f"{phase.end - phase.start:.6f}" if phase.end is not None else "fail")


if __name__ == "__main__":
    main()
