#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString g_folder;
QDateTime g_now;
} // namespace

namespace ProgramFolder {

QString path()
{
    QString folder = g_folder.isEmpty() ? QCoreApplication::applicationDirPath() : g_folder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString file(const QString &name)
{
    return path() + name;
}

void setOverride(const QString &folder)
{
    g_folder = folder;
}

} // namespace ProgramFolder

namespace Clock {

QDateTime now()
{
    return g_now.isValid() ? g_now : QDateTime::currentDateTime();
}

void setOverride(const QDateTime &fixed)
{
    g_now = fixed;
}

} // namespace Clock

namespace formats {

QString date(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace formats
