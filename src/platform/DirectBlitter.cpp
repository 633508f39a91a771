// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/DirectBlitter.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include <array>
#include <cstdlib>
#include <cstring>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace {

// The window's pixels are laid out as a 32-bit RGB picture is in memory: 0xAARRGGBB words in the
// machine's byte order, 32 bits a pixel.
bool takesRgb32(xcb_connection_t* connection, xcb_window_t window, uint8_t* depth) {
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
    bool fits = false;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const bool sameOrder =
        (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) == (setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST);
    if (geometry && attributes && sameOrder && (geometry->depth == 24 || geometry->depth == 32)) {
        *depth = geometry->depth;
        bool wholeWords = false;
        for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
            if (f.data->depth == geometry->depth)
                wholeWords = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
        for (auto s = xcb_setup_roots_iterator(setup); s.rem && !fits; xcb_screen_next(&s))
            for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem && !fits; xcb_depth_next(&d))
                for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
                    if (v.data->visual_id == attributes->visual) {
                        fits = wholeWords &&
                               (v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR ||
                                v.data->_class == XCB_VISUAL_CLASS_DIRECT_COLOR) &&
                               v.data->red_mask == 0xff0000 && v.data->green_mask == 0xff00 &&
                               v.data->blue_mask == 0xff;
                        break;
                    }
    }
    std::free(geometry);
    std::free(attributes);
    return fits;
}

// True when a widget drawn after `widget` or one of its parents (so above it) overlaps it.
bool coveredInWindow(const QWidget* widget) {
    QRect area = widget->rect();
    for (const QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        area.translate(w->pos());
        const QObjectList& siblings = w->parentWidget()->children();
        for (qsizetype i = siblings.indexOf(const_cast<QWidget*>(w)) + 1; i < siblings.size(); ++i) {
            const auto* above = qobject_cast<const QWidget*>(siblings[i]);
            if (above && !above->isWindow() && above->isVisible() && above->geometry().intersects(area))
                return true;
        }
    }
    return false;
}

} // namespace

struct DirectBlitter::Server {
    struct Buffer {
        xcb_shm_seg_t segment = 0;
        uchar* pixels = nullptr;
    };

    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    uint8_t depth = 0;
    xcb_gcontext_t gc = 0;
    QSize size;
    std::array<Buffer, 2> buffers{};
    int next = 0;
    int last = -1; // the buffer put last; it still holds that picture

    bool attach(Buffer& buffer, size_t bytes) {
        const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (id < 0)
            return false;
        void* address = shmat(id, nullptr, 0);
        if (address == reinterpret_cast<void*>(-1)) {
            shmctl(id, IPC_RMID, nullptr);
            return false;
        }
        const xcb_shm_seg_t segment = xcb_generate_id(connection);
        xcb_generic_error_t* error =
            xcb_request_check(connection, xcb_shm_attach_checked(connection, segment, id, true));
        // Gone with the last of its users: this program or the server, whichever lets go last.
        shmctl(id, IPC_RMID, nullptr);
        if (error) {
            std::free(error);
            shmdt(address);
            return false;
        }
        buffer = {segment, static_cast<uchar*>(address)};
        return true;
    }

    void detachAll(bool serverThere) {
        for (Buffer& buffer : buffers) {
            if (!buffer.pixels)
                continue;
            if (serverThere)
                xcb_shm_detach(connection, buffer.segment);
            shmdt(buffer.pixels);
            buffer = {};
        }
        size = {};
        last = -1;
    }
};

DirectBlitter::DirectBlitter(QWidget* widget)
    : QObject(widget)
    , m_widget(widget) {}

DirectBlitter::~DirectBlitter() {
    release();
}

void DirectBlitter::release() {
    if (!m_server)
        return;
    // At the very end the display may be closed already: the memory is still let go.
    const bool serverThere = qGuiApp && qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    m_server->detachAll(serverThere);
    if (serverThere) {
        if (m_server->gc)
            xcb_free_gc(m_server->connection, m_server->gc);
        xcb_flush(m_server->connection);
    }
    m_server.reset();
}

