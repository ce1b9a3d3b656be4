// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/YamlParser.h"

#include "platform/files/FileName.h"

#include <string>

namespace gvt::platform {

namespace {

// Deeper than any manager writes: what lies below is left out, so that no content can exhaust
// the stack.
constexpr int kMaxDepth = 64;

const YamlNode& noNode() {
    static const YamlNode none;
    return none;
}

qsizetype indentOf(QByteArrayView line) {
    qsizetype indent = 0;
    while (indent < line.size() && line[indent] == ' ')
        ++indent;
    return indent;
}

bool isBlank(QByteArrayView line) {
    const QByteArrayView rest = line.sliced(indentOf(line)).trimmed();
    return rest.isEmpty() || rest.startsWith('#') || line == "---" || line == "...";
}

bool isItem(QByteArrayView text) {
    return text == "-" || text.startsWith("- ");
}

// A double-quoted text from after its opening quote, up to its closing one (`end` just after
// it); `closed` tells whether it ended.
QByteArray doubleQuoted(QByteArrayView text, bool& closed, qsizetype* end = nullptr) {
    QByteArray out;
    closed = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            closed = true;
            if (end)
                *end = i + 1;
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
                return out; // garbled: what came before stands, unclosed
            out += QString::fromUcs4(&code, 1).toUtf8();
            i += digits;
        } else {
            out += e;
        }
    }
    return out;
}

// A single-quoted text from after its opening quote: '' stands for one quote.
QByteArray singleQuoted(QByteArrayView text, bool& closed, qsizetype* end = nullptr) {
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
            if (end)
                *end = i + 1;
            return out;
        }
    }
    return out;
}

// A plain text: up to a comment, without surrounding blanks.
QByteArrayView plain(QByteArrayView text) {
    const qsizetype comment = text.indexOf(" #");
    return (comment < 0 ? text : text.first(comment)).trimmed();
}

YamlNode plainScalar(QByteArrayView text) {
    const QByteArray value = plain(text).toByteArray();
    return YamlNode::scalarNode(value, value.isEmpty() || value == "~" || value == "null" ||
                                           value == "Null" || value == "NULL");
}

// The key of a "key: value" text and where its value starts, or nothing for other texts.
std::optional<std::pair<QByteArray, qsizetype>> keyOf(QByteArrayView text) {
    if (isItem(text) || text.startsWith('#'))
        return std::nullopt;
    if (text.startsWith('"') || text.startsWith('\'')) {
        bool closed = false;
        qsizetype end = 0;
        const QByteArray key = text[0] == '"' ? doubleQuoted(text.sliced(1), closed, &end)
                                              : singleQuoted(text.sliced(1), closed, &end);
        const QByteArrayView rest = closed ? text.sliced(1 + end) : QByteArrayView();
        const qsizetype blanks = indentOf(rest);
        if (!closed || blanks >= rest.size() || rest[blanks] != ':' ||
            (blanks + 1 < rest.size() && rest[blanks + 1] != ' '))
            return std::nullopt;
        return std::pair{key, 1 + end + blanks + 1};
    }
    qsizetype colon = text.indexOf(": ");
    if (colon < 0 && text.endsWith(':'))
        colon = text.size() - 1;
    if (colon <= 0)
        return std::nullopt;
    return std::pair{text.first(colon).trimmed().toByteArray(), colon + 1};
}

// The flow forms: "{a: 1, b: [x, y]}", "[a, 'b']", within one text.
struct FlowParser {
    QByteArrayView text;
    qsizetype pos = 0;
    bool failed = false;

    void blanks() {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
    }

    YamlNode value(int depth, QByteArrayView stops) {
        blanks();
        if (pos >= text.size() || depth > kMaxDepth) {
            failed = true;
            return {};
        }
        const char c = text[pos];
        if (c == '{' || c == '[')
            return collection(depth + 1);
        if (c == '"' || c == '\'') {
            bool closed = false;
            qsizetype end = 0;
            const QByteArray quoted = c == '"' ? doubleQuoted(text.sliced(pos + 1), closed, &end)
                                               : singleQuoted(text.sliced(pos + 1), closed, &end);
            failed = failed || !closed;
            pos += 1 + end;
            return YamlNode::scalarNode(quoted);
        }
        const qsizetype start = pos;
        while (pos < text.size() && !stops.contains(text[pos]))
            ++pos;
        return plainScalar(text.sliced(start, pos - start));
    }

