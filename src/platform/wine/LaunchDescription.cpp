// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/LaunchDescription.h"

#include "platform/files/FileName.h"
#include "platform/wine/ShellWords.h"

namespace gvt::platform {

void LaunchDescription::set(const QString& name, const QString& value, const QString& source) {
    removed.removeIf([&](const LaunchVariable& each) { return each.name == name; });
    for (LaunchVariable& each : variables) {
        if (each.name == name) {
            each = {name, value, source};
            return;
        }
    }
    variables.append({name, value, source});
}

const LaunchVariable* LaunchDescription::variable(const QString& name) const {
    for (const LaunchVariable& each : variables) {
        if (each.name == name)
            return &each;
    }
    return nullptr;
}

QStringList LaunchDescription::wordsBeforeGame() const {
    QStringList words;
    for (const LaunchWords& wrapper : wrappers)
        words += wrapper.words;
    if (!program.isEmpty())
        words.append(program);
    return words + programWords;
}

Environment environmentFor(const LaunchDescription& launch, const Environment& base) {
    Environment environment = base;
    for (const LaunchVariable& each : launch.removed)
        removeVariable(environment, each.name.toUtf8());
    for (const LaunchVariable& each : launch.variables)
        setVariable(environment, each.name.toUtf8(), fileNameOfText(each.value));
    return environment;
}

QByteArray commandLine(const QList<QByteArray>& argv, const Environment& base,
                       const Environment& environment) {
    QByteArray line = "env";
    const auto nameOf = [](const QByteArray& entry) { return entry.left(entry.indexOf('=')); };
    for (const QByteArray& entry : base) {
        if (!valueIn(environment, nameOf(entry)))
            line += " -u " + shellQuoted(nameOf(entry));
    }
    for (const QByteArray& entry : environment) {
        const auto before = valueIn(base, nameOf(entry));
        if (!before || entry.mid(entry.indexOf('=') + 1) != *before)
            line += ' ' + shellQuoted(entry);
    }
    // env takes a first word that holds "=" for one more variable: such a program goes through
    // the shell's exec instead.
    if (!argv.isEmpty() && argv.first().contains('='))
        line += " /bin/sh -c 'exec \"$0\" \"$@\"'";
    for (const QByteArray& word : argv)
        line += ' ' + shellQuoted(word);
    return line;
}

} // namespace gvt::platform
