// The Wine registry reader: any file content reads without a crash or a hang, a value found in
// a key of any name.
#include "platform/WineRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The key the input names on its first line, with Wine's header before it.
    const qsizetype end = bytes.indexOf('\n');
    const QString key = QString::fromLatin1(bytes.first(end < 0 ? 0 : end)).remove(u'[');
    gvt::platform::findRegistryText(bytes,
                                    {QStringLiteral("Software\\Oxley Games\\Grimvale Tarsis")},
                                    QStringLiteral("GAMEDIR"));
    gvt::platform::findRegistryText("WINE REGISTRY Version 2\n" + bytes.toByteArray(), {key},
                                    QStringLiteral("GAMEDIR"));
    return 0;
}
