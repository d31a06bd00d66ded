#!/usr/bin/env python3
"""A score server that takes its time: it answers the game's handshake and result requests on
127.0.0.1 after DELAY seconds each, and logs to LOG every request target as it arrives and
"answered" when the answer has gone out, one per line.

Usage: slow_score_server.py PORT DELAY LOG [ADDRESS]  (the address 127.0.0.1 unless given)
"""
import http.server
import sys
import time


class SlowHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # answers with a length, so the connection may be kept

    def do_GET(self):
        with open(self.server.log_path, "a", encoding="latin-1") as log:
            log.write(f"{time.monotonic():.3f} {self.path}\n")
        time.sleep(self.server.delay)
        if "version&" in self.path:
            body = b"OK|1.0|news||SV-E2E|"
        elif "hs&" in self.path:
            body = b"OK stored"
        else:
            body = b"not here"
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()
        with open(self.server.log_path, "a", encoding="latin-1") as log:
            log.write(f"{time.monotonic():.3f} answered\n")

    def log_message(self, format, *args):  # the log file says what matters
        pass


def main():
    port, delay, log_path = int(sys.argv[1]), float(sys.argv[2]), sys.argv[3]
    address = sys.argv[4] if len(sys.argv) > 4 else "127.0.0.1"
    server = http.server.ThreadingHTTPServer((address, port), SlowHandler)
    server.delay = delay
    server.log_path = log_path
    with open(log_path, "a", encoding="latin-1") as log:
        log.write("listening\n")
    server.serve_forever()


if __name__ == "__main__":
    main()
