// The Wine registry reader: any file content reads without a crash, and any text that Wine
// writes with its escapes, under a key of any name, reads back as that text.
#include "platform/WineRegistry.h"

#include <cctype>
#include <cstdlib>

namespace {

// Escapes a text the way Wine writes names and values, `end` being the closing character.
QByteArray escaped(const QString& text, char end) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool hexFollows = i + 1 < text.size() && text[i + 1].unicode() < 128 &&
                                std::isxdigit(int(text[i + 1].unicode()));
        if (c > 127)
            out += hexFollows ? QByteArray::number(c, 16).rightJustified(4, '0').prepend("\\x")
                              : QByteArray::number(c, 16).prepend("\\x");
        else if (c < 32)
            out += (i + 1 < text.size() && text[i + 1] >= u'0' && text[i + 1] <= u'7')
                       ? QByteArray::number(c, 8).rightJustified(3, '0').prepend('\\')
                       : QByteArray::number(c, 8).prepend('\\');
        else
            out +=
                QByteArray(c == '\\' || c == end || (end == ']' && c == '[') ? "\\" : "") + char(c);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList keys = {QStringLiteral("Software\\Oxley Games\\Grimvale Tarsis")};
    gvt::platform::findRegistryText(bytes, keys, QStringLiteral("GAMEDIR"));

    // Half of the input names a key, the rest is a value's text, in UTF-16 code units.
    const QString text(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    const QString key = text.left(text.size() / 2), value = text.mid(text.size() / 2);
    if (key.isEmpty())
        return 0;
    const QByteArray file = "WINE REGISTRY Version 2\n\n[" + escaped(key, ']') +
                            "] 1\n\"GAMEDIR\"=\"" + escaped(value, '"') + "\"\n";
    if (gvt::platform::findRegistryText(file, {key}, QStringLiteral("gamedir")) != value)
        std::abort();
    return 0;
}
