#pragma once
// The chemical-analysis certificate card: one certificate of the yearly archive chosen in
// the year window; its second section, "Dettagli tecnici", holds six memos.

#include "reports/documentcard_ui.h"

class QPlainTextEdit;

class TfrmCertificati : public DocumentCard {
    Q_OBJECT
public:
    explicit TfrmCertificati(QWidget *home);

    static inline const QString kTitlePrefix = QStringLiteral(" Tirello - Certificati di analisi chimica anno ");
    static const Description &description();

    QPlainTextEdit *memo(const QString &name) const;

protected:
    QWidget *secondSectionFirstField() const override;
};
