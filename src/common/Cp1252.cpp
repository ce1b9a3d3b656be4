#include "common/Cp1252.h"

#include <array>

namespace gvt::common {

namespace {

// Bytes 0x80 to 0x9F; the five bytes the code page leaves undefined map to the same C1 code.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t unicodeOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kHighControls[byte - 0x80];
    return char16_t(byte);
}

} // namespace

QByteArray toCp1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes.append(char(c));
            continue;
        }
        // A byte of a file name that is not UTF-8 goes back as that byte.
        if (c >= 0xDC80 && c <= 0xDCFF) {
            bytes.append(char(c - 0xDC00));
            continue;
        }
        char out = '?';
        for (unsigned b = 0; b < kHighControls.size(); ++b) {
            if (kHighControls[b] == c) {
                out = char(0x80 + b);
                break;
            }
        }
        // A surrogate pair is one character: one "?".
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes.append(out);
    }
    return bytes;
}

QString fromCp1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char byte : bytes)
        text.append(QChar(unicodeOf(static_cast<unsigned char>(byte))));
    return text;
}

} // namespace gvt::common
