#include "logo.h"

#include "storage/programfolder.h"
#include "storage/safesave.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgRenderer>

namespace logo {

namespace {
const QString kDefaultArt = QStringLiteral(":/img/logo/laboratorio.svg");
} // namespace

QString path()
{
    return ProgramFolder::file(kFileName);
}

QImage defaultPicture()
{
    QImage image(kDefaultSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QSvgRenderer art(kDefaultArt);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    art.render(&painter, QRectF(QPointF(0, 0), QSizeF(kDefaultSize)));
    return image;
}

QImage blankPicture()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage current()
{
    QImage image;
    if (!image.load(path()) || image.isNull())
        return defaultPicture();
    return image;
}

bool save(const QImage &picture, QString *error)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (picture.isNull() || !picture.save(&buffer, "BMP")) {
            if (error)
                *error = QStringLiteral("l'immagine non pu\u00f2 essere convertita in bitmap");
            return false;
        }
    }
    return safesave::save(path(), bytes, error);
}

} // namespace logo
