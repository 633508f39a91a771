// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "banner/BannerLayout.h"
#include "banner/TextMeasure.h"

#include <QStaticText>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QLabel;

// The message banner: a small half-transparent window in the middle of the screen, always on top
// and out of the task bar, in which the shop's message scrolls upward like film credits. The user
// cannot close it; the panel starts and stops it.
class BannerWindow : public QWidget {
    Q_OBJECT
public:
    // `detectionRunning` tells whether motion detection runs: the message then shows once.
    explicit BannerWindow(std::function<bool()> detectionRunning, QWidget* parent = nullptr);
    ~BannerWindow() override;

    BannerLayout& layout() { return *m_layout; }
    QTimer& scrollTimer() { return m_scrollTimer; }
    double twipsPerPixel() const { return m_twipsPerPixel; }

    // Lays the message out again when it changed, shows the window and starts scrolling.
    void start(const QString& message);
    // Hides the window and stops scrolling; the scroll position is kept for the next start.
    void stop();

    // One tick of `the scroll timer`, public so that tests and benchmarks can drive it.
    void tick();
    // Draws the lines of the last tick, as the text area paints itself.
    void paintCredits(QPainter& painter);

signals:
    // One pass of the message is over while detection runs.
    void passFinished();
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class Credits;
    void prepareTexts();

    std::function<bool()> m_detectionRunning;
    double m_twipsPerPixel;
    QFont m_font;
    std::unique_ptr<FontTextMeasure> m_measure;
    std::unique_ptr<BannerLayout> m_layout;
    Credits* m_picCredits = nullptr;
    QLabel* m_lblMatrix = nullptr;
    QTimer m_scrollTimer;
    std::vector<BannerLayout::DrawnLine> m_drawn; // what the last tick asked to paint
    std::vector<QStaticText> m_texts;             // one prepared text per line of the message
    bool m_placed = false;
};
