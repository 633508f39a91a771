// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/GstFrameSource.h"

#include "platform/CaptureSources.h"

#include <QAbstractEventDispatcher>
#include <QCameraDevice>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>
#include <QThreadPool>
#include <QUrl>

#include <cmath>
#include <condition_variable>
#include <mutex>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

// A video file's frames wait in the sink's queue for the tick that takes them. Its reading thread
// refills that queue in bursts: once full, it waits until the queue is down to a tick's frames (and
// one more), then adds about a third of a second's frames at once. It wakes a few times a second,
// not for every frame taken. Shared with the pipeline, which may outlive its source by a moment.
class FileQueueGate {
public:
    void setSizes(int low, int full) {
        std::lock_guard hold(m_lock);
        m_low = low;
        m_full = full;
        m_room.notify_all();
    }
    // The tick took a frame out of the sink.
    void taken() {
        std::lock_guard hold(m_lock);
        m_queued = std::max(m_queued - 1, 0);
        if (m_waiting && m_queued <= m_low)
            m_room.notify_all();
    }
    // The pipeline stops: the reading thread never waits again.
    void release() {
        std::lock_guard hold(m_lock);
        m_released = true;
        m_room.notify_all();
    }

    // On the reading thread, for each frame and for the flushes of a seek (the loop at the file's end),
    // which empty the sink and must not find the reading thread waiting.
    static GstPadProbeReturn onPad(GstPad*, GstPadProbeInfo* info, gpointer data) {
        FileQueueGate& gate = **static_cast<std::shared_ptr<FileQueueGate>*>(data);
        std::unique_lock hold(gate.m_lock);
        if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
            if (gate.m_queued >= gate.m_full && !gate.free()) {
                gate.m_waiting = true;
                gate.m_room.wait(hold, [&gate] { return gate.free() || gate.m_queued <= gate.m_low; });
                gate.m_waiting = false;
            }
            ++gate.m_queued;
        } else if (GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info)) {
            gate.m_flushing = GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_START;
            if (gate.m_flushing)
                gate.m_room.notify_all();
            else
                gate.m_queued = 0;
        }
        return GST_PAD_PROBE_OK;
    }

private:
    bool free() const { return m_released || m_flushing; }

    std::mutex m_lock;
    std::condition_variable m_room;
    int m_queued = 0; // frames in the sink, not taken yet
    int m_low = 1;
    int m_full = 4;
    bool m_waiting = false;
    bool m_flushing = false;
    bool m_released = false;
};

namespace {

// Pipelines change state here, one request after the other, never on the GUI thread: opening a camera
// or a connection can take a while, and so can closing one.
QThreadPool& stateWorker() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        // Pipelines closed at the very end are closed before the program goes.
        qAddPostRoutine([] { stateWorker().waitForDone(3000); });
        return p;
    }();
    return *pool;
}

void setStateLater(GstElement* pipeline, GstState state, bool release) {
    gst_object_ref(pipeline);
    stateWorker().start([pipeline, state, release] {
        gst_element_set_state(pipeline, state);
        if (release)
            gst_object_unref(pipeline); // the owner's reference
        gst_object_unref(pipeline);
    });
}

PixelFormat pixelFormatOf(GstVideoFormat format) {
    switch (format) {
    case GST_VIDEO_FORMAT_I420:
        return PixelFormat::I420;
    case GST_VIDEO_FORMAT_YV12:
        return PixelFormat::YV12;
    case GST_VIDEO_FORMAT_NV12:
        return PixelFormat::NV12;
    case GST_VIDEO_FORMAT_NV21:
        return PixelFormat::NV21;
    case GST_VIDEO_FORMAT_YUY2:
        return PixelFormat::YUYV;
    case GST_VIDEO_FORMAT_UYVY:
        return PixelFormat::UYVY;
    case GST_VIDEO_FORMAT_BGRx:
    case GST_VIDEO_FORMAT_BGRA:
        return PixelFormat::Bgrx32;
    case GST_VIDEO_FORMAT_RGBx:
    case GST_VIDEO_FORMAT_RGBA:
        return PixelFormat::Rgbx32;
    case GST_VIDEO_FORMAT_xRGB:
    case GST_VIDEO_FORMAT_ARGB:
        return PixelFormat::Xrgb32;
    case GST_VIDEO_FORMAT_xBGR:
    case GST_VIDEO_FORMAT_ABGR:
        return PixelFormat::Xbgr32;
    case GST_VIDEO_FORMAT_RGB:
        return PixelFormat::Rgb24;
    case GST_VIDEO_FORMAT_BGR:
        return PixelFormat::Bgr24;
    default:
        return PixelFormat::Invalid;
    }
}

