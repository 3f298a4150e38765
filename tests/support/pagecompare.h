#pragma once
// Pages of a PDF file against the pages the program draws: both drawn in grey at a low
// resolution and compared ink to ink. Used where a document leaves the program as a file
// (a printer's job, an issued PDF) to show that it is the page the program laid out.

#include "tools/render_ui.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace support {

// Share of ink allowed to stand apart from the other drawing (see pageDifference).
inline constexpr double kPageTolerance = 0.005;
// Pages are compared drawn at kPageDpi; ink matches ink within kInkRadius pixels (half a
// millimetre), and kPageShift pixels (a millimetre and a half) is a move the measure must see.
inline constexpr int kPageDpi = 100;
inline constexpr int kInkRadius = 2;
inline constexpr int kPageShift = 6;

// Runs a program and gives what it wrote, both channels; *exitCode -1 when it did not end.
inline QString runTool(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        p.kill();
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit && p.error() != QProcess::FailedToStart ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAll());
}

// The first of the programs that is not installed; empty when all are.
inline QString missingTool(const QStringList &programs)
{
    for (const QString &tool : programs)
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return tool;
    return {};
}

// Every page of the PDF drawn in grey at kPageDpi (pdftoppm), into scratch.
inline QList<QImage> pdfPages(const QString &pdf, const QString &scratch)
{
    const QString prefix = QDir(scratch).filePath(QFileInfo(pdf).completeBaseName().replace(u' ', u'_'));
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-q"), QStringLiteral("-r"), QString::number(kPageDpi), QStringLiteral("-gray"), pdf, prefix});
    QList<QImage> pages;
    const QDir dir(scratch);
    const QStringList names =
        dir.entryList({QFileInfo(prefix).fileName() + QStringLiteral("-*.pgm")}, QDir::Files, QDir::Name);
    for (const QString &name : names)
        pages.append(QImage(dir.filePath(name)).convertToFormat(QImage::Format_Grayscale8));
    return pages;
}

// A prepared sheet as the program draws it, in grey at kPageDpi.
inline QImage drawnPage(const render::PreparedPage &page)
{
    return render::paintImage(page, kPageDpi).convertToFormat(QImage::Format_Grayscale8);
}

// Ink that has no ink of the other page near it (within radius pixels), as a share of
// all the ink on page a. Two drawings of one page differ in the weight of the glyphs (a
// printer path turns the fonts into outlines of its own), not in where anything stands: a
// box or line moved by a millimetre or more leaves ink unmatched.
inline double unmatchedInk(const QImage &a, const QImage &b, int radius)
{
    if (a.size() != b.size() || a.isNull())
        return 1;
    const auto ink = [](const QImage &im, int x, int y) { return im.constScanLine(y)[x] < 160; };
    qint64 all = 0, alone = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!ink(a, x, y))
                continue;
            ++all;
            bool near = false;
            for (int dy = -radius; dy <= radius && !near; ++dy)
                for (int dx = -radius; dx <= radius && !near; ++dx) {
                    const int u = x + dx, v = y + dy;
                    near = u >= 0 && v >= 0 && u < b.width() && v < b.height() && ink(b, u, v);
                }
            alone += !near;
        }
    return all == 0 ? 1 : double(alone) / double(all);
}

// Both ways: nothing on one page that the other lacks.
inline double pageDifference(const QImage &got, const QImage &wanted)
{
    return std::max(unmatchedInk(got, wanted, kInkRadius), unmatchedInk(wanted, got, kInkRadius));
}

inline QImage shiftedPage(const QImage &page, int dx, int dy)
{
    QImage out(page.size(), QImage::Format_Grayscale8);
    out.fill(255);
    QPainter p(&out);
    p.drawImage(dx, dy, page);
    return out;
}

// The measure itself sees a page moved by a millimetre and a half, or a blank one.
inline bool measureSeesMoves(const QImage &got, const QImage &wanted)
{
    QImage blank(got.size(), QImage::Format_Grayscale8);
    blank.fill(255);
    return pageDifference(blank, wanted) > kPageTolerance
        && pageDifference(shiftedPage(got, kPageShift, 0), wanted) > kPageTolerance
        && pageDifference(shiftedPage(got, 0, kPageShift), wanted) > kPageTolerance;
}

} // namespace support
