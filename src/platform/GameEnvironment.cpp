// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/GameEnvironment.h"

#include <clocale>
#include <locale.h>

namespace gvt::platform {

namespace {

bool isUtf8Locale(const QByteArray& locale) {
    const QByteArray lower = locale.toLower();
    return lower.contains("utf-8") || lower.contains("utf8");
}

} // namespace

bool isLocaleInstalled(const QByteArray& name) {
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, name.constData(), locale_t(nullptr));
    if (locale)
        ::freelocale(locale);
    return locale != nullptr;
}

QByteArray useGameLocale(Environment& environment) {
    const QByteArray all = valueIn(environment, "LC_ALL").value_or(QByteArray());
    const QByteArray ctype = valueIn(environment, "LC_CTYPE").value_or(QByteArray());
    const QByteArray effective = !all.isEmpty() ? all
                                 : !ctype.isEmpty()
                                     ? ctype
                                     : valueIn(environment, "LANG").value_or(QByteArray());
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

QByteArray gameLocaleOf(Environment environment) {
    return useGameLocale(environment);
}

} // namespace gvt::platform
