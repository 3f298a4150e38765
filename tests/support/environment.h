#pragma once
// What a test needs of the machine (a scratch file system, a print system, a spreadsheet
// program, FUSE, a tool of poppler-utils) and cannot find there. The test skips and says
// why; but where the test command has installed that environment on purpose (.ci/run sets
// TIRELLO_REQUIRE_ENVIRONMENT=1), a missing environment is a failure, never a pass.

#include <QtTest>

#define TIRELLO_ENVIRONMENT_MISSING(reason)                                                              \
    do {                                                                                                 \
        if (qEnvironmentVariableIntValue("TIRELLO_REQUIRE_ENVIRONMENT") != 0)                            \
            QFAIL(qPrintable(QStringLiteral("environment required but missing: ") + QString(reason)));  \
        QSKIP(qPrintable(QString(reason)));                                                              \
    } while (false)
