// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/CodePage.h"

#include "platform/GameEnvironment.h"

#include <QHash>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <optional>

namespace gvt::common {

namespace {

const char* iconvNameOf(int number) {
    switch (number) {
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "CP936";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    default:
        return "CP1252";
    }
}

// One conversion of the C library's, open for one call.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != iconv_t(-1))
            ::iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // All of `input` converted, or nothing when any of it cannot be.
    std::optional<QByteArray> convert(QByteArrayView input) {
        if (m_cd == iconv_t(-1))
            return std::nullopt;
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        QByteArray output(input.size() * 4 + 16, Qt::Uninitialized);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = size_t(input.size());
        char* out = output.data();
        size_t outLeft = size_t(output.size());
        if (::iconv(m_cd, &in, &inLeft, &out, &outLeft) == size_t(-1) || inLeft != 0 ||
            ::iconv(m_cd, nullptr, nullptr, &out, &outLeft) == size_t(-1))
            return std::nullopt;
        output.truncate(output.size() - qsizetype(outLeft));
        return output;
    }

private:
    iconv_t m_cd;
};

// The code point of one UTF-32 sequence the C library gave, when it is exactly one.
std::optional<char32_t> onlyCodePoint(const std::optional<QByteArray>& utf32) {
    if (!utf32 || utf32->size() != 4)
        return std::nullopt;
    char32_t c = 0;
    std::memcpy(&c, utf32->constData(), 4);
    return c;
}

bool isStrayByte(char16_t unit) {
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

// A byte a code page does not define: in a single-byte one, the C1 control code where there is
// one (Windows reads 0x81 of 1252 so); else the stray-byte character that file names use.
char16_t undefinedByte(unsigned char byte, bool singleByte) {
    return singleByte && byte >= 0x80 && byte < 0xA0 ? char16_t(byte) : char16_t(0xDC00 + byte);
}

} // namespace

CodePage::CodePage(int number)
    : m_number(QByteArrayView(iconvNameOf(number)) == "CP1252" ? 1252 : number),
      m_singleByte(m_number != 932 && m_number != 936 && m_number != 949 && m_number != 950) {
    if (!m_singleByte)
        return;
    Converter decoder("UTF-32LE", iconvNameOf(m_number));
    for (int byte = 0; byte < 256; ++byte) {
        const char b = char(byte);
        const auto c = onlyCodePoint(decoder.convert(QByteArrayView(&b, 1)));
        m_text[size_t(byte)] = c && *c < 0x10000
                                   ? char16_t(*c)
                                   : undefinedByte(static_cast<unsigned char>(byte), true);
    }
    for (int byte = 255; byte >= 0; --byte)
        m_bytes.insert(m_text[size_t(byte)], char(byte));
}

QString CodePage::textOf(QByteArrayView bytes) const {
    QString text;
    text.reserve(bytes.size());
    if (m_singleByte) {
        for (const char byte : bytes)
            text.append(QChar(m_text[static_cast<unsigned char>(byte)]));
        return text;
    }
    std::unique_ptr<Converter> decoder; // opened at the first byte that is not ASCII
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            text.append(QChar(char16_t(lead)));
            ++i;
            continue;
        }
        // A lead byte and its trail, else a character of one byte, else a byte it leaves
        // undefined.
        if (!decoder)
            decoder = std::make_unique<Converter>("UTF-32LE", iconvNameOf(m_number));
        std::optional<char32_t> c;
        qsizetype length = 2;
        if (i + 1 < bytes.size())
            c = onlyCodePoint(decoder->convert(bytes.sliced(i, 2)));
        if (!c) {
            length = 1;
            c = onlyCodePoint(decoder->convert(bytes.sliced(i, 1)));
        }
        if (c)
            text.append(QString::fromUcs4(&*c, 1));
        else
            text.append(QChar(undefinedByte(lead, false)));
        i += length;
    }
    return text;
}

QByteArray CodePage::bytesOf(QStringView text) const {
    QByteArray bytes;
    bytes.reserve(text.size());
    std::optional<Converter> encoder;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            bytes.append(char(unit));
            continue;
        }
        // A byte of a file name, or one the code page leaves undefined, goes back as that byte.
        if (isStrayByte(unit)) {
            bytes.append(char(unit - 0xDC00));
            continue;
        }
        char32_t c = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(unit, text[++i].unicode());
        if (m_singleByte) {
            const auto found = m_bytes.constFind(unit);
            bytes.append(c == unit && found != m_bytes.constEnd() ? *found : '?');
            continue;
        }
        if (!encoder)
            encoder.emplace(iconvNameOf(m_number), "UTF-32LE");
        const auto encoded =
            QChar::isSurrogate(c)
                ? std::nullopt
                : encoder->convert(QByteArrayView(reinterpret_cast<const char*>(&c), 4));
        bytes.append(encoded ? *encoded : QByteArray("?"));
    }
    return bytes;
}

int CodePage::numberForLocale(QByteArrayView locale, bool installed) {
    // "sr_RS.UTF-8@latin": language "sr", territory "RS", modifier "latin".
    const QByteArray name = locale.toByteArray();
    const qsizetype at = name.indexOf('@');
    const QByteArray modifier = at < 0 ? QByteArray() : name.mid(at + 1).toLower();
    const QByteArray base = name.left(at < 0 ? name.size() : at).split('.').first();
    const QByteArray language = base.split('_').first().toLower();
    const QByteArray territory =
        base.contains('_') ? base.split('_').at(1).toUpper() : QByteArray();
    if (!installed || language.isEmpty() || language == "c" || language == "posix")
        return 1252;
    struct Family {
        int number;
        std::initializer_list<const char*> languages;
    };
    static const Family kFamilies[] = {
        {1250, {"cs", "hu", "pl", "ro", "sk", "sl", "hr", "sq", "bs", "hsb", "dsb", "tk"}},
        {1251,
         {"ru", "uk", "be", "bg", "mk", "sr", "kk", "ky", "tt", "mn", "ba", "cv", "os", "tg",
          "sah"}},
        {1253, {"el"}},
        {1254, {"tr", "az", "uz"}},
        {1255, {"he", "iw", "yi"}},
        {1256, {"ar", "fa", "ur", "ps", "ug", "ckb", "sd"}},
        {1257, {"lt", "lv", "et"}},
        {1258, {"vi"}},
        {874, {"th"}},
        {932, {"ja"}},
        {949, {"ko"}},
    };
    if (language == "sr" && modifier == "latin")
        return 1250;
    if (language == "uz" && modifier == "cyrillic")
        return 1251;
    if (language == "zh")
        return territory == "TW" || territory == "HK" || territory == "MO" ? 950 : 936;
    for (const Family& family : kFamilies) {
        for (const char* member : family.languages) {
            if (language == member)
                return family.number;
        }
    }
    return 1252;
}

namespace {

std::optional<CodePage>& chosenCodePage() {
    static std::optional<CodePage> codePage;
    return codePage;
}

} // namespace

const CodePage& gameCodePage() {
    if (!chosenCodePage())
        useCodePageOfLocale(platform::gameLocaleOf(platform::environmentOfThisProcess()));
    return *chosenCodePage();
}

void useCodePageOfLocale(const QByteArray& locale) {
    chosenCodePage().emplace(
        CodePage::numberForLocale(locale, platform::isLocaleInstalled(locale)));
}

void useGameCodePage(int number) {
    chosenCodePage().emplace(number);
}

} // namespace gvt::common
