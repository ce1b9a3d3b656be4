// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

#include <optional>
#include <utility>

// YAML as the game managers write it (block style, with the flow forms "{}", "[]" and short
// "{a: 1}" or "[a, b]"): parsed from bytes into a tree. No file access; any content parses
// without a crash or a hang, what cannot be read being left out.
namespace gvt::platform {

class YamlNode {
public:
    enum class Kind { None, Scalar, Map, Sequence };

    Kind kind() const { return m_kind; }
    bool isMap() const { return m_kind == Kind::Map; }
    // A scalar's text, as its bytes; nothing for a null ("~", "null", an empty value) or
    // another kind.
    std::optional<QByteArray> scalar() const;
    // A mapping's entries in their order, a sequence's items.
    const QList<std::pair<QByteArray, YamlNode>>& entries() const { return m_entries; }
    const QList<YamlNode>& items() const { return m_items; }
    // The value of a key (the last one where a key repeats), or a node of kind None.
    const YamlNode& operator[](QByteArrayView key) const;
    // The value at a path of keys.
    const YamlNode& at(std::initializer_list<const char*> keys) const;

    static YamlNode scalarNode(QByteArray text, bool null = false);
    static YamlNode mapNode(QList<std::pair<QByteArray, YamlNode>> entries);
    static YamlNode sequenceNode(QList<YamlNode> items);

private:
    Kind m_kind = Kind::None;
    bool m_null = false;
    QByteArray m_scalar;
    QList<std::pair<QByteArray, YamlNode>> m_entries;
    QList<YamlNode> m_items;
};

// The document's root node.
YamlNode parseYaml(QByteArrayView content);

// A scalar at a path of keys ({"game", "prefix"}) as text, file-name bytes kept; nothing when
// the path leads to no scalar.
std::optional<QString> yamlScalar(QByteArrayView content, const QStringList& keys);

// True for the texts YAML reads as true ("true", "yes", "on", in any letter case).
bool isYamlTrue(const QByteArray& text);

} // namespace gvt::platform
