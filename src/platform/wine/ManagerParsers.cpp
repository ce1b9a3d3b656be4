// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ManagerParsers.h"

#include "platform/files/FileName.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace gvt::platform {

namespace {

qsizetype indentOf(QByteArrayView line) {
    qsizetype indent = 0;
    while (indent < line.size() && line[indent] == ' ')
        ++indent;
    return indent;
}

// A double-quoted YAML text from after its opening quote; `closed` tells whether it ended.
QByteArray doubleQuoted(QByteArrayView text, bool& closed) {
    QByteArray out;
    closed = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            closed = true;
            return out;
        }
        if (c != '\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const char e = text[++i];
        static constexpr char kLetters[] = "0abtnvfre \"/\\";
        static constexpr char kCodes[] = "\0\a\b\t\n\v\f\r\x1b \"/\\";
        if (const char* letter = e ? std::char_traits<char>::find(kLetters, 13, e) : nullptr) {
            out += kCodes[letter - kLetters];
        } else if (e == 'x' || e == 'u' || e == 'U') {
            const int digits = e == 'x' ? 2 : e == 'u' ? 4 : 8;
            bool ok = i + digits < text.size();
            const char32_t code = ok ? text.sliced(i + 1, digits).toUInt(&ok, 16) : 0;
            if (!ok || code > 0x10FFFF)
                return out; // garbled: what came before stands
            out += QString::fromUcs4(&code, 1).toUtf8();
            i += digits;
        } else {
            out += e;
        }
    }
    return out;
}

// A single-quoted YAML text from after its opening quote: '' stands for one quote.
QByteArray singleQuoted(QByteArrayView text, bool& closed) {
    QByteArray out;
    closed = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\'') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\'') {
            out += '\'';
            ++i;
        } else {
            closed = true;
            return out;
        }
    }
    return out;
}

// A plain YAML text: up to a comment, without surrounding blanks.
QByteArrayView plain(QByteArrayView text) {
    const qsizetype comment = text.indexOf(" #");
    return (comment < 0 ? text : text.first(comment)).trimmed();
}

// The key of a "key: value" line and where its value starts, or nothing for other lines.
std::optional<std::pair<QByteArray, qsizetype>> keyOf(QByteArrayView line, qsizetype indent) {
    QByteArrayView rest = line.sliced(indent);
    if (rest.startsWith("- ") || rest == "-" || rest.startsWith('#'))
        return std::nullopt;
    QByteArray key;
    qsizetype colon = -1;
    if (rest.startsWith('"') || rest.startsWith('\'')) {
        bool closed = false;
        key = rest[0] == '"' ? doubleQuoted(rest.sliced(1), closed)
                             : singleQuoted(rest.sliced(1), closed);
        if (!closed)
            return std::nullopt;
        colon = rest.indexOf(':', 1);
    } else {
        colon = rest.indexOf(": ");
        if (colon < 0 && rest.endsWith(':'))
            colon = rest.size() - 1;
        if (colon > 0)
            key = rest.first(colon).trimmed().toByteArray();
    }
    if (colon <= 0)
        return std::nullopt;
    return std::pair{key, indent + colon + 1};
}

} // namespace

std::optional<QString> yamlScalar(QByteArrayView content, const QStringList& keys) {
    QList<QByteArray> wanted;
    for (const QString& key : keys)
        wanted.append(key.toUtf8());
    // The mappings the current line lies in: their keys and indents.
    QList<std::pair<qsizetype, QByteArray>> open;
    const QList<QByteArrayView> lines = [&] {
        QList<QByteArrayView> all;
        for (qsizetype pos = 0; pos <= content.size();) {
            qsizetype end = content.indexOf('\n', pos);
            if (end < 0)
                end = content.size();
            QByteArrayView line = content.sliced(pos, end - pos);
            if (line.endsWith('\r'))
                line.chop(1);
            all.append(line);
            pos = end + 1;
        }
        return all;
    }();
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArrayView line = lines[n];
        const qsizetype indent = indentOf(line);
        if (indent == line.size() || line.sliced(indent).startsWith('#') || line == "---")
            continue;
        while (!open.isEmpty() && open.last().first >= indent)
            open.removeLast();
        const auto key = keyOf(line, indent);
        if (!key)
            continue;
        const QByteArrayView value = line.sliced(key->second).trimmed();
        if (value.isEmpty() || value.startsWith('#')) {
            open.append({indent, key->first});
            continue;
        }
        if (open.size() + 1 != wanted.size() || key->first != wanted.last())
            continue;
        bool match = true;
        for (qsizetype i = 0; match && i < open.size(); ++i)
            match = open[i].second == wanted[i];
        if (!match)
            continue;
        // A long value goes on over the lines indented deeper, folded into one with blanks.
        QByteArray text = value.toByteArray();
        const auto more = [&] {
            return n + 1 < lines.size() && indentOf(lines[n + 1]) > indent &&
                   indentOf(lines[n + 1]) < lines[n + 1].size();
        };
        bool closed = true;
        if (text.startsWith('"') || text.startsWith('\'')) {
            const char quote = text[0];
            QByteArray whole = text.mid(1);
            const auto read = [&] {
                return quote == '"' ? doubleQuoted(whole, closed) : singleQuoted(whole, closed);
            };
            QByteArray result = read();
            if (!closed) {
                // Its further lines are indented deeper than its key: gathered, then read once.
                while (more()) {
                    // An escaped line end joins without a blank.
                    if (quote == '"' && whole.endsWith('\\'))
                        whole.chop(1);
                    else
                        whole += ' ';
                    whole += lines[++n].trimmed();
                }
                result = read();
            }
            if (!closed)
                return std::nullopt;
            return textOfFileName(result);
        }
        text = plain(text).toByteArray();
        while (more())
            text += ' ' + plain(lines[++n].trimmed()).toByteArray();
        if (text == "~" || text == "null")
            return std::nullopt;
        return textOfFileName(text);
    }
    return std::nullopt;
}

