#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pregonar developers
# A network camera on loopback: the JPEG pictures of a Motion JPEG clip (AVI, Matroska) served as HTTP
# Motion JPEG, in real time, in a loop.   mjpeg_server.py PORT CLIP FPS [MARKS_LOG FRAME,FRAME...]
# PORT 0: any (the port is printed). /video.mjpg the clip; /cortada.mjpg every picture cut in half;
# /basura.mjpg noise; anything else a web page. MARKS_LOG gets the time each listed frame left.
import os, sys, time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

port, clip, fps = int(sys.argv[1]), sys.argv[2], float(sys.argv[3])
log = sys.argv[4] if len(sys.argv) > 4 else None
marks = {int(f) for f in sys.argv[5].split(",")} if len(sys.argv) > 5 else set()
parts = open(clip, "rb").read().split(b"\xff\xd8\xff")[1:]
frames = [b"\xff\xd8\xff" + p[: p.rfind(b"\xff\xd9") + 2] for p in parts if p.rfind(b"\xff\xd9") > 0]
# What each path sends for each picture of the clip.
sent = {"/video.mjpg": lambda f: f, "/cortada.mjpg": lambda f: f[: len(f) // 2],
        "/basura.mjpg": lambda f: os.urandom(len(f))}


class Camera(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        video = sent.get(self.path)
        self.send_response(200)
        self.send_header("Content-Type", "multipart/x-mixed-replace; boundary=frame" if video else "text/html")
        self.end_headers()
        if not video:
            return self.wfile.write(b"<html><body>Router</body></html>")
        start, i = time.monotonic(), 0
        try:
            while True:
                frame = video(frames[i % len(frames)])
                self.wfile.write(b"--frame\r\nContent-Type: image/jpeg\r\nContent-Length: %d\r\n\r\n%s\r\n"
                                 % (len(frame), frame))
                if log and i % len(frames) in marks:
                    with open(log, "a") as out:
                        out.write("%.3f %d\n" % (time.time(), i % len(frames)))
                i += 1
                time.sleep(max(0, start + i / fps - time.monotonic()))
        except (BrokenPipeError, ConnectionResetError):
            pass


ThreadingHTTPServer.allow_reuse_address = True
server = ThreadingHTTPServer(("127.0.0.1", port), Camera)
print(server.server_address[1], flush=True)
server.serve_forever()