// What to ask a camera for in a format the camera lists.
QString capsOf(const QCameraFormat& format) {
    const QSize size = format.resolution();
    const QString dims = QStringLiteral(",width=%1,height=%2").arg(size.width()).arg(size.height());
    switch (format.pixelFormat()) {
    case QVideoFrameFormat::Format_Jpeg:
        return QStringLiteral("image/jpeg") + dims;
    case QVideoFrameFormat::Format_YUYV:
        return QStringLiteral("video/x-raw,format=YUY2") + dims;
    case QVideoFrameFormat::Format_UYVY:
        return QStringLiteral("video/x-raw,format=UYVY") + dims;
    case QVideoFrameFormat::Format_NV12:
        return QStringLiteral("video/x-raw,format=NV12") + dims;
    case QVideoFrameFormat::Format_YUV420P:
        return QStringLiteral("video/x-raw,format=I420") + dims;
    default:
        return QStringLiteral("video/x-raw") + dims;
    }
}

GstElement* make(const char* factory, GstElement* bin) {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element && bin)
        gst_bin_add(GST_BIN(bin), element);
    return element;
}

// A decoder's or a demuxer's new stream: Motion JPEG goes to the sink as it is; decoded video is
// scaled down to the view's size first. Runs on a streaming thread; touches only the pipeline.
void linkStream(GstElement*, GstPad* pad, gpointer data) {
    GstElement* pipeline = GST_ELEMENT(data);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const GstStructure* kind = gst_caps_is_empty(caps) ? nullptr : gst_caps_get_structure(caps, 0);
    const bool raw = kind && gst_structure_has_name(kind, "video/x-raw");
    const bool audio = kind && g_str_has_prefix(gst_structure_get_name(kind), "audio/");
    const bool coded = kind && !raw && g_str_has_prefix(gst_structure_get_name(kind), "video/");
    if (!gst_pad_is_linked(sinkPad) && !audio) {
        if (coded) {
            // H.264 and the like from a file: decoded in full, then scaled as below.
            GstElement* decode = make("decodebin", pipeline);
            g_signal_connect(decode, "pad-added", G_CALLBACK(linkStream), pipeline);
            gst_element_sync_state_with_parent(decode);
            GstPad* in = gst_element_get_static_pad(decode, "sink");
            gst_pad_link(pad, in);
            gst_object_unref(in);
        } else if (raw) {
            GstElement* scale = make("videoscale", pipeline);
            GstElement* convert = make("videoconvert", pipeline);
            GstElement* filter = make("capsfilter", pipeline);
            GstCaps* small = gst_caps_from_string("video/x-raw,format=I420,width=320,height=240");
            g_object_set(filter, "caps", small, nullptr);
            gst_caps_unref(small);
            gst_element_link_many(scale, convert, filter, sink, nullptr);
            for (GstElement* e : {filter, convert, scale})
                gst_element_sync_state_with_parent(e);
            GstPad* in = gst_element_get_static_pad(scale, "sink");
            gst_pad_link(pad, in);
            gst_object_unref(in);
        } else {
            // Motion JPEG, or whatever a network camera sends: the tick checks what it is.
            gst_pad_link(pad, sinkPad);
        }
    }
    gst_caps_unref(caps);
    gst_object_unref(sinkPad);
    gst_object_unref(sink);
}