QWindow* DirectBlitter::drawableWindow() const {
    if (m_unusable || !m_widget->isVisible() || !m_widget->updatesEnabled())
        return nullptr;
    QWidget* native = m_widget->nativeParentWidget();
    QWindow* handle = native ? native->windowHandle() : nullptr;
    if (!handle || !handle->isExposed() || native->devicePixelRatioF() != 1.0)
        return nullptr;
    // Covered in part by a sibling: the toolkit knows how to paint around it.
    return coveredInWindow(m_widget) ? nullptr : handle;
}

bool DirectBlitter::prepare(const QImage& picture) {
    QWindow* handle = drawableWindow();
    if (!handle || picture.format() != QImage::Format_RGB32 || picture.size() != m_widget->size())
        return false;
    QWidget* native = m_widget->nativeParentWidget();

    if (!m_server) {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
        const xcb_query_extension_reply_t* shm =
            connection ? xcb_get_extension_data(connection, &xcb_shm_id) : nullptr;
        if (!shm || !shm->present) {
            m_unusable = true;
            return false;
        }
        m_server = std::make_unique<Server>();
        m_server->connection = connection;
    }
    Server& server = *m_server;
    const auto window = xcb_window_t(native->internalWinId());
    if (window != server.window) {
        if (server.gc)
            xcb_free_gc(server.connection, server.gc);
        server.gc = 0;
        server.window = window;
        server.last = -1;
        if (!takesRgb32(server.connection, window, &server.depth)) {
            m_unusable = true;
            release();
            return false;
        }
        server.gc = xcb_generate_id(server.connection);
        const uint32_t noExposures = 0;
        xcb_create_gc(server.connection, server.gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    }
    if (server.size != picture.size()) {
        server.detachAll(true);
        const size_t bytes = size_t(picture.width()) * size_t(picture.height()) * 4;
        if (!server.attach(server.buffers[0], bytes) || !server.attach(server.buffers[1], bytes)) {
            // A server on another machine, say: the toolkit's own way it is.
            m_unusable = true;
            release();
            return false;
        }
        server.size = picture.size();
    }
    if (m_watched != handle) {
        if (m_watched)
            m_watched->removeEventFilter(this);
        m_watched = handle;
        handle->installEventFilter(this);
    }
    return true;
}

bool DirectBlitter::put(const QImage& picture) {
    if (!prepare(picture))
        return false;
    Server& server = *m_server;
    Server::Buffer& buffer = server.buffers[size_t(server.next)];
    const size_t row = size_t(picture.width()) * 4;
    if (size_t(picture.bytesPerLine()) == row) {
        std::memcpy(buffer.pixels, picture.constBits(), row * size_t(picture.height()));
    } else {
        for (int y = 0; y < picture.height(); ++y)
            std::memcpy(buffer.pixels + row * size_t(y), picture.constScanLine(y), row);
    }
    server.last = server.next;
    // The other buffer next time: the server may still be reading this one.
    server.next ^= 1;
    putLast();
    return true;
}

void DirectBlitter::putLast() {
    if (!m_server || m_server->last < 0 || !drawableWindow() || m_server->size != m_widget->size())
        return;
    Server& server = *m_server;
    QWidget* native = m_widget->nativeParentWidget();
    if (!native || xcb_window_t(native->internalWinId()) != server.window)
        return;
    const QPoint at = m_widget->mapTo(native, QPoint());
    const auto width = uint16_t(server.size.width()), height = uint16_t(server.size.height());
    xcb_shm_put_image(server.connection, server.window, server.gc, width, height, 0, 0, width, height,
                      int16_t(at.x()), int16_t(at.y()), server.depth, XCB_IMAGE_FORMAT_Z_PIXMAP, false,
                      server.buffers[size_t(server.last)].segment, 0);
    xcb_flush(server.connection);
}

bool DirectBlitter::eventFilter(QObject* watched, QEvent* event) {
    // The window shows its backing store again when it is uncovered, with the picture the toolkit last
    // painted there: the newest goes back on top once that is done.
    if (watched == m_watched && event->type() == QEvent::Expose)
        QMetaObject::invokeMethod(this, &DirectBlitter::putLast, Qt::QueuedConnection);
    return false;
}
