#pragma once

#include "app/helptopics.h"
#include "storage/records.h"
#include "tools/spreadsheet.h"

#include <QDialog>
#include <QHash>

class QLabel;
class QTableView;
class QToolButton;

// The frame every archive export window shares: the banner strip with its three
// commands, the read-only grid of the archive and the status line. The grid is filled
// when the window is first shown; Esporta writes it to the sheet's file beside the program.
class ExportWindow : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString objectName;
        QString title;
        const spreadsheet::Sheet *sheet;
        const records::Layout *layout;
        QString archivePath;
        help::Topic (*topic)();
    };
    ExportWindow(QWidget *owner, const Setup &setup);

    void cmdEsportaClick();
    void cmdGuidaClick();
    QString exportPath() const;
    spreadsheet::GridModel *model() const { return m_model; }

    QTableView *grdRecords;
    QToolButton *cmdEsporta;
    QToolButton *cmdGuida;
    QToolButton *cmdEsci;
    QLabel *panInfo;

    static constexpr QSize kClient{862, 560};
    static constexpr int kRowHeight = 21;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillGrid();
    void setHint(QWidget *control, const QString &hint);
    void clearsHint(QWidget *background);

    Setup m_setup;
    spreadsheet::GridModel *m_model;
    QHash<QObject *, QString> m_hints;
    bool m_filled = false;
};