// A file's container is opened by its demuxer alone, which hands its frames straight to the sink: no
// queue and no thread between them (a decoder's bin would add both).
void plugDemuxer(GstElement* typefind, guint, GstCaps* caps, gpointer data) {
    GstElement* pipeline = GST_ELEMENT(data);
    GList* all = gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DEMUXER, GST_RANK_MARGINAL);
    GList* fit = g_list_sort(gst_element_factory_list_filter(all, caps, GST_PAD_SINK, false),
                             gst_plugin_feature_rank_compare_func);
    // Not a container GStreamer knows a demuxer for: the decoders' bin finds what it is.
    GstElement* next = fit ? gst_element_factory_create(GST_ELEMENT_FACTORY(fit->data), nullptr)
                           : gst_element_factory_make("decodebin", nullptr);
    gst_plugin_feature_list_free(fit);
    gst_plugin_feature_list_free(all);
    gst_bin_add(GST_BIN(pipeline), next);
    g_signal_connect(next, "pad-added", G_CALLBACK(linkStream), pipeline);
    gst_element_link(typefind, next);
    gst_element_sync_state_with_parent(next);
}

// Decoding stops at Motion JPEG (decoded at the tick, scaled) and at sound (never used).
gboolean continueDecoding(GstElement*, GstPad*, GstCaps* caps, gpointer) {
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    return !gst_structure_has_name(s, "image/jpeg") && !g_str_has_prefix(gst_structure_get_name(s), "audio/");
}

// RTSP: little buffering, so that a customer is seen now and not in two seconds.
void setUpSource(GstElement*, GstElement* source, gpointer data) {
    const QUrl* address = static_cast<const QUrl*>(data);
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(source), "latency"))
        g_object_set(source, "latency", guint(200), nullptr);
    if (!address->userName().isEmpty() && g_object_class_find_property(G_OBJECT_GET_CLASS(source), "user-id"))
        g_object_set(source, "user-id", address->userName().toUtf8().constData(), "user-pw",
                     address->password().toUtf8().constData(), nullptr);
}

gboolean onBusMessage(GstBus*, GstMessage* message, gpointer self) {
    static_cast<GstFrameSource*>(self)->handleMessage(message);
    return true;
}

QString seconds(int ms) {
    return QString::number(ms / 1000);
}

} // namespace

GstFrameSource::GstFrameSource(CameraChoice choice, QObject* parent)
    : FrameSource(parent)
    , m_choice(std::move(choice)) {
    gst_init_check(nullptr, nullptr, nullptr);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_wanted && !m_pipeline)
            open();
    });
    m_busPoll.setInterval(50);
    connect(&m_busPoll, &QTimer::timeout, this, &GstFrameSource::pollBus);
    if (m_choice.kind == CameraChoice::Kind::Camera || m_choice.kind == CameraChoice::Kind::SystemDefault) {
        m_devices = std::make_unique<QMediaDevices>();
        connect(m_devices.get(), &QMediaDevices::videoInputsChanged, this, &GstFrameSource::camerasChanged);
    }
}

GstFrameSource::~GstFrameSource() {
    close();
}

void GstFrameSource::start() {
    m_wanted = true;
    m_retryDelayMs = 1000;
    open();
}

void GstFrameSource::stop() {
    m_wanted = false;
    m_retry.stop();
    close();
}

void GstFrameSource::setTickInterval(int milliseconds) {
    m_tickMs = std::max(milliseconds, 0);
    m_queuedFrames = 0; // sized again for the new tick
}

QString GstFrameSource::description() const {
    return m_choice.describe();
}

