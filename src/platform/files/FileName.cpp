// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileName.h"

#include <algorithm>

namespace gvt::platform {

namespace {

bool isStrayByte(char16_t unit) {
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at `at` (two to four bytes), or 0.
qsizetype sequenceLength(QByteArrayView bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || at + length > bytes.size() || byte(1) < low || byte(1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (!isContinuation(byte(i)))
            return 0;
    }
    return length;
}

// Hands over the text between stray bytes, run by run, and each stray byte, in their order. A
// low surrogate after a high one is half of a character, not a stray byte.
template <typename Run, typename Stray>
void splitAtStrayBytes(QStringView text, Run run, Stray stray) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (!isStrayByte(unit) || (i > 0 && text[i - 1].isHighSurrogate()))
            continue;
        run(text.sliced(start, i - start));
        stray(char(unit - 0xDC00));
        start = i + 1;
    }
    run(text.sliced(start));
}

} // namespace

QString textOfFileName(QByteArrayView bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
        return QString::fromLatin1(bytes);
    // Decoded here, not by Qt's UTF-8 codec, which would drop a byte order mark at the start.
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const qsizetype length = lead < 0x80 ? 1 : sequenceLength(bytes, i);
        if (length == 0) {
            text.append(QChar(char16_t(0xDC00 + lead)));
            ++i;
            continue;
        }
        char32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (qsizetype k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        for (const QChar unit : QChar::fromUcs4(c))
            text.append(unit);
        i += length;
    }
    return text;
}

QByteArray fileNameOfText(QStringView text) {
    QByteArray bytes;
    splitAtStrayBytes(
        text, [&](QStringView run) { bytes += run.toUtf8(); }, [&](char byte) { bytes += byte; });
    return bytes;
}

QByteArray folderOfPath(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QString shownFileName(const QString& text) {
    const auto stray = [](QChar c) { return isStrayByte(c.unicode()); };
    if (std::none_of(text.begin(), text.end(), stray))
        return text;
    QString shown;
    splitAtStrayBytes(
        text, [&](QStringView run) { shown += run; },
        [&](char byte) { shown += QStringLiteral("\\x%1").arg(uchar(byte), 2, 16, QChar(u'0')); });
    return shown;
}

} // namespace gvt::platform
