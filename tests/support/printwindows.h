#pragma once
// The ways the print and preview windows of a document end, for the tests of every
// document: printed or previewed, the print dialog cancelled, a failing printer or
// preview, Annulla.

#include "support/messages.h"
#include "support/modal.h"
#include "tools/render_ui.h"
#include "ui/printwindow.h"

#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QtTest>

#include <functional>
#include <optional>

namespace support {

inline const QString kPreviewFailed =
    QStringLiteral("Attenzione: la visualizzazione dell'anteprima di stampa non \u00e8 andata a buon fine.");
inline const QString kPrintFailed = QStringLiteral("Attenzione: la stampa non \u00e8 andata a buon fine.");

// The rows of a data table: preview (bool), step ("ok", "cancel", "fail" or "annulla":
// what happens once the window is open), outputs (int) and warning (empty: none).
inline void printWindowRows()
{
    QTest::addColumn<bool>("preview");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("outputs");
    QTest::addColumn<QString>("warning");
    QTest::newRow("printed") << false << "ok" << 1 << QString();
    QTest::newRow("print dialog cancelled") << false << "cancel" << 0 << QString();
    QTest::newRow("printer fails") << false << "fail" << 0 << kPrintFailed;
    QTest::newRow("previewed") << true << "ok" << 1 << QString();
    QTest::newRow("preview fails") << true << "fail" << 0 << kPreviewFailed;
    QTest::newRow("print window: Annulla") << false << "annulla" << 0 << QString();
    QTest::newRow("preview window: Annulla") << true << "annulla" << 0 << QString();
}

struct PrintWindowSeen {
    QString objectName;
    QString title;
    QString action; // the caption of btnStampa
    QImage logo;    // the logo a LogoPrintWindow took when it opened
};

// Queues what the step needs, then open() shows the window modally; inside it, inside()
// runs first and then Annulla or the action button is pressed, as the step says. The
// window has the shape every document's window has; none is left open.
inline PrintWindowSeen runPrintWindow(QObject *context, const QString &step, const std::function<void()> &open,
                                      const std::function<void()> &inside = {})
{
    if (step == QLatin1String("cancel"))
        Outputs::queuePrintAnswer(false);
    if (step == QLatin1String("fail"))
        Outputs::queueFailure(QStringLiteral("stampante guasta"));
    PrintWindowSeen seen;
    onModal(context, [&](QDialog *modal) {
        auto *w = qobject_cast<PrintWindow *>(modal);
        QVERIFY(w);
        seen = {w->objectName(), w->windowTitle(), w->btnStampa->text(), {}};
        if (auto *withLogo = qobject_cast<LogoPrintWindow *>(w))
            seen.logo = withLogo->imgLogo;
        QCOMPARE(w->size(), QSize(364, 287));
        QCOMPARE(w->btnAnnulla->text(), QStringLiteral("Annulla"));
        QVERIFY(w->btnAnnulla->geometry().right() < w->btnStampa->geometry().left());
        QVERIFY(w->imgLogo01->renderer()->isValid());
        if (inside)
            inside();
        QTest::mouseClick(step == QLatin1String("annulla") ? w->btnAnnulla : w->btnStampa, Qt::LeftButton);
    });
    open();
    [] { QVERIFY(!QApplication::activeModalWidget()); }();
    return seen;
}

// The window's warning was shown, alone; or nothing at all for an empty text.
inline void expectWarning(const QString &warning)
{
    if (warning.isEmpty())
        expectNone();
    else
        expectOne(Messages::Kind::Warning, warning);
}

struct PrintWindowRun {
    bool preview = false;
    QString step;
    PrintWindowSeen seen;
    std::optional<Outputs::Taken> output; // what was previewed or printed, if anything
};

// Runs the current row of printWindowRows(): open(preview) shows the preview or print
// window of a document titled title. The row's outputs and warning came about, the
// output of the right kind and title.
inline PrintWindowRun runPrintWindowRow(QObject *context, const QString &title, const std::function<void(bool)> &open,
                                        const std::function<void()> &inside = {})
{
    QFETCH(bool, preview);
    QFETCH(QString, step);
    QFETCH(int, outputs);
    QFETCH(QString, warning);
    PrintWindowRun run{preview, step, runPrintWindow(context, step, [&] { open(preview); }, inside), {}};
    const QList<Outputs::Taken> taken = Outputs::taken();
    [&] {
        QCOMPARE(taken.size(), outputs);
        if (outputs) {
            QCOMPARE(taken[0].kind, preview ? Outputs::Kind::Preview : Outputs::Kind::Print);
            QCOMPARE(taken[0].title, title);
        }
    }();
    if (!taken.isEmpty())
        run.output = taken[0];
    expectWarning(warning);
    return run;
}

// The engine's preview window shows the pages of a recorded preview, at its zoom.
inline void expectPreviewAsTaken(const Outputs::Taken &taken)
{
    render::PreviewWindow preview(nullptr, taken.pages, taken.title, taken.zoom, taken.sides);
    auto *view = preview.findChild<QPrintPreviewWidget *>();
    QVERIFY(view);
    view->updatePreview();
    QCOMPARE(view->zoomMode(), taken.zoom > 0 ? QPrintPreviewWidget::CustomZoom : QPrintPreviewWidget::FitInView);
    if (taken.zoom > 0)
        QCOMPARE(view->zoomFactor(), taken.zoom);
    QCOMPARE(view->pageCount(), int(taken.pages.size()));
}

} // namespace support