GstElement* GstFrameSource::buildPipeline(QString* device) {
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* sink = gst_element_factory_make("appsink", "sink");
    // Only the newest frame waits in the sink; older ones are dropped unread.
    g_object_set(sink, "max-buffers", guint(1), "drop", true, "emit-signals", false, "enable-last-sample",
                 false, nullptr);
    gst_bin_add(GST_BIN(pipeline), sink);
    using Kind = CameraChoice::Kind;
    if (m_choice.kind == Kind::Camera || m_choice.kind == Kind::SystemDefault) {
        const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
        QList<CameraInfo> present;
        for (const QCameraDevice& d : devices)
            present.append(
                {QString::fromUtf8(d.id()), d.description(), d == QMediaDevices::defaultVideoInput(), {}});
        const int index = pickCamera(m_choice, present);
        if (index < 0) {
            gst_object_unref(pipeline);
            return nullptr;
        }
        const QCameraDevice camera = devices[index];
        *device = QString::fromUtf8(camera.id());
        const QList<QCameraFormat> formats = camera.videoFormats();
        QList<CameraFormatInfo> infos;
        for (const QCameraFormat& f : formats)
            infos.append(
                {f.resolution(), f.pixelFormat() == QVideoFrameFormat::Format_Jpeg, f.maxFrameRate()});
        const int format = pickFormat(m_choice, infos);
        GstElement* source = make("v4l2src", pipeline);
        GstElement* filter = make("capsfilter", pipeline);
        if (!source) {
            gst_object_unref(pipeline);
            return nullptr;
        }
        g_object_set(source, "device", camera.id().constData(), nullptr);
        if (format >= 0) {
            GstCaps* caps = gst_caps_from_string(capsOf(formats[format]).toUtf8().constData());
            g_object_set(filter, "caps", caps, nullptr);
            gst_caps_unref(caps);
        }
        g_object_set(sink, "sync", false, nullptr);
        gst_element_link_many(source, filter, sink, nullptr);
    } else if (m_choice.kind == Kind::File) {
        GstElement* source = make("filesrc", pipeline);
        GstElement* find = make("typefind", pipeline);
        g_object_set(source, "location", QFile::encodeName(m_choice.file).constData(), nullptr);
        gst_element_link(source, find);
        g_signal_connect(find, "have-type", G_CALLBACK(plugDemuxer), pipeline);
        // The tick paces a file (see takeDueFrame): its frames wait in the sink's queue, in order.
        g_object_set(sink, "sync", false, "drop", false, "max-buffers", guint(4), nullptr);
        m_gate = std::make_shared<FileQueueGate>();
        GstPad* in = gst_element_get_static_pad(sink, "sink");
        gst_pad_add_probe(in, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                          FileQueueGate::onPad, new std::shared_ptr<FileQueueGate>(m_gate),
                          [](gpointer data) { delete static_cast<std::shared_ptr<FileQueueGate>*>(data); });
        gst_object_unref(in);
    } else if (QUrl(m_choice.url).scheme().startsWith(QLatin1String("http"))) {
        // Motion JPEG over HTTP: one JPEG picture after the other in a multipart answer.
        const QUrl address(m_choice.url);
        GstElement* source = make("souphttpsrc", pipeline);
        GstElement* demux = make("multipartdemux", pipeline);
        if (!source || !demux) {
            gst_object_unref(pipeline);
            return nullptr;
        }
        g_object_set(source, "location", address.toString(QUrl::RemoveUserInfo).toUtf8().constData(),
                     "is-live", true, "timeout", guint(10), nullptr);
        if (!address.userName().isEmpty())
            g_object_set(source, "user-id", address.userName().toUtf8().constData(), "user-pw",
                         address.password().toUtf8().constData(), nullptr);
        g_object_set(sink, "sync", false, nullptr);
        gst_element_link(source, demux);
        g_signal_connect(demux, "pad-added", G_CALLBACK(linkStream), pipeline);
    } else {
        // RTSP: whatever the stream holds is found and decoded, except Motion JPEG.
        GstElement* decode = make("uridecodebin", pipeline);
        const QUrl address(m_choice.url);
        g_object_set(decode, "uri", address.toString(QUrl::RemoveUserInfo).toUtf8().constData(), nullptr);
        g_object_set(sink, "sync", false, nullptr);
        g_signal_connect(decode, "pad-added", G_CALLBACK(linkStream), pipeline);
        g_signal_connect(decode, "autoplug-continue", G_CALLBACK(continueDecoding), nullptr);
        g_signal_connect_data(
            decode, "source-setup", G_CALLBACK(setUpSource), new QUrl(address),
            [](gpointer data, GClosure*) { delete static_cast<QUrl*>(data); }, GConnectFlags(0));
    }
    return pipeline;
}