    YamlNode collection(int depth) {
        const bool map = text[pos++] == '{';
        const char close = map ? '}' : ']';
        QList<std::pair<QByteArray, YamlNode>> entries;
        QList<YamlNode> items;
        for (blanks(); !failed && pos < text.size() && text[pos] != close; blanks()) {
            if (map) {
                const YamlNode key = value(depth, ":,}");
                blanks();
                YamlNode entry;
                if (pos < text.size() && text[pos] == ':') {
                    ++pos;
                    entry = value(depth, ",}");
                }
                entries.append({key.scalar().value_or(QByteArray()), entry});
            } else {
                items.append(value(depth, ",]"));
            }
            blanks();
            if (pos < text.size() && text[pos] == ',')
                ++pos;
            else if (pos >= text.size() || text[pos] != close)
                failed = true;
        }
        if (pos >= text.size())
            failed = true;
        ++pos;
        return map ? YamlNode::mapNode(entries) : YamlNode::sequenceNode(items);
    }
};

class BlockParser {
public:
    explicit BlockParser(QByteArrayView content) {
        for (qsizetype pos = 0; pos <= content.size();) {
            qsizetype end = content.indexOf('\n', pos);
            if (end < 0)
                end = content.size();
            QByteArrayView line = content.sliced(pos, end - pos);
            if (line.endsWith('\r'))
                line.chop(1);
            m_lines.append(line);
            pos = end + 1;
        }
    }

    YamlNode document() {
        skipBlank();
        if (m_n >= m_lines.size())
            return {};
        return block(indentOf(m_lines[m_n]), 0);
    }

private:
    void skipBlank() {
        while (m_n < m_lines.size() && isBlank(m_lines[m_n]))
            ++m_n;
    }

    // Whether the next line that is not blank lies deeper than `indent`.
    bool nextDeeperThan(qsizetype indent) {
        skipBlank();
        return m_n < m_lines.size() && indentOf(m_lines[m_n]) > indent;
    }

    // The lines deeper than `indent` after the current one, each trimmed, for a value that goes
    // on over them.
    QList<QByteArrayView> continuation(qsizetype indent) {
        QList<QByteArrayView> more;
        while (m_n < m_lines.size() && !isBlank(m_lines[m_n]) && indentOf(m_lines[m_n]) > indent)
            more.append(m_lines[m_n++].trimmed());
        return more;
    }

    // The node of the lines at `indent` from the current one on.
    YamlNode block(qsizetype indent, int depth) {
        if (depth > kMaxDepth) {
            while (nextDeeperThan(indent - 1))
                ++m_n;
            return {};
        }
        const QByteArrayView first = m_lines[m_n].sliced(indent);
        if (isItem(first))
            return sequence(indent, depth);
        return map(indent, first, depth);
    }

    YamlNode sequence(qsizetype indent, int depth) {
        QList<YamlNode> items;
        while (m_n < m_lines.size() && indentOf(m_lines[m_n]) == indent &&
               isItem(m_lines[m_n].sliced(indent))) {
            const QByteArrayView line = m_lines[m_n];
            const QByteArrayView after = line.sliced(indent + 1);
            const qsizetype at = indent + 1 + indentOf(after);
            const QByteArrayView text = line.sliced(at);
            if (text.isEmpty() || text.startsWith('#')) {
                ++m_n;
                items.append(nextDeeperThan(indent) ? block(indentOf(m_lines[m_n]), depth + 1)
                                                    : YamlNode());
            } else if (keyOf(text)) {
                // "- key: value" opens a mapping whose keys stand where this one does.
                items.append(map(at, text, depth + 1));
            } else {
                ++m_n;
                items.append(inlineValue(text, indent, depth + 1));
            }
            skipBlank();
        }
        return YamlNode::sequenceNode(items);
    }

    // A mapping whose keys stand at `indent`; `first` is the current line's text from there.
    YamlNode map(qsizetype indent, QByteArrayView first, int depth) {
        QList<std::pair<QByteArray, YamlNode>> entries;
        QByteArrayView text = first;
        for (;;) {
            const auto key = keyOf(text);
            ++m_n;
            if (!key) {
                // Not a mapping's line: left out with what hangs below it.
                continuation(indent);
            } else {
                const QByteArrayView value = text.sliced(key->second).trimmed();
                YamlNode node;
                if (value.isEmpty() || value.startsWith('#')) {
                    skipBlank();
                    if (m_n < m_lines.size()) {
                        const qsizetype next = indentOf(m_lines[m_n]);
                        // A sequence may stand at its key's own indent.
                        if (next > indent || (next == indent && isItem(m_lines[m_n].sliced(next))))
                            node = block(next, depth + 1);
                    }
                    if (node.kind() == YamlNode::Kind::None)
                        node = YamlNode::scalarNode({}, true);
                } else {
                    node = inlineValue(value, indent, depth + 1);
                }
                entries.append({key->first, node});
            }
            skipBlank();
            if (m_n >= m_lines.size() || indentOf(m_lines[m_n]) != indent)
                break;
            text = m_lines[m_n].sliced(indent);
            if (isItem(text))
                break;
        }
        return YamlNode::mapNode(entries);
    }

