#pragma once

#include <QByteArray>
#include <QString>

namespace gvt::common {

// The game's code page. What the user sees or types goes through these two in both
// directions; a character the code page cannot hold becomes "?".
QByteArray toCp1252(const QString& text);
QString fromCp1252(const QByteArray& bytes);

} // namespace gvt::common
