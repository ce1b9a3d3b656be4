// SPDX-License-Identifier: GPL-3.0-or-later
// Heroic's files: any content of a game's configuration or of config.json gives a game's
// settings without a crash or a hang, with its wrappers' arguments split.
#include "platform/wine/ManagerParsers.h"
#include "platform/wine/ShellWords.h"

#include <QJsonArray>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    using namespace gvt::platform;
    const qsizetype half = bytes.size() / 2;
    for (const QString& game : heroicGameNames(bytes)) {
        const QJsonObject settings =
            heroicGameSettings(bytes.first(half), bytes.sliced(half), game);
        for (const QJsonValue& wrapper : settings[u"wrapperOptions"].toArray())
            splitShellWords(wrapper.toObject()[u"args"].toString());
    }
    heroicGameSettings(bytes, bytes, QStringLiteral("GT"));
    return 0;
}
