// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <array>

namespace gvt::common {

// A Windows ANSI code page, as the game reads and writes its texts: the single-byte ones
// (1250 to 1258, 874) and the double-byte ones of East Asia (932, 936, 949, 950). A character
// it cannot hold is written as "?"; a byte it does not define reads as a character that is
// written back as that byte, so every byte of a file survives a reading and a writing.
class CodePage {
public:
    // An unknown number gives 1252.
    explicit CodePage(int number);
    int number() const { return m_number; }

    QByteArray bytesOf(QStringView text) const;
    QString textOf(QByteArrayView bytes) const;

    // The code page Wine gives a program running in `locale` (an LC_CTYPE value such as
    // "pl_PL.UTF-8"): by its language and territory; a locale that is not `installed`, C and
    // POSIX give 1252.
    static int numberForLocale(QByteArrayView locale, bool installed);

private:
    int m_number;
    bool m_singleByte;
    std::array<char16_t, 256> m_text{}; // what each byte reads as, for the single-byte ones
    QHash<char16_t, char> m_bytes;      // and back: the lowest byte that reads as a character
};

// The game's texts (what the user sees or types, and what goes into the game's files) convert
// with the code page the game runs with: the one of the locale the launcher hands it, chosen
// once (where the program did not choose it, from this process's locale).
const CodePage& gameCodePage();
inline QByteArray toGameText(QStringView text) {
    return gameCodePage().bytesOf(text);
}
inline QString fromGameText(QByteArrayView bytes) {
    return gameCodePage().textOf(bytes);
}

// The game's texts take the code page of the locale the game runs in (as its launch sets it);
// tests choose another code page.
void useCodePageOfLocale(const QByteArray& locale);
void useGameCodePage(int number);

} // namespace gvt::common