void GstFrameSource::open() {
    if (m_pipeline)
        return;
    m_pipeline = buildPipeline(&m_device);
    if (!m_pipeline) {
        // No such camera now: it opens when it is plugged in.
        if (m_choice.kind == CameraChoice::Kind::Network)
            dropped(QStringLiteral("La cámara de red no se puede abrir"));
        return;
    }
    m_sink = gst_bin_get_by_name(GST_BIN(m_pipeline), "sink");
    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_pipeline));
    // Messages come through the GUI thread's event loop: GLib's, or a short poll when it is another.
    const QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance();
    if (loop && loop->inherits("QEventDispatcherGlib"))
        m_busWatch = gst_bus_add_watch(bus, onBusMessage, this);
    else
        m_busPoll.start();
    gst_object_unref(bus);
    m_sinceFrame.start();
    m_damaged = false;
    m_playClock.start();
    m_lastFrameTime = -1;
    m_queuedFrames = 0;
    m_tickWithoutFrame = false;
    setStateLater(m_pipeline, GST_STATE_PLAYING, false);
}

void GstFrameSource::close() {
    m_busPoll.stop();
    if (m_busWatch) {
        g_source_remove(m_busWatch);
        m_busWatch = 0;
    }
    releaseHeld();
    if (m_ahead) {
        gst_sample_unref(m_ahead);
        m_ahead = nullptr;
    }
    if (m_sink) {
        gst_object_unref(m_sink);
        m_sink = nullptr;
    }
    if (m_gate) {
        m_gate->release(); // the reading thread must not wait while the pipeline stops
        m_gate.reset();
    }
    if (m_pipeline) {
        setStateLater(m_pipeline, GST_STATE_NULL, true);
        m_pipeline = nullptr;
    }
    m_device.clear();
    if (m_active) {
        m_active = false;
        emit activeChanged(false);
    }
}

void GstFrameSource::pollBus() {
    GstBus* bus = m_pipeline ? gst_pipeline_get_bus(GST_PIPELINE(m_pipeline)) : nullptr;
    while (GstMessage* message = bus ? gst_bus_pop(bus) : nullptr) {
        const bool more = handleMessage(message);
        gst_message_unref(message);
        if (!more)
            break;
    }
    if (bus)
        gst_object_unref(bus);
}

bool GstFrameSource::handleMessage(GstMessage* message) {
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        if (m_choice.kind == CameraChoice::Kind::File) {
            // Once more from the start, as long as the camera is on.
            GstElement* pipeline = m_pipeline;
            gst_object_ref(pipeline);
            stateWorker().start([pipeline] {
                gst_element_seek_simple(pipeline, GST_FORMAT_TIME,
                                        GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
                gst_object_unref(pipeline);
            });
            return true;
        }
        dropped(QStringLiteral("La cámara de red cortó la transmisión"));
        return false;
    case GST_MESSAGE_ERROR: {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        // A camera switched off: the HTTP source stops with a bare flow error, saying nothing more.
        const GstStructure* details = nullptr;
        gst_message_parse_error_details(message, &details);
        int flow = GST_FLOW_OK;
        const bool noAnswer = GST_OBJECT_FLAG_IS_SET(GST_MESSAGE_SRC(message), GST_ELEMENT_FLAG_SOURCE) &&
                              details && gst_structure_get_int(details, "flow-return", &flow) &&
                              flow == GST_FLOW_ERROR;
        QString why = QStringLiteral("La cámara de red no responde");
        if (!noAnswer && (error->domain == GST_STREAM_ERROR ||
                          g_error_matches(error, GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND)))
            why = QStringLiteral("La dirección no es una cámara de red (Motion JPEG por HTTP, o RTSP)");
        else if (g_error_matches(error, GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_AUTHORIZED))
            why = QStringLiteral("La cámara de red no acepta el usuario o la contraseña");
        g_error_free(error);
        dropped(why);
        return false;
    }
    default:
        return true;
    }
}

