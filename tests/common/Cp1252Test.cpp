#include "common/Cp1252.h"
#include "QtPrinters.h"

#include <QList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using gvt::common::fromCp1252;
using gvt::common::toCp1252;

TEST(Cp1252, ConvertsBothWaysAndReplacesWhatItCannotHold) {
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const QList<Case> cases = {
        {u"Plain \"name\""_s, "Plain \"name\""},
        {QString::fromUtf8("Émile €5 – “ok” ÿ"), "\xc9mile \x80"
                                                 "5 \x96 \x93ok\x94 \xff"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toCp1252(c.text), c.bytes);
        EXPECT_EQ(fromCp1252(c.bytes), c.text);
    }
    EXPECT_EQ(toCp1252(QString::fromUtf8("Ж 😀 x")), QByteArray("? ? x"));
    // Every byte survives a trip through the text the user sees.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(toCp1252(fromCp1252(all)), all);
}
