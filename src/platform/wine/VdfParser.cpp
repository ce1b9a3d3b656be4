// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/VdfParser.h"

#include <QtEndian>

namespace gvt::platform {

namespace {

// Deeper than Steam writes: what lies below is left out, so that no content can exhaust the
// stack.
constexpr int kMaxDepth = 64;

const VdfNode& noNode() {
    static const VdfNode none;
    return none;
}

// Tokens of the text form: a brace, or a text (quoted or not).
struct TextTokens {
    QByteArrayView text;
    qsizetype pos = 0;

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
            // A bare token; "[$WIN32]"-like conditions after a value are bare tokens too.
            while (pos < text.size() && !QByteArrayView(" \t\r\n{}\"").contains(text[pos]))
                token += text[pos++];
        }
        return true;
    }
};

QList<std::pair<QByteArray, VdfNode>> textSection(TextTokens& tokens, int depth, bool& closed) {
    QList<std::pair<QByteArray, VdfNode>> children;
    QByteArray token, key;
    bool brace = false, haveKey = false;
    closed = false;
    while (tokens.next(token, brace)) {
        if (brace && token == "}") {
            closed = true;
            return children;
        }
        if (brace) { // a section
            bool inner = false;
            QList<std::pair<QByteArray, VdfNode>> section;
            if (depth < kMaxDepth)
                section = textSection(tokens, depth + 1, inner);
            else // too deep: skipped to its end
                for (int open = 1; open > 0 && tokens.next(token, brace);)
                    open += brace ? (token == "{" ? 1 : -1) : 0;
            children.append({haveKey ? key : QByteArray(), VdfNode::sectionNode(section)});
            haveKey = false;
            continue;
        }
        if (!haveKey) {
            key = token;
            haveKey = true;
            continue;
        }
        children.append({key, VdfNode::valueNode(token)});
        haveKey = false;
    }
    return children;
}

struct BinaryReader {
    QByteArrayView data;
    qsizetype pos = 0;

    bool text(QByteArray& out) {
        const qsizetype end = data.indexOf('\0', pos);
        if (end < 0)
            return false;
        out = data.sliced(pos, end - pos).toByteArray();
        pos = end + 1;
        return true;
    }

    // The entries of a section up to its end mark; false when the bytes end first or hold an
    // unknown type.
    bool section(QList<std::pair<QByteArray, VdfNode>>& children, int depth) {
        while (pos < data.size()) {
            const char type = data[pos++];
            if (type == 0x08)
                return true;
            QByteArray key;
            if (!text(key))
                return false;
            if (type == 0x00) {
                QList<std::pair<QByteArray, VdfNode>> inner;
                if (depth >= kMaxDepth || !section(inner, depth + 1))
                    return false;
                children.append({key, VdfNode::sectionNode(inner)});
            } else if (type == 0x01) {
                QByteArray value;
                if (!text(value))
                    return false;
                children.append({key, VdfNode::valueNode(value)});
            } else if (type == 0x02) {
                if (data.size() - pos < 4)
                    return false;
                const quint32 number = qFromLittleEndian<quint32>(data.data() + pos);
                pos += 4;
                children.append({key, VdfNode::valueNode(QByteArray::number(number))});
            } else {
                return false;
            }
        }
        return false;
    }
};

} // namespace

const VdfNode& VdfNode::operator[](QByteArrayView key) const {
    for (const auto& [name, child] : m_children) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return child;
    }
    return noNode();
}

const VdfNode& VdfNode::at(std::initializer_list<const char*> keys) const {
    const VdfNode* node = this;
    for (const char* key : keys)
        node = &(*node)[key];
    return *node;
}

VdfNode VdfNode::valueNode(QByteArray value) {
    VdfNode node;
    node.m_value = std::move(value);
    return node;
}

VdfNode VdfNode::sectionNode(QList<std::pair<QByteArray, VdfNode>> children) {
    VdfNode node;
    node.m_section = true;
    node.m_children = std::move(children);
    return node;
}

VdfNode parseVdfText(QByteArrayView content) {
    TextTokens tokens{content};
    bool closed = false;
    // A stray "}" at the top ends the reading; what came before stands.
    return VdfNode::sectionNode(textSection(tokens, 0, closed));
}

VdfNode parseVdfBinary(QByteArrayView content) {
    BinaryReader reader{content};
    QList<std::pair<QByteArray, VdfNode>> children;
    // What a cut file holds before the cut stands.
    reader.section(children, 0);
    return VdfNode::sectionNode(children);
}

} // namespace gvt::platform
