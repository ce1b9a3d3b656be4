// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace gvt::platform {

// Looks a text value up in the content of a Wine registry file (system.reg): the first of
// `keyPaths` (in their order) whose key holds a text value named `valueName`. Key paths are
// written with single backslashes, relative to the file's root; key and value names compare
// without regard to case. Plain texts count, and so do the typed values that hold a text:
// "str(2):" and "str(7):" texts, "hex(1):" and "hex(2):" bytes (UTF-16, over several lines);
// other typed values (dword, binary) do not.
// A file without Wine's header line, or a garbled value, gives nothing. Never reads past the
// content, whatever it holds.
std::optional<QString> findRegistryText(QByteArrayView content, const QStringList& keyPaths,
                                        const QString& valueName);

// Keeps, of a registry file handed over a piece at a time, its first line and the sections of
// the keys that may be one of `keyPaths`: all that findRegistryText() needs of a file of any
// size, without holding the file. A key written with escapes other than a doubled backslash is
// kept, for findRegistryText() to decide.
class RegistryKeyFilter {
public:
    explicit RegistryKeyFilter(const QStringList& keyPaths);
    void feed(QByteArrayView bytes);
    // What was kept, once the whole file has been fed.
    QByteArray finish();

private:
    void take(QByteArrayView line);
    bool mayBeKey(QByteArrayView line) const;

    QList<QByteArray> m_keys; // as the file writes them: each backslash doubled
    QByteArray m_pending;     // a line not ended yet
    QByteArray m_kept;
    bool m_first = true;
    bool m_inKey = false;
};

} // namespace gvt::platform
