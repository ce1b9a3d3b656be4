// SPDX-License-Identifier: GPL-3.0-or-later
// Path texts and file names: any text resolves without a crash to a path of this machine with
// no empty component and no backslash, a drive's or a share's path stays on it, and any file
// name's bytes come back byte for byte.
#include "platform/files/FileName.h"
#include "platform/wine/WindowsPaths.h"

#include <QDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = gvt::platform::textOfFileName(bytes);
    if (gvt::platform::fileNameOfText(text) != bytes)
        std::abort();
    if (text.contains(QChar(0)))
        return 0;
    // Paths are resolved inside a small tree of the fuzzer's own, which is also the prefix.
    static const QString root = [] {
        const QString folder = QDir::tempPath() + QStringLiteral("/gvt-paths-fuzz");
        QDir().mkpath(folder + QStringLiteral("/Mods/GvTarsis/settings"));
        QDir().mkpath(folder + QStringLiteral("/dosdevices/unc/server/share"));
        QFile::link(QStringLiteral(".."), folder + QStringLiteral("/dosdevices/c:"));
        return folder;
    }();
    const auto resolve = [&](const QString& pathText) {
        return gvt::platform::textOfFileName(gvt::platform::resolvePathIn(pathText, root));
    };
    const QString path = resolve(root + u'\\' + text);
    if (!path.startsWith(root) || path.contains(u'\\') || path.contains(QStringLiteral("//")))
        std::abort();
    resolve(text);
    // A drive path, or a share's, never leaves its drive or its share, whatever its "..".
    for (const auto& [start, folder] :
         {std::pair{QStringLiteral("C:\\"), QStringLiteral("/dosdevices/c:")},
          std::pair{QStringLiteral("\\\\server\\share\\"),
                    QStringLiteral("/dosdevices/unc/server/share")},
          std::pair{QStringLiteral("\\\\"), QStringLiteral("/dosdevices/unc")}}) {
        const QString resolved = resolve(start + text);
        if (!resolved.startsWith(root + folder) || resolved.contains(u'\\'))
            std::abort();
    }
    return 0;
}
