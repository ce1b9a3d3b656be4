#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace gvt::platform {

// Looks a text value up in the content of a Wine registry file (system.reg): the first of
// `keyPaths` (in their order) whose key holds a text value named `valueName`. Key paths are
// written with single backslashes, relative to the file's root; key and value names compare
// without regard to case. Plain texts and "str(2):" texts count; other typed values do not.
// A file without Wine's header line, or a garbled value, gives nothing. Never reads past the
// content, whatever it holds.
std::optional<QString> findRegistryText(QByteArrayView content, const QStringList& keyPaths,
                                        const QString& valueName);

} // namespace gvt::platform
