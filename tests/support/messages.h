#pragma once
// Reading what the Messages seam showed, for tests that record it.

#include "ui/seams.h"

#include <QtTest>

namespace support {

// Exactly one box was shown since the last reading: of this kind, with this text.
inline void expectOne(Messages::Kind kind, const QString &text)
{
    const QList<Messages::Shown> shown = Messages::taken();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].kind, kind);
    QCOMPARE(shown[0].text, text);
}

// Exactly these boxes were shown since the last reading, in this order.
inline void expectShown(const QList<Messages::Shown> &expected)
{
    const QList<Messages::Shown> shown = Messages::taken();
    QStringList got, wanted;
    for (const Messages::Shown &s : shown)
        got << QString::number(int(s.kind)) + u' ' + s.text;
    for (const Messages::Shown &s : expected)
        wanted << QString::number(int(s.kind)) + u' ' + s.text;
    QCOMPARE(got, wanted);
}

// No box was shown since the last reading.
inline void expectNone()
{
    const QList<Messages::Shown> shown = Messages::taken();
    QVERIFY2(shown.isEmpty(), shown.isEmpty() ? "" : qPrintable(shown.first().text));
}

} // namespace support
