// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The views renewed at every tick, on a real X server: what the screen shows, read back from the server.
#include "app/StatusLine.h"
#include "capture/LiveView.h"

#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

namespace {

QImage frameOf(QColor colour) {
    QImage frame(320, 240, QImage::Format_RGB32);
    frame.fill(colour);
    // A mark in one corner, so that a picture drawn in the wrong place does not pass.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            frame.setPixel(x, y, qRgb(255, 255, 255));
    return frame;
}

// A widget's pixels as the X server has them.
QImage onScreen(const QWidget& view) {
    const QPoint at = view.mapTo(view.window(), QPoint());
    return QGuiApplication::primaryScreen()
        ->grabWindow(view.window()->winId(), at.x(), at.y(), view.width(), view.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

struct Window {
    QWidget top;
    LiveView* view = new LiveView(&top);
    Window() {
        auto* layout = new QVBoxLayout(&top);
        layout->addWidget(view);
        top.move(0, 0);
        top.show();
    }
};

} // namespace

class TestOnScreen : public QObject {
    Q_OBJECT
private slots:
    void framesAreOnScreenAtOnce() {
        Window window;
        QVERIFY(QTest::qWaitForWindowExposed(&window.top));
        const QImage red = frameOf(Qt::red), blue = frameOf(Qt::blue);
        // No event is handled in between: the frame does not wait for a repaint of the window.
        window.view->showFrame(&red);
        QCOMPARE(onScreen(*window.view), red);
        window.view->showFrame(&blue);
        QCOMPARE(onScreen(*window.view), blue);

        // The window uncovered: the server first shows what the toolkit last painted there, then the
        // newest frame is back.
        QWidget cover;
        cover.setGeometry(window.top.geometry());
        cover.setStyleSheet(QStringLiteral("background: green"));
        cover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cover));
        cover.hide();
        QTRY_COMPARE(onScreen(*window.view), blue);
    }

    void aWidgetOverTheViewStaysOnTop() {
        Window window;
        auto* label = new QLabel(&window.top);
        label->setAutoFillBackground(true);
        label->setStyleSheet(QStringLiteral("background: yellow"));
        label->setGeometry(QRect(window.view->pos() + QPoint(100, 100), QSize(50, 50)));
        label->show();
        QVERIFY(QTest::qWaitForWindowExposed(&window.top));
        const QImage red = frameOf(Qt::red);
        window.view->showFrame(&red);
        QTRY_COMPARE(onScreen(*window.view).pixel(10, 10), qRgb(255, 255, 255));
        const QImage shown = onScreen(*window.view);
        QCOMPARE(shown.pixel(200, 200), qRgb(255, 0, 0));
        QCOMPARE(shown.pixel(120, 120), qRgb(255, 255, 0));
    }

    // A new status is on the screen at once, drawn as the widget paints itself (its bold font).
    void statusLineIsOnScreenAtOnce() {
        QWidget top;
        auto* line = new StatusLine(QStringLiteral("AutoMensaje NIVEL 60 (100) PRESENCIA 0%"), &top);
        (new QVBoxLayout(&top))->addWidget(line);
        top.setGeometry(0, 0, 360, 80);
        top.show();
        QVERIFY(QTest::qWaitForWindowExposed(&top));
        line->setText(QStringLiteral("AutoMensaje NIVEL 60 (42) PRESENCIA 87%"));
        QCOMPARE(onScreen(*line), line->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(TestOnScreen)
#include "TestOnScreen.moc"
