// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/WineRegistry.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace gvt::platform {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads an escaped name or text of `line` from `pos` up to the unescaped `end` character, the
// way Wine writes them: C escapes, "\x" with one to four hex digits (a UTF-16 code unit), octal
// with one to three digits, and a backslash before any other character standing for that
// character. Returns the position after `end`, or -1 when the line ends first.
qsizetype unescape(QByteArrayView line, qsizetype pos, char end, QString& out) {
    out.resize(0); // keeps the capacity: this runs once per key of a large file
    while (pos < line.size()) {
        // Plain characters go over in runs: one byte is one code unit.
        qsizetype run = pos;
        while (run < line.size() && line[run] != end && line[run] != '\\')
            ++run;
        out.append(QLatin1StringView(line.data() + pos, run - pos));
        pos = run + 1;
        if (run >= line.size())
            return -1;
        if (line[run] == end)
            return pos;
        if (pos >= line.size())
            return -1;
        const char c = line[pos++];
        // C escapes: each letter stands for the code below it.
        static constexpr char kLetters[] = "abefnrtv";
        static constexpr char16_t kCodes[] = u"\a\b\x1b\f\n\r\t\v";
        if (const char* letter = std::strchr(kLetters, c); letter && c) {
            out.append(QChar(kCodes[letter - kLetters]));
        } else if (c == 'x') {
            int digits = 0;
            char16_t unit = 0;
            while (digits < 4 && pos < line.size() && hexDigit(line[pos]) >= 0) {
                unit = char16_t(unit * 16 + hexDigit(line[pos++]));
                ++digits;
            }
            out.append(digits > 0 ? QChar(unit) : QChar(u'x'));
        } else if (c >= '0' && c <= '7') {
            char16_t unit = char16_t(c - '0');
            for (int i = 0; i < 2 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7'; ++i)
                unit = char16_t(unit * 8 + (line[pos++] - '0'));
            out.append(QChar(unit));
        } else {
            out.append(QChar(char16_t(static_cast<unsigned char>(c))));
        }
    }
    return -1;
}

// UTF-16 code units written as hex bytes, "43,00,3a,00", or nothing when garbled.
std::optional<QString> hexText(QByteArrayView data) {
    QByteArray bytes;
    for (const QByteArrayView byte : data.toByteArray().split(',')) {
        const QByteArrayView digits = byte.trimmed();
        if (digits.isEmpty() && data.trimmed().isEmpty())
            break;
        if (digits.isEmpty() || digits.size() > 2 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return hexDigit(c) >= 0; }))
            return std::nullopt;
        bytes += char(digits.size() == 1 ? hexDigit(digits[0])
                                         : hexDigit(digits[0]) * 16 + hexDigit(digits[1]));
    }
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t(static_cast<unsigned char>(bytes[i]) |
                                   static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return text;
}

