#pragma once
// The laboratory's logo: "Logo.bmp" beside the program, printed at the top left of test
// reports and certificates. Its absence is normal: the built-in picture of a chemist at
// work stands in for it.

#include "storage/programfiles.h"

#include <QImage>
#include <QString>

namespace logo {

inline const QString kFileName = programfiles::kLogo;
inline constexpr QSize kDefaultSize{298, 186};

// ProgramFolder + "Logo.bmp".
QString path();

// The built-in picture, 298 x 186 pixels.
QImage defaultPicture();
// The picture that clears the logo: 2 x 2 white pixels.
QImage blankPicture();

// What the print windows put into their picture object "imgLogo": Logo.bmp, or the
// built-in picture when the file is missing or unreadable.
QImage current();

// Writes the picture as Logo.bmp, a Windows bitmap at the picture's own size, replacing
// the old file only when every byte is written. False on failure (the old file keeps
// every byte), with the reason in *error when given.
bool save(const QImage &picture, QString *error = nullptr);

} // namespace logo
