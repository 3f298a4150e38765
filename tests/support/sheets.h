#pragma once
// Reading prepared sheets: the lines a text box shows, how wide a text prints, what the
// logo frame shows on paper.

#include "tools/render_ui.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QStringList>
#include <QtTest>

namespace support {

// The lines a text box shows on the sheet, top to bottom; none for a missing box.
inline QStringList linesOf(const render::PreparedPage &page, const QString &name)
{
    QStringList out;
    if (const render::Placed *p = page.find(name))
        for (const render::TextLine &l : p->lines)
            out.append(l.text);
    return out;
}

// How wide a text prints in the box's font, in millimetres, measured as on paper.
inline double widthMm(const render::Object &box, const QString &text)
{
    QImage paper(1, 1, QImage::Format_RGB32);
    paper.setDotsPerMeterX(qRound(1200 / 0.0254));
    paper.setDotsPerMeterY(qRound(1200 / 0.0254));
    QFont font(box.font);
    font.setPointSizeF(box.size);
    font.setBold(box.bold);
    font.setItalic(box.italic);
    return QFontMetricsF(font, &paper).horizontalAdvance(text) / 1200 * 25.4;
}

// The logo frame "imgLogo" of a sheet holds picture, scaled to printed (mm) and placed at
// the frame's top-left corner, 1 mm inside the printable area. A red picture, drawn at
// 300 dpi, covers just that part of the frame.
inline void expectLogoFrame(const render::PreparedPage &page, const QImage &picture, const QSizeF &printed)
{
    const render::Placed *box = page.find(QStringLiteral("imgLogo"));
    QVERIFY(box);
    QCOMPARE(box->object.picture.value<QImage>(), picture);
    const QRectF at = render::fitPicture(box->object.rect, QSizeF(picture.size()), box->object.centred);
    QCOMPARE(at.topLeft(), QPointF(1.0, 1.0));
    QVERIFY2(qAbs(at.width() - printed.width()) < 0.05 && qAbs(at.height() - printed.height()) < 0.05,
             qPrintable(QStringLiteral("%1 x %2 mm").arg(at.width()).arg(at.height())));
    const auto red = [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 80; };
    if (!red(picture.pixel(0, 0)))
        return;

    const QImage sheet = render::paintImage(page, 300);
    const double dpmm = 300 / 25.4;
    auto isRed = [&](double xmm, double ymm) {
        return red(sheet.pixel(qRound((page.margin + xmm) * dpmm), qRound((page.margin + ymm) * dpmm)));
    };
    QVERIFY(isRed(1.5, 1.5));
    QVERIFY(isRed(1 + printed.width() - 0.5, 1 + printed.height() - 0.5));
    QVERIFY(!isRed(1 + printed.width() + 0.5, 1.5));
    QVERIFY(!isRed(1.5, 1 + printed.height() + 0.5));
}

} // namespace support
