// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "banner/BannerWindow.h"

#include "banner/Twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>

// `picCredits`: the black text area; it only paints what the last tick laid out.
class BannerWindow::Credits : public QWidget {
public:
    explicit Credits(BannerWindow* banner)
        : QWidget(banner)
        , m_banner(banner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_banner->paintCredits(painter);
    }

private:
    BannerWindow* m_banner;
};

namespace {
int px(double twips, double twipsPerPixel) {
    return qRound(Twips::toPixels(twips, twipsPerPixel));
}
} // namespace

BannerWindow::BannerWindow(std::function<bool()> detectionRunning, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
    , m_detectionRunning(std::move(detectionRunning)) {
    // Twips follow the screen's logical dpi: 15 per pixel at 96 dpi.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    m_twipsPerPixel = 1440.0 / (dpi > 0 ? dpi : 96.0);

    setWindowTitle(QStringLiteral("P r e g o n a r"));
    setFixedSize(px(13500, m_twipsPerPixel), px(5055, m_twipsPerPixel));
    setAutoFillBackground(true);
    QPalette back = palette();
    back.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xFF)); // &H00FFC0C0&
    setPalette(back);
    // Half transparent: alpha 128 of 255.
    setWindowOpacity(128.0 / 255.0);

    m_font = bannerFont(m_twipsPerPixel);
    m_measure = std::make_unique<FontTextMeasure>(m_font, m_twipsPerPixel);
    m_layout = std::make_unique<BannerLayout>(*m_measure);

    m_picCredits = new Credits(this);
    m_picCredits->setGeometry(px(-30, m_twipsPerPixel), px(-30, m_twipsPerPixel),
                              px(BannerLayout::DesignWidth, m_twipsPerPixel),
                              px(BannerLayout::DesignHeight, m_twipsPerPixel));

    m_lblMatrix = new QLabel(QStringLiteral("www.pregonar.example"), this);
    m_lblMatrix->setGeometry(px(9585, m_twipsPerPixel), px(4650, m_twipsPerPixel), px(3825, m_twipsPerPixel),
                             px(315, m_twipsPerPixel));
    QFont credit(QStringLiteral("Verdana"));
    credit.setPointSizeF(12);
    credit.setBold(true);
    m_lblMatrix->setFont(credit);
    m_lblMatrix->setAlignment(Qt::AlignCenter);
    m_lblMatrix->setStyleSheet(QStringLiteral("color: #0000ff; background: #808080;"));

    m_scrollTimer.setInterval(10);
    m_scrollTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_scrollTimer, &QTimer::timeout, this, &BannerWindow::tick);
}

BannerWindow::~BannerWindow() = default;

void BannerWindow::prepareTexts() {
    const QStringList& lines = m_layout->lines();
    m_texts.assign(size_t(lines.size()), QStaticText());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStaticText& text = m_texts[size_t(i)];
        text.setTextFormat(Qt::PlainText);
        text.setText(lines[i]);
        text.setPerformanceHint(QStaticText::AggressiveCaching);
        text.prepare(QTransform(), m_font);
    }
    m_drawn.clear();
    m_drawn.reserve(size_t(m_layout->visibleLines()));
}

void BannerWindow::start(const QString& message) {
    if (m_layout->layOutIfChanged(message, m_detectionRunning())) {
        prepareTexts();
    }
    if (!m_placed) {
        // Centred on the screen when first shown.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
        m_placed = true;
    }
    show();
    raise();
    m_scrollTimer.start();
}

void BannerWindow::stop() {
    m_scrollTimer.stop();
    hide();
}

void BannerWindow::tick() {
    const BannerLayout::Tick result = m_layout->tick(m_detectionRunning());
    m_drawn.assign(result.lines.begin(), result.lines.end());
    m_picCredits->update();
    if (result.stop) {
        emit passFinished();
    }
}

void BannerWindow::paintCredits(QPainter& painter) {
    painter.fillRect(painter.viewport(), Qt::black);
    painter.setFont(m_font);
    for (const BannerLayout::DrawnLine& line : m_drawn) {
        if (line.index < 0 || size_t(line.index) >= m_texts.size()) {
            continue;
        }
        painter.setPen(BgrColour::toQColor(line.colour));
        painter.drawStaticText(
            QPointF(Twips::toPixels(line.x, m_twipsPerPixel), Twips::toPixels(line.y, m_twipsPerPixel)),
            m_texts[size_t(line.index)]);
    }
}

void BannerWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit escapePressed();
        return;
    }
    QWidget::keyPressEvent(event);
}

void BannerWindow::closeEvent(QCloseEvent* event) {
    // Neither the title bar nor Alt+F4 closes the banner; the panel owns its life.
    event->ignore();
}
