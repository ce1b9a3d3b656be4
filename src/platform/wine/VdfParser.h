// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <utility>

// Steam's KeyValues files, parsed from bytes into a tree: the text form (quoted or bare tokens,
// braces, "//" comments) and the binary form of shortcuts.vdf. No file access; any content
// parses without a crash or a hang, what cannot be read being left out.
namespace gvt::platform {

class VdfNode {
public:
    // A value's text (a binary number as its unsigned decimal text); empty for a section.
    const QByteArray& value() const { return m_value; }
    bool isSection() const { return m_section; }
    const QList<std::pair<QByteArray, VdfNode>>& children() const { return m_children; }
    // The child named `key`, compared without regard to case as Steam does (the first where a
    // name repeats), or an empty node.
    const VdfNode& operator[](QByteArrayView key) const;
    // The node at a path of keys.
    const VdfNode& at(std::initializer_list<const char*> keys) const;

    static VdfNode valueNode(QByteArray value);
    static VdfNode sectionNode(QList<std::pair<QByteArray, VdfNode>> children);

private:
    QByteArray m_value;
    bool m_section = false;
    QList<std::pair<QByteArray, VdfNode>> m_children;
};

// The root of a text file: a section holding its top keys.
VdfNode parseVdfText(QByteArrayView content);
// The root of a binary file (0x00 section, 0x01 text, 0x02 32-bit number, 0x08 end).
VdfNode parseVdfBinary(QByteArrayView content);

} // namespace gvt::platform
