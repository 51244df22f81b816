#!/usr/bin/env python3
"""A small HTTP/1.1 server on 127.0.0.1 that misbehaves on request.

Paths (n: body size, k: bytes actually sent; bodies are bytes i % 251):
  /data/n              200 with Content-Length n
  /short/n/k           Content-Length n, k bytes, then a clean close
  /drop/n/k            Content-Length n, k bytes, then a reset connection
  /chunkdrop/k         chunked body: one chunk of k bytes, then a reset
  /nolength/n          no Content-Length: n bytes, then the connection closes
  /notfound            404 with an HTML page
  /stall/n/k           Content-Length n, k bytes, then silence (at most 30 s)
  /redirect/<path>     302 to /<path>
  /echo                200, the request head as the body
  /zero                200, "ab\\0cd" (a zero byte inside the body)
  /flaky/key/f/n       like /data/n, but the first f requests for key get a
                       corrupted body (one byte changed)
A request in absolute form (as sent to a proxy) gets "proxied <url>".

Usage: fault_server.py PORT_FILE [LIFETIME_SECONDS]. The server writes its
port to PORT_FILE and exits after LIFETIME_SECONDS (default 1200) at most.
"""
import os
import socket
import struct
import sys
import threading
import time

counts = {}
counts_lock = threading.Lock()


def pattern(n):
    block = bytes(i % 251 for i in range(251))
    return (block * (n // 251 + 1))[:n]


def head(status, headers):
    lines = ["HTTP/1.1 %s" % status] + ["%s: %s" % kv for kv in headers] + ["", ""]
    return "\r\n".join(lines).encode()


def reset(conn):
    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    conn.close()


def read_head(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(4096)
        if not chunk:
            return None
        data += chunk
        if len(data) > 65536:
            return None
    return data.split(b"\r\n\r\n", 1)[0].decode("latin-1")


def serve(conn):
    conn.settimeout(35)
    try:
        request = read_head(conn)
        if request is None:
            return conn.close()
        target = request.split("\r\n", 1)[0].split(" ")[1]
        if target.startswith("http://"):
            body = ("proxied " + target).encode()
            conn.sendall(head("200 OK", [("Content-Length", len(body)), ("Connection", "close")]) + body)
            return conn.close()
        parts = target.split("?", 1)[0].strip("/").split("/")
        kind, args = parts[0], parts[1:]
        close = [("Connection", "close")]
        if kind == "data":
            n = int(args[0])
            conn.sendall(head("200 OK", [("Content-Length", n)] + close))
            view = memoryview(pattern(min(n, 1 << 20)))
            left = n
            while left > 0:
                piece = view[: min(left, len(view))]
                conn.sendall(piece)
                left -= len(piece)
        elif kind in ("short", "drop", "stall"):
            n, k = int(args[0]), int(args[1])
            conn.sendall(head("200 OK", [("Content-Length", n)] + close) + pattern(k))
            if kind == "drop":
                time.sleep(0.2)
                return reset(conn)
            if kind == "stall":
                conn.settimeout(30)
                try:
                    conn.recv(1)
                except OSError:
                    pass
        elif kind == "chunkdrop":
            k = int(args[0])
            conn.sendall(head("200 OK", [("Transfer-Encoding", "chunked")] + close))
            conn.sendall(b"%x\r\n" % k + pattern(k) + b"\r\n")
            time.sleep(0.2)
            return reset(conn)
        elif kind == "nolength":
            conn.sendall(head("200 OK", close) + pattern(int(args[0])))
        elif kind == "notfound":
            body = b"<html><body><h1>404 Not Found</h1></body></html>"
            conn.sendall(head("404 Not Found", [("Content-Length", len(body)), ("Content-Type", "text/html")] + close) + body)
        elif kind == "redirect":
            conn.sendall(head("302 Found", [("Location", "/" + "/".join(args)), ("Content-Length", 0)] + close))
        elif kind == "echo":
            body = request.encode("latin-1")
            conn.sendall(head("200 OK", [("Content-Length", len(body))] + close) + body)
        elif kind == "zero":
            body = b"ab\0cd"
            conn.sendall(head("200 OK", [("Content-Length", len(body))] + close) + body)
        elif kind == "flaky":
            key, fails, n = args[0], int(args[1]), int(args[2])
            with counts_lock:
                seen = counts.get(key, 0)
                counts[key] = seen + 1
            body = bytearray(pattern(n))
            if seen < fails and n > 0:
                body[0] ^= 0xFF
            conn.sendall(head("200 OK", [("Content-Length", n)] + close) + bytes(body))
        else:
            conn.sendall(head("400 Bad Request", [("Content-Length", 0)] + close))
        conn.shutdown(socket.SHUT_WR)
    except (OSError, ValueError, IndexError):
        pass
    conn.close()


def main():
    port_file = sys.argv[1]
    lifetime = float(sys.argv[2]) if len(sys.argv) > 2 else 1200
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(64)
    with open(port_file + ".tmp", "w") as out:
        out.write(str(listener.getsockname()[1]))
    os.replace(port_file + ".tmp", port_file)
    deadline = time.monotonic() + lifetime
    listener.settimeout(1)
    while time.monotonic() < deadline:
        try:
            conn, _ = listener.accept()
        except socket.timeout:
            continue
        threading.Thread(target=serve, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    main()
