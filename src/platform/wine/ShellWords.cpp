// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ShellWords.h"

namespace gvt::platform {

std::optional<QStringList> splitShellWords(const QString& text) {
    QStringList words;
    QString word;
    bool inWord = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
            if (inWord)
                words.append(std::exchange(word, QString()));
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == u'\\') {
            if (i + 1 < text.size() && text[i + 1] != u'\n')
                word += text[i + 1];
            ++i;
        } else if (c == u'\'') {
            const qsizetype end = text.indexOf(u'\'', i + 1);
            if (end < 0)
                return std::nullopt;
            word += text.sliced(i + 1, end - i - 1);
            i = end;
        } else if (c == u'"') {
            for (++i;; ++i) {
                if (i >= text.size())
                    return std::nullopt;
                if (text[i] == u'"')
                    break;
                if (text[i] == u'\\' && i + 1 < text.size() &&
                    QStringView(u"$`\"\\\n").contains(text[i + 1])) {
                    if (text[++i] != u'\n')
                        word += text[i];
                } else {
                    word += text[i];
                }
            }
        } else {
            word += c;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

QString expandVariables(const QString& text,
                        const std::function<std::optional<QString>(const QString&)>& lookup,
                        UnknownVariable unknown) {
    QString out;
    const auto nameChar = [](QChar c, bool first) {
        return c == u'_' || (c.unicode() < 0x80 && c.isLetter()) ||
               (!first && c.unicode() < 0x80 && c.isDigit());
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'$' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const bool braced = text[i + 1] == u'{';
        qsizetype start = i + (braced ? 2 : 1), end = start;
        while (end < text.size() && nameChar(text[end], end == start))
            ++end;
        if (end == start || (braced && (end >= text.size() || text[end] != u'}'))) {
            out += text[i];
            continue;
        }
        const QString name = text.sliced(start, end - start);
        const qsizetype last = braced ? end : end - 1;
        if (const auto value = lookup(name))
            out += *value;
        else if (unknown == UnknownVariable::Kept)
            out += text.sliced(i, last - i + 1);
        i = last;
    }
    return out;
}

QByteArray shellQuoted(const QByteArray& word) {
    bool plain = !word.isEmpty();
    for (const char c : word) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || QByteArrayView("_@%+=:,./-").contains(c);
        plain = plain && safe;
    }
    if (plain)
        return word;
    QByteArray quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? QByteArrayView("'\\''") : QByteArrayView(&c, 1);
    return quoted + '\'';
}

bool isVariableName(QStringView name) {
    if (name.isEmpty() || (name[0] >= u'0' && name[0] <= u'9'))
        return false;
    for (const QChar c : name) {
        if (!(c == u'_' || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
              (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

} // namespace gvt::platform
