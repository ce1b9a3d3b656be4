#include "ui/SortedList.h"
#include "QtPrinters.h"

#include <QComboBox>
#include <QListWidget>
#include <QLocale>

#include <gtest/gtest.h>

using namespace gvt::ui;

TEST(SortedList, OrdersWithoutRegardToCaseInTheLocaleKeepingDuplicates) {
    QLocale::setDefault(QLocale::c());
    QListWidget list;
    fillSorted(&list, {QStringLiteral("zulu"), QStringLiteral("Bravo"), QString::fromUtf8("Émile"),
                       QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("Alpha"),
                       QStringLiteral("10 Tracks"), QStringLiteral("2 Tracks")});
    const QStringList shown = entriesOf(&list);
    // Letters ignore case, accents sort beside their letter even under the C locale, and
    // duplicates that differ only in case are both kept, in their given order.
    EXPECT_EQ(shown, (QStringList{QStringLiteral("10 Tracks"), QStringLiteral("2 Tracks"),
                                  QStringLiteral("alpha"), QStringLiteral("Alpha"),
                                  QStringLiteral("Bravo"), QStringLiteral("bravo"),
                                  QString::fromUtf8("Émile"), QStringLiteral("zulu")}));

    EXPECT_EQ(insertSorted(&list, QStringLiteral("BRAVO")), 6);
    EXPECT_EQ(insertSorted(&list, QStringLiteral("zulu")), 9);
    EXPECT_EQ(insertSorted(&list, QStringLiteral("0")), 0);
    EXPECT_EQ(list.count(), 11);

    QComboBox combo;
    fillSorted(&combo, {QStringLiteral("Theme.bik"), QStringLiteral("menu.bik"),
                        QStringLiteral("Menu.bik")});
    EXPECT_EQ(entriesOf(&combo),
              (QStringList{QStringLiteral("menu.bik"), QStringLiteral("Menu.bik"),
                           QStringLiteral("Theme.bik")}));
}