// The text of a value's data, or nothing when it is a type that holds no text, or garbled.
// The game's platform hands a value's bytes over whatever its type says: a plain, expandable
// or multiple text, also one written as hex bytes (without its final NUL, say), reads as text.
std::optional<QString> textOf(QByteArrayView data) {
    for (const char* form : {"\"", "str(2):\"", "str(7):\""}) {
        if (!data.startsWith(form))
            continue;
        QString text;
        if (unescape(data, qsizetype(std::strlen(form)), '"', text) < 0)
            return std::nullopt;
        return text;
    }
    for (const char* form : {"hex(1):", "hex(2):"}) {
        if (data.startsWith(form))
            return hexText(data.sliced(7));
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> findRegistryText(QByteArrayView content, const QStringList& keyPaths,
                                        const QString& valueName) {
    if (!content.startsWith("WINE REGISTRY Version 2"))
        return std::nullopt;
    // The last value of that name in a key wins, as when Wine loads the file.
    std::vector<std::optional<QString>> found(size_t(keyPaths.size()));
    qsizetype key = -1;
    bool continued = false;
    QByteArray gathered;        // the data of a value of that name, over its lines
    qsizetype gatheredKey = -1; // its key, while the value goes on
    QString name;
    const char* const data = content.data();
    qsizetype pos = 0;
    while (pos < content.size()) {
        const void* newline = std::memchr(data + pos, '\n', size_t(content.size() - pos));
        const qsizetype end = newline ? static_cast<const char*>(newline) - data : content.size();
        QByteArrayView line = content.sliced(pos, end - pos);
        pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        // A key begins at a "[" whatever came before: Wine indents the lines a value goes on
        // over, so an unfinished value ends there.
        if (continued && line[0] == '[') {
            continued = false;
            gatheredKey = -1;
        }
        if (continued) {
            // A long value goes on on the next line after a closing backslash.
            continued = line.endsWith('\\');
            if (gatheredKey >= 0) {
                gathered += line.trimmed().chopped(continued ? 1 : 0);
                if (!continued)
                    found[size_t(std::exchange(gatheredKey, -1))] = textOf(gathered);
            }
            continue;
        }
        if (line[0] == '[') {
            key = -1;
            if (unescape(line, 1, ']', name) < 0)
                continue;
            for (qsizetype i = 0; i < keyPaths.size(); ++i) {
                if (name.size() == keyPaths[i].size() &&
                    name.compare(keyPaths[i], Qt::CaseInsensitive) == 0) {
                    key = i;
                    break;
                }
            }
            continue;
        }
        if (key < 0 || (line[0] != '"' && line[0] != '@'))
            continue;
        qsizetype equals = 1;
        if (line[0] == '"') {
            equals = unescape(line, 1, '"', name);
            if (equals < 0)
                continue;
        } else {
            name.clear();
        }
        if (equals >= line.size() || line[equals] != '=')
            continue;
        const QByteArrayView value = line.sliced(equals + 1);
        const bool text = value.startsWith("\"") || value.startsWith("str(");
        continued = !text && value.endsWith('\\');
        if (name.size() != valueName.size() || name.compare(valueName, Qt::CaseInsensitive) != 0)
            continue;
        if (continued) {
            gathered = value.chopped(1).toByteArray();
            gatheredKey = key;
        } else {
            found[size_t(key)] = textOf(value);
        }
    }
    for (const std::optional<QString>& value : found) {
        if (value)
            return value;
    }
    return std::nullopt;
}

RegistryKeyFilter::RegistryKeyFilter(const QStringList& keyPaths) {
    for (const QString& key : keyPaths)
        m_keys.append(key.toUtf8().replace("\\", "\\\\"));
}

bool RegistryKeyFilter::mayBeKey(QByteArrayView line) const {
    const QByteArrayView raw = line.sliced(1);
    for (const QByteArray& key : m_keys) {
        if (raw.size() > key.size() && raw[key.size()] == ']' &&
            raw.first(key.size()).compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    // Another spelling of the same key needs its escapes read.
    for (qsizetype i = 0; i < raw.size() && raw[i] != ']'; ++i) {
        if (raw[i] == '\\' && (i + 1 >= raw.size() || raw[++i] != '\\'))
            return true;
    }
    return false;
}

void RegistryKeyFilter::take(QByteArrayView line) {
    if (std::exchange(m_first, false)) {
        m_kept += line;
        return;
    }
    if (line.startsWith('['))
        m_inKey = mayBeKey(line);
    if (m_inKey)
        m_kept += line;
}

void RegistryKeyFilter::feed(QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const qsizetype newline = bytes.indexOf('\n');
        if (newline < 0) {
            m_pending += bytes;
            return;
        }
        if (m_pending.isEmpty()) {
            take(bytes.first(newline + 1));
        } else {
            m_pending += bytes.first(newline + 1);
            take(m_pending);
            m_pending.clear();
        }
        bytes = bytes.sliced(newline + 1);
    }
}

QByteArray RegistryKeyFilter::finish() {
    if (!m_pending.isEmpty())
        take(std::exchange(m_pending, QByteArray()));
    return std::exchange(m_kept, QByteArray());
}

} // namespace gvt::platform
