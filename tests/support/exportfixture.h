#pragma once
// Export windows under test: one opened over a fresh program folder, Esporta pressed
// with the answers queued, and the markup an export file must hold.

#include "support/folderfixture.h"
#include "ui/exportwindow.h"
#include "ui/helpwindows.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace support {

// A file's bytes; "missing" when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
}

// An export file up to its header row, for this worksheet.
inline QByteArray exportHead(const QByteArray &sheetName)
{
    return "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
           "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" xmlns=\"http://www.w3.org/TR/REC-html40\"><head>"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
           "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet>"
           "<x:Name>"
        + sheetName
        + "</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane>"
          "<x:Number>1</x:Number><x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes>"
          "<x:ProtectContents>False</x:ProtectContents><x:ProtectObjects>False</x:ProtectObjects>"
          "<x:ProtectScenarios>False</x:ProtectScenarios></x:WorksheetOptions></x:ExcelWorksheet>"
          "</x:ExcelWorksheets></x:ExcelWorkbook></xml><![endif]--></head><body><table x:str>";
}

inline const QByteArray kExportTail = "</table></body></html>";

// The header row: each caption bold with its width.
inline QByteArray exportHeaderRow(const QList<std::pair<QByteArray, int>> &captions)
{
    QByteArray out = "<tr>";
    for (const auto &[caption, width] : captions)
        out += "<td style=\"text-align: left; font-weight: bold;\" width=" + QByteArray::number(width) + '>' + caption
            + "</td>";
    return out + "</tr>";
}

inline QByteArray exportDataRow(const QList<QByteArray> &cells)
{
    QByteArray out = "<tr>";
    for (const QByteArray &c : cells)
        out += "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">" + c + "</td>";
    return out + "</tr>";
}

// An export window over a fresh program folder.
class ExportFixture : public FolderFixture {
public:
    void tearDown()
    {
        m_window.reset();
        FolderFixture::tearDown();
    }

    // Takes the window, shows it and waits for it; a window opened before is destroyed.
    void open(std::unique_ptr<ExportWindow> window)
    {
        m_window = std::move(window);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    ExportWindow *w() const { return m_window.get(); }

    // Presses Esporta; the questions it asks take these answers in turn.
    void exportAnswering(const QList<bool> &answers)
    {
        for (bool a : answers)
            Messages::queueAnswer(a);
        QTest::mouseClick(m_window->cmdEsporta, Qt::LeftButton);
    }

    struct Help {
        QString title, text;
    };
    // Presses Guida and reads the help window it opens, which is then closed.
    Help pressGuida()
    {
        Help shown;
        QTimer::singleShot(0, [&shown] {
            if (auto *help = qobject_cast<TfrmGuida *>(QApplication::activeModalWidget())) {
                shown = {help->lblTitolo->text(), help->txtGuida->toPlainText()};
                help->reject();
            }
        });
        QTest::mouseClick(m_window->cmdGuida, Qt::LeftButton);
        return shown;
    }

    // The card's command `open` should show a fresh modal export window and destroy it
    // after: the rows its grid showed, read before Esci is pressed; -1 when no such
    // window came up or it outlived the command.
    static int rowsShownBy(const std::function<void()> &open)
    {
        QPointer<ExportWindow> seen;
        int rows = -1;
        QTimer::singleShot(0, [&] {
            if ((seen = qobject_cast<ExportWindow *>(QApplication::activeModalWidget()))) {
                rows = seen->grdRecords->model()->rowCount();
                QTest::mouseClick(seen->cmdEsci, Qt::LeftButton);
            }
        });
        open();
        return seen.isNull() ? rows : -1;
    }

private:
    std::unique_ptr<ExportWindow> m_window;
};

} // namespace support