namespace {

// Steam's KeyValues text: quoted or bare tokens, braces, and "//" comments.
struct VdfTokens {
    QByteArrayView text;
    qsizetype pos = 0;

    // The next token: a brace, or a text (quoted or not); false at the end.
    bool next(QByteArray& token, bool& brace) {
        while (pos < text.size()) {
            const char c = text[pos];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++pos;
            } else if (c == '/' && pos + 1 < text.size() && text[pos + 1] == '/') {
                const qsizetype end = text.indexOf('\n', pos);
                pos = end < 0 ? text.size() : end;
            } else {
                break;
            }
        }
        if (pos >= text.size())
            return false;
        token.clear();
        brace = text[pos] == '{' || text[pos] == '}';
        if (brace) {
            token += text[pos++];
        } else if (text[pos] == '"') {
            for (++pos; pos < text.size() && text[pos] != '"'; ++pos) {
                if (text[pos] == '\\' && pos + 1 < text.size()) {
                    const char e = text[++pos];
                    token += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                } else {
                    token += text[pos];
                }
            }
            ++pos;
        } else {
            while (pos < text.size() && !QByteArrayView(" \t\r\n{}\"").contains(text[pos]))
                token += text[pos++];
        }
        return true;
    }
};

} // namespace

QStringList steamLibraryFolders(QByteArrayView content) {
    QStringList folders;
    VdfTokens tokens{content};
    QByteArray token, key;
    bool brace = false;
    int depth = 0;
    bool haveKey = false;
    while (tokens.next(token, brace)) {
        if (brace) {
            depth += token == "{" ? 1 : -1;
            haveKey = false;
            if (depth < 0)
                return folders;
            continue;
        }
        if (!haveKey) {
            key = token;
            haveKey = true;
            continue;
        }
        haveKey = false;
        // "libraryfolders" { "0" { "path" "…" } } now; "LibraryFolders" { "1" "…" } of old.
        const bool numbered = !key.isEmpty() && std::all_of(key.begin(), key.end(), [](char c) {
            return c >= '0' && c <= '9';
        });
        if ((depth == 2 && key.compare("path", Qt::CaseInsensitive) == 0) ||
            (depth == 1 && numbered && token.startsWith('/')))
            folders.append(textOfFileName(token));
    }
    return folders;
}

QString protonFolderOf(QByteArrayView configInfo) {
    const QList<QByteArray> lines = configInfo.toByteArray().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (!line.startsWith('/'))
            continue;
        const qsizetype files = line.lastIndexOf("/files/");
        const qsizetype dist = line.lastIndexOf("/dist/");
        const qsizetype cut = std::max(files, dist);
        if (cut > 0)
            return textOfFileName(line.first(cut));
    }
    return {};
}

QList<HeroicGame> heroicGames(QByteArrayView content) {
    QList<HeroicGame> games;
    const QJsonDocument document = QJsonDocument::fromJson(content.toByteArray());
    const QJsonObject root = document.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        const QJsonObject game = it.value().toObject();
        const QString prefix = game.value(QStringLiteral("winePrefix")).toString();
        if (prefix.isEmpty())
            continue;
        const QJsonObject wine = game.value(QStringLiteral("wineVersion")).toObject();
        games.append({prefix, wine.value(QStringLiteral("bin")).toString(),
                      wine.value(QStringLiteral("type")).toString() == u"proton"});
    }
    return games;
}

} // namespace gvt::platform
