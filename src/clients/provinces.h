#pragma once

#include <QStringList>

namespace clients {

// The two-letter province codes offered by the province fields (an aid only: any two
// characters may be typed).
const QStringList &provinceCodes();

} // namespace clients