void GstFrameSource::dropped(const QString& why) {
    close();
    if (!m_wanted)
        return;
    m_retry.start(m_retryDelayMs);
    if (m_choice.kind == CameraChoice::Kind::Network)
        emit problem(QStringLiteral("%1; nuevo intento en %2 s.").arg(why, seconds(m_retryDelayMs)));
    m_retryDelayMs = std::min(m_retryDelayMs * 2, 30000);
}

void GstFrameSource::camerasChanged() {
    if (!m_wanted)
        return;
    const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
    const bool stillThere = std::any_of(devices.begin(), devices.end(), [this](const QCameraDevice& d) {
        return QString::fromUtf8(d.id()) == m_device;
    });
    if (m_pipeline && !stillThere)
        close(); // unplugged: detection goes on without frames
    if (!m_pipeline) {
        m_retryDelayMs = 1000;
        open(); // back again: capture resumes by itself
    }
}

bool GstFrameSource::withNewestFrame(const std::function<void(const FrameView&)>& use) {
    if (!m_sink)
        return false;
    GstSample* sample = m_choice.kind == CameraChoice::Kind::File
                            ? takeDueFrame()
                            : gst_app_sink_try_pull_sample(GST_APP_SINK(m_sink), 0);
    // A frame decoded right after a tick that found no newer one (a camera slower than the tick), or
    // decoded again for such a tick, is only lent to the detector, which copies it: the ticks until the
    // next frame then decode nothing. Other frames may be taken whole (FrameView::picture).
    m_lendOnly = !sample || m_tickWithoutFrame;
    m_tickWithoutFrame = !sample;
    if (sample) {
        // Only the frame is kept, not the sample: the sink reuses its sample when the caps change.
        releaseHeld();
        m_sinceFrame.start();
        const bool decoded = decode(sample);
        gst_sample_unref(sample);
        if (!decoded)
            return false;
    } else if (m_choice.kind == CameraChoice::Kind::Network && m_sinceFrame.elapsed() > 10000) {
        // A network camera that stopped sending without closing the connection.
        dropped(QStringLiteral("La cámara de red no envía imágenes"));
        return false;
    }
    // No newer frame: the newest is still the one before. Decoded again (and only lent) when the
    // detector took the pixels it was decoded into.
    if (!m_heldView.isValid() && !(m_heldJpeg && decodeJpeg(m_heldJpeg)))
        return false;
    becameActive();
    use(m_heldView);
    if (m_heldView.picture && m_heldView.picture->constBits() != m_heldView.planes[0])
        m_heldView = FrameView(); // taken (see FrameView::picture)
    return true;
}

GstSample* GstFrameSource::takeDueFrame() {
    const qint64 now = m_playClock.nsecsElapsed();
    GstSample* due = nullptr;
    for (;;) {
        GstSample* next = std::exchange(m_ahead, nullptr);
        if (!next) {
            GstSample* pulled = gst_app_sink_try_pull_sample(GST_APP_SINK(m_sink), 0);
            if (!pulled)
                break;
            if (m_gate)
                m_gate->taken();
            // A sample of our own: the sink's may be changed under us while we keep it.
            next =
                gst_sample_new(gst_sample_get_buffer(pulled), gst_sample_get_caps(pulled), nullptr, nullptr);
            gst_sample_unref(pulled);
            sizeQueue(gst_sample_get_caps(next));
        }
        const GstBuffer* buffer = gst_sample_get_buffer(next);
        const qint64 time = buffer && GST_BUFFER_PTS_IS_VALID(buffer) ? qint64(GST_BUFFER_PTS(buffer))
                                                                      : std::max<qint64>(m_lastFrameTime, 0);
        // Due now: the first frame, the file starting over, and a frame far behind its time (the frames
        // waited while nobody looked, or the file is read slower than it plays), so that it goes on from
        // here rather than racing through what it missed.
        constexpr qint64 behind = 250 * qint64(GST_MSECOND);
        if (m_lastFrameTime < 0 || time < m_lastFrameTime || m_playOrigin + time < now - behind)
            m_playOrigin = now - time;
        if (m_playOrigin + time > now) {
            m_ahead = next; // for a later tick
            break;
        }
        if (due)
            gst_sample_unref(due);
        due = next;
        m_lastFrameTime = time;
    }
    return due;
}

