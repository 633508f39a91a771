#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pregonar developers
# A network camera on loopback: the JPEG pictures of a Motion JPEG clip (AVI, Matroska) sent as RTP
# Motion JPEG over RTSP at rtsp://127.0.0.1:PORT/video.mjpg, in real time, in a loop.
#   rtsp_server.py PORT CLIP FPS      PORT 0: any (the port is printed).
import sys, gi

gi.require_version("Gst", "1.0")
gi.require_version("GstRtspServer", "1.0")
from gi.repository import GLib, Gst, GstRtspServer

port, clip, fps = sys.argv[1], sys.argv[2], float(sys.argv[3])
parts = open(clip, "rb").read().split(b"\xff\xd8\xff")[1:]
frames = [b"\xff\xd8\xff" + p[: p.rfind(b"\xff\xd9") + 2] for p in parts if p.rfind(b"\xff\xd9") > 0]


def play(factory, media):
    source, sent = media.get_element().get_by_name("clip"), [0]

    def next_frame():  # until the client goes and the source stops taking pictures
        sent[0] += 1
        return source.emit("push-buffer", Gst.Buffer.new_wrapped(frames[sent[0] % len(frames)])) == Gst.FlowReturn.OK

    GLib.timeout_add(int(1000 / fps), next_frame)


Gst.init(None)
factory = GstRtspServer.RTSPMediaFactory()
factory.set_launch("( appsrc name=clip is-live=true do-timestamp=true format=time "
                   "caps=image/jpeg,framerate=%d/1 ! jpegparse ! rtpjpegpay name=pay0 pt=26 )" % fps)
factory.connect("media-configure", play)
server = GstRtspServer.RTSPServer(address="127.0.0.1", service=port)
server.get_mount_points().add_factory("/video.mjpg", factory)
server.attach(None)
print(server.get_bound_port(), flush=True)
GLib.MainLoop().run()
