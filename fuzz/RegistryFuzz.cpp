// SPDX-License-Identifier: GPL-3.0-or-later
// The Wine registry reader: any file content reads without a crash or a hang, a value found in
// a key of any name; and the filter that keeps only the game's keys of a file read a piece at a
// time finds exactly what the whole file gives.
#include "platform/wine/WineRegistry.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The key the input names on its first line, with Wine's header before it.
    const qsizetype end = bytes.indexOf('\n');
    const QString key = QString::fromLatin1(bytes.first(end < 0 ? 0 : end)).remove(u'[');
    const QStringList gameKeys = {
        QStringLiteral("Software\\Wow6432Node\\Oxley Games\\Grimvale Tarsis"),
        QStringLiteral("Software\\Oxley Games\\Grimvale Tarsis")};
    const auto whole = gvt::platform::findRegistryText(bytes, gameKeys, QStringLiteral("GAMEDIR"));
    gvt::platform::findRegistryText("WINE REGISTRY Version 2\n" + bytes.toByteArray(), {key},
                                    QStringLiteral("GAMEDIR"));
    gvt::platform::RegistryKeyFilter filter(gameKeys);
    // Pieces of sizes taken from the input itself, so that lines break anywhere.
    for (qsizetype at = 0, piece = 1; at < bytes.size(); at += piece) {
        piece = 1 + static_cast<unsigned char>(bytes[at]) % 7;
        filter.feed(bytes.sliced(at, std::min(piece, bytes.size() - at)));
    }
    const QByteArray kept = filter.finish();
    if (gvt::platform::findRegistryText(kept, gameKeys, QStringLiteral("GAMEDIR")) != whole)
        std::abort();
    return 0;
}