void GstFrameSource::sizeQueue(const GstCaps* caps) {
    if (m_queuedFrames > 0 || !caps || gst_caps_is_empty(caps))
        return;
    int numerator = 30, denominator = 1;
    gst_structure_get_fraction(gst_caps_get_structure(caps, 0), "framerate", &numerator, &denominator);
    const double fps = denominator > 0 && numerator > 0 ? double(numerator) / denominator : 30.0;
    // A tick's frames and one more are always there, so that the file keeps its pace at any tick; the
    // reading thread adds about a third of a second's frames at a time.
    const int perTick = int(std::clamp<qint64>(qint64(std::ceil(fps * m_tickMs / 1000.0)), 1, 60));
    const int burst = int(std::clamp<qint64>(qint64(std::ceil(fps / 3)), 2, 30));
    m_queuedFrames = perTick + 1 + burst;
    if (m_gate)
        m_gate->setSizes(perTick + 1, m_queuedFrames);
    // One more in the sink than the gate lets in: the sink itself never has the reading thread wait.
    g_object_set(m_sink, "max-buffers", guint(m_queuedFrames + 1), nullptr);
}

void GstFrameSource::releaseHeld() {
    if (m_heldJpeg) {
        gst_buffer_unref(m_heldJpeg);
        m_heldJpeg = nullptr;
    }
    if (m_mapped) {
        gst_video_frame_unmap(m_mapped.get());
        m_mapped.reset();
    }
    m_heldView = FrameView();
}

bool GstFrameSource::decode(GstSample* sample) {
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    const GstStructure* kind = caps && !gst_caps_is_empty(caps) ? gst_caps_get_structure(caps, 0) : nullptr;
    if (!buffer || !kind)
        return false;
    if (gst_structure_has_name(kind, "image/jpeg")) {
        const bool decoded = decodeJpeg(buffer);
        if (decoded)
            m_heldJpeg = gst_buffer_ref(buffer);
        if (!decoded && !m_damaged)
            emit problem(QStringLiteral("La cámara envió una imagen dañada; se descarta."));
        m_damaged = !decoded;
        return decoded;
    }
    if (gst_structure_has_name(kind, "video/x-raw")) {
        // Raw frames are read in place: mapped (which keeps the buffer) while they are the newest.
        GstVideoInfo info;
        auto frame = std::make_unique<GstVideoFrame>();
        if (!gst_video_info_from_caps(&info, caps) ||
            !gst_video_frame_map(frame.get(), &info, buffer, GST_MAP_READ))
            return false;
        m_heldView.format = pixelFormatOf(GST_VIDEO_INFO_FORMAT(&info));
        m_heldView.width = GST_VIDEO_INFO_WIDTH(&info);
        m_heldView.height = GST_VIDEO_INFO_HEIGHT(&info);
        for (guint i = 0; i < std::min(GST_VIDEO_FRAME_N_PLANES(frame.get()), 3u); ++i) {
            m_heldView.planes[i] = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(frame.get(), i));
            m_heldView.strides[i] = GST_VIDEO_FRAME_PLANE_STRIDE(frame.get(), i);
        }
        m_mapped = std::move(frame);
        return m_heldView.isValid();
    }
    dropped(QStringLiteral("La dirección no es una cámara de red (Motion JPEG por HTTP, o RTSP)"));
    return false;
}

bool GstFrameSource::decodeJpeg(GstBuffer* buffer) {
    // Decoded at the tick that takes it, at the size the view needs.
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return false;
    const bool decoded = m_jpeg.decode(map.data, map.size, m_heldView);
    gst_buffer_unmap(buffer, &map);
    if (m_lendOnly)
        m_heldView.picture = nullptr;
    return decoded;
}

void GstFrameSource::becameActive() {
    m_retryDelayMs = 1000;
    if (!m_active) {
        // The detector takes this first frame as its reference only.
        m_active = true;
        emit activeChanged(true);
        emit problem(QString());
    }
}
