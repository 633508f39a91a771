// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QStaticText>
#include <QString>
#include <QWidget>

// The line under the live view that says what the detector saw, renewed at every tick. Its height is
// two lines of its bold font whatever it says, and it paints its own background (in the colour its
// parent paints there): a new text repaints this widget only, with no layout pass and nothing painted
// behind it, and where the display allows, the line is drawn into a picture of its own that goes straight
// to the screen (see DirectBlitter). A text too long for the width wraps onto the second line.
class DirectBlitter;
class QPainter;

class StatusLine : public QWidget {
    Q_OBJECT
public:
    explicit StatusLine(const QString& text, QWidget* parent = nullptr);

    const QString& text() const { return m_text; }
    void setText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What its parent paints behind it, so that painting its own background matches.
    QColor groundBehind();
    void draw(QPainter& painter);

    // The text laid out for painting. A quiet scene says the same few things tick after tick, so the
    // lines already laid out are kept (a few dozen; a new font or width lays them out again).
    const QStaticText& laidOut();

    QString m_text;
    QColor m_ground;
    QHash<QString, QStaticText> m_laidOut;
    DirectBlitter* m_blitter;
    QImage m_picture; // the line drawn for the blitter
};
