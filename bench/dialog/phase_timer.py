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

# UTF-8 (the Linux console and the trace) and code page 936 (the Windows
# console writes the program's bytes as they are).
STARTS = ["下载文件".encode(), "下载文件".encode("gbk")]
ENDS = ["检验下载文件".encode(), "检验下载文件".encode("gbk")]


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
            has_end = any(end in line for end in ENDS)
            if self.start is None and not has_end and any(start in line for start in STARTS):
                self.start = now
            elif self.start is not None and self.end is None and has_end:
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
