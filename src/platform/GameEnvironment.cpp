// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/GameEnvironment.h"

#include <clocale>
#include <locale.h>

extern char** environ;

namespace gvt::platform {

namespace {

QByteArray valueOf(const Environment& environment, QByteArrayView name) {
    for (const QByteArray& entry : environment) {
        if (entry.size() > name.size() && entry.startsWith(name) && entry[name.size()] == '=')
            return entry.mid(name.size() + 1);
    }
    return {};
}

bool isUtf8Locale(const QByteArray& locale) {
    const QByteArray lower = locale.toLower();
    return lower.contains("utf-8") || lower.contains("utf8");
}

} // namespace

Environment environmentOfThisProcess() {
    Environment environment;
    for (char** entry = environ; entry && *entry; ++entry)
        environment.append(QByteArray(*entry));
    return environment;
}

void setVariable(Environment& environment, const QByteArray& name, const QByteArray& value) {
    environment.removeIf([&](const QByteArray& entry) { return entry.startsWith(name + '='); });
    environment.append(name + '=' + value);
}

bool isLocaleInstalled(const QByteArray& name) {
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, name.constData(), locale_t(nullptr));
    if (locale)
        ::freelocale(locale);
    return locale != nullptr;
}

QByteArray useGameLocale(Environment& environment) {
    const QByteArray all = valueOf(environment, "LC_ALL");
    const QByteArray ctype = valueOf(environment, "LC_CTYPE");
    const QByteArray effective = !all.isEmpty()     ? all
                                 : !ctype.isEmpty() ? ctype
                                                    : valueOf(environment, "LANG");
    if (isUtf8Locale(effective))
        return effective;
    if (!all.isEmpty()) {
        environment.removeIf([](const QByteArray& entry) { return entry.startsWith("LC_"); });
        setVariable(environment, "LANG", all);
    }
    // "pl_PL.ISO-8859-2@euro" becomes "pl_PL.UTF-8@euro".
    const qsizetype at = effective.indexOf('@');
    const QByteArray modifier = at < 0 ? QByteArray() : effective.mid(at);
    const QByteArray language = effective.left(at < 0 ? effective.size() : at).split('.').first();
    QByteArray utf8 = language + ".UTF-8" + modifier;
    if (language.isEmpty() || language == "C" || language == "POSIX" || !isLocaleInstalled(utf8))
        utf8 = "C.UTF-8";
    setVariable(environment, "LC_CTYPE", utf8);
    return utf8;
}

QByteArray gameLocale() {
    Environment environment = environmentOfThisProcess();
    return useGameLocale(environment);
}

} // namespace gvt::platform
