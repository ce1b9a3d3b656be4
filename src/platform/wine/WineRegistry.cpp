#include "platform/wine/WineRegistry.h"

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

// The text of a value's data ("…" or str(2):"…"), or nothing when it is another type or
// garbled.
std::optional<QString> textOf(QByteArrayView data) {
    const qsizetype start = data.startsWith("\"") ? 1 : data.startsWith("str(2):\"") ? 8 : -1;
    QString text;
    if (start < 0 || unescape(data, start, '"', text) < 0)
        return std::nullopt;
    return text;
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
        if (continued) {
            // A long value goes on on the next line after a closing backslash.
            continued = line.endsWith('\\');
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
        if (name.size() == valueName.size() && name.compare(valueName, Qt::CaseInsensitive) == 0)
            found[size_t(key)] = textOf(value);
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
