#include "ui/SortedList.h"
#include "QtPrinters.h"

#include <QComboBox>
#include <QListWidget>
#include <QLocale>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace gvt::ui;

TEST(SortedList, OrdersWithoutRegardToCaseInTheLocaleKeepingDuplicates) {
    QLocale::setDefault(QLocale::c());
    QListWidget list;
    fillSorted(&list, {u"zulu"_s, u"Bravo"_s, QString::fromUtf8("Émile"), u"alpha"_s, u"bravo"_s,
                       u"Alpha"_s, u"10 Tracks"_s, u"2 Tracks"_s});
    const QStringList shown = entriesOf(&list);
    // Letters ignore case, accents sort beside their letter even under the C locale, and
    // duplicates that differ only in case are both kept, in their given order.
    EXPECT_EQ(shown, (QStringList{u"10 Tracks"_s, u"2 Tracks"_s, u"alpha"_s, u"Alpha"_s, u"Bravo"_s,
                                  u"bravo"_s, QString::fromUtf8("Émile"), u"zulu"_s}));

    EXPECT_EQ(insertSorted(&list, u"BRAVO"_s), 6);
    EXPECT_EQ(insertSorted(&list, u"zulu"_s), 9);
    EXPECT_EQ(insertSorted(&list, u"0"_s), 0);
    EXPECT_EQ(list.count(), 11);

    QComboBox combo;
    fillSorted(&combo, {u"Theme.bik"_s, u"menu.bik"_s, u"Menu.bik"_s});
    EXPECT_EQ(entriesOf(&combo), (QStringList{u"menu.bik"_s, u"Menu.bik"_s, u"Theme.bik"_s}));
}
