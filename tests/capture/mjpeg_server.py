#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pregonar developers
# A network camera on loopback: the JPEG pictures of a Motion JPEG clip (AVI, Matroska) served as HTTP
# Motion JPEG, in real time, in a loop.   mjpeg_server.py PORT CLIP FPS [MARKS_LOG FRAME,FRAME...]
# PORT 0: any (the port is printed). /video.mjpg the clip; /cortada.mjpg every picture cut in half;
# /basura.mjpg noise; anything else a web page. MARKS_LOG gets the time each listed frame left.
import os
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

port, clip, fps = int(sys.argv[1]), sys.argv[2], float(sys.argv[3])
marks_log = sys.argv[4] if len(sys.argv) > 4 else None
marks = {int(f) for f in sys.argv[5].split(",")} if len(sys.argv) > 5 else set()

data = open(clip, "rb").read()
frames = []
for part in data.split(b"\xff\xd8\xff")[1:]:
    end = part.rfind(b"\xff\xd9")
    if end > 0:
        frames.append(b"\xff\xd8\xff" + part[: end + 2])
if not frames:
    sys.exit("no JPEG pictures in " + clip)


class Camera(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass
    def do_GET(self):
        if self.path not in ("/video.mjpg", "/cortada.mjpg", "/basura.mjpg"):
            page = b"<html><body>Router</body></html>"
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(page)))
            self.end_headers()
            self.wfile.write(page)
            return
        self.send_response(200)
        self.send_header("Content-Type", "multipart/x-mixed-replace; boundary=frame")
        self.end_headers()
        start = time.monotonic()
        i = 0
        try:
            while True:
                frame = frames[i % len(frames)]
                if self.path == "/cortada.mjpg":
                    frame = frame[: len(frame) // 2]
                elif self.path == "/basura.mjpg":
                    frame = os.urandom(len(frame))
                self.wfile.write(b"--frame\r\nContent-Type: image/jpeg\r\nContent-Length: %d\r\n\r\n" % len(frame))
                self.wfile.write(frame + b"\r\n")
                self.wfile.flush()
                if marks_log and (i % len(frames)) in marks:
                    with open(marks_log, "a") as log:
                        log.write("%.3f %d\n" % (time.time(), i % len(frames)))
                i += 1
                delay = start + i / fps - time.monotonic()
                if delay > 0:
                    time.sleep(delay)
        except (BrokenPipeError, ConnectionResetError):
            pass


ThreadingHTTPServer.daemon_threads = True
ThreadingHTTPServer.allow_reuse_address = True
server = ThreadingHTTPServer(("127.0.0.1", port), Camera)
print(server.server_address[1], flush=True)  # the port, when 0 asked for any
server.serve_forever()