    // A value that begins on the line just read, after its key or item marker at `indent`; it
    // may go on over the lines indented deeper.
    YamlNode inlineValue(QByteArrayView value, qsizetype indent, int depth) {
        if (value.startsWith('"') || value.startsWith('\'')) {
            // Its further lines are gathered first, then read once.
            QByteArray whole = value.sliced(1).toByteArray();
            const char quote = value[0];
            bool closed = false;
            QByteArray result =
                quote == '"' ? doubleQuoted(whole, closed) : singleQuoted(whole, closed);
            if (!closed) {
                for (const QByteArrayView more : continuation(indent)) {
                    // An escaped line end joins without a blank.
                    if (quote == '"' && whole.endsWith('\\'))
                        whole.chop(1);
                    else
                        whole += ' ';
                    whole += more;
                }
                result = quote == '"' ? doubleQuoted(whole, closed) : singleQuoted(whole, closed);
            }
            return closed ? YamlNode::scalarNode(result) : YamlNode();
        }
        if (value.startsWith('{') || value.startsWith('[')) {
            QByteArray whole = value.toByteArray();
            for (const QByteArrayView more : continuation(indent))
                whole += ' ' + more.toByteArray();
            FlowParser flow{whole};
            YamlNode node = flow.value(depth, ",");
            return flow.failed ? YamlNode() : node;
        }
        if (value.startsWith('|') || value.startsWith('>')) {
            const bool literal = value[0] == '|';
            const bool strip = value.contains('-');
            QByteArray text;
            qsizetype inner = -1;
            while (m_n < m_lines.size() &&
                   (m_lines[m_n].trimmed().isEmpty() || indentOf(m_lines[m_n]) > indent)) {
                const QByteArrayView line = m_lines[m_n++];
                if (inner < 0 && !line.trimmed().isEmpty())
                    inner = indentOf(line);
                const QByteArrayView part =
                    line.size() > inner && inner >= 0 ? line.sliced(inner) : QByteArrayView();
                if (!text.isEmpty())
                    text += literal ? '\n' : ' ';
                text += part;
            }
            while (text.endsWith('\n') || text.endsWith(' '))
                text.chop(1);
            return YamlNode::scalarNode(strip || text.isEmpty() ? text : text + '\n');
        }
        QByteArray text = plain(value).toByteArray();
        for (const QByteArrayView more : continuation(indent))
            text += ' ' + plain(more).toByteArray();
        return plainScalar(text);
    }

    QList<QByteArrayView> m_lines;
    qsizetype m_n = 0;
};

} // namespace

std::optional<QByteArray> YamlNode::scalar() const {
    if (m_kind != Kind::Scalar || m_null)
        return std::nullopt;
    return m_scalar;
}

const YamlNode& YamlNode::operator[](QByteArrayView key) const {
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        if (m_entries[i].first == key)
            return m_entries[i].second;
    }
    return noNode();
}

const YamlNode& YamlNode::at(std::initializer_list<const char*> keys) const {
    const YamlNode* node = this;
    for (const char* key : keys)
        node = &(*node)[key];
    return *node;
}

YamlNode YamlNode::scalarNode(QByteArray text, bool null) {
    YamlNode node;
    node.m_kind = Kind::Scalar;
    node.m_null = null;
    node.m_scalar = std::move(text);
    return node;
}

YamlNode YamlNode::mapNode(QList<std::pair<QByteArray, YamlNode>> entries) {
    YamlNode node;
    node.m_kind = Kind::Map;
    node.m_entries = std::move(entries);
    return node;
}

YamlNode YamlNode::sequenceNode(QList<YamlNode> items) {
    YamlNode node;
    node.m_kind = Kind::Sequence;
    node.m_items = std::move(items);
    return node;
}

YamlNode parseYaml(QByteArrayView content) {
    return BlockParser(content).document();
}

std::optional<QString> yamlScalar(QByteArrayView content, const QStringList& keys) {
    const YamlNode root = parseYaml(content);
    const YamlNode* node = &root;
    for (const QString& key : keys)
        node = &(*node)[key.toUtf8()];
    const auto text = node->scalar();
    return text ? std::optional(textOfFileName(*text)) : std::nullopt;
}

bool isYamlTrue(const QByteArray& text) {
    const QByteArray lower = text.toLower();
    return lower == "true" || lower == "yes" || lower == "on" || lower == "1";
}

} // namespace gvt::platform
