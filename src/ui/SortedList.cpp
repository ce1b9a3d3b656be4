#include "ui/SortedList.h"

#include "platform/FileName.h"

#include <QComboBox>
#include <QListWidget>
#include <QLocale>

#include <algorithm>

namespace gvt::ui {

QCollator listCollator() {
    QLocale locale;
    // Under the C locale the collator compares code points; the game's platform always has a
    // real locale, so fall back to English there.
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

void sortForList(QStringList& names) {
    const QCollator collator = listCollator();
    struct Keyed {
        QCollatorSortKey key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keyed.push_back({collator.sortKey(names[i]), i});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return a.key.compare(b.key) < 0; });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Keyed& k : keyed)
        sorted.append(std::move(names[k.index]));
    names = std::move(sorted);
}

namespace {

// A name with bytes that are not UTF-8 shows them as "\xff" and keeps itself as the item's data.
QListWidgetItem* newItem(const QString& name) {
    auto* item = new QListWidgetItem(platform::shownFileName(name));
    if (item->text() != name)
        item->setData(Qt::UserRole, name);
    return item;
}

} // namespace

void fillSorted(QListWidget* list, QStringList names) {
    sortForList(names);
    list->setUpdatesEnabled(false);
    list->clear();
    for (const QString& name : names)
        list->addItem(newItem(name));
    list->setUpdatesEnabled(true);
}

void fillSorted(QComboBox* combo, QStringList names) {
    sortForList(names);
    combo->clear();
    for (const QString& name : names) {
        const QString shown = platform::shownFileName(name);
        combo->addItem(shown, shown != name ? QVariant(name) : QVariant());
    }
}

int insertSorted(QListWidget* list, const QString& name) {
    const QCollator collator = listCollator();
    const QString shown = platform::shownFileName(name);
    int low = 0, high = list->count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (collator.compare(list->item(middle)->text(), shown) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    list->insertItem(low, newItem(name));
    return low;
}

void showText(QComboBox* combo, const QString& text) {
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    combo->setEditText(text);
}

void keepOneSelected(QListWidget* list) {
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [list] {
        if (list->selectedItems().isEmpty() && list->currentItem())
            list->currentItem()->setSelected(true);
    });
}

QString nameOf(const QListWidgetItem* item) {
    const QVariant name = item->data(Qt::UserRole);
    return name.isValid() ? name.toString() : item->text();
}

QString nameOf(const QComboBox* combo, int index) {
    const QVariant name = combo->itemData(index);
    return name.isValid() ? name.toString() : combo->itemText(index);
}

QStringList entriesOf(const QListWidget* list) {
    QStringList entries;
    entries.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        entries.append(nameOf(list->item(i)));
    return entries;
}

QStringList entriesOf(const QComboBox* combo) {
    QStringList entries;
    entries.reserve(combo->count());
    for (int i = 0; i < combo->count(); ++i)
        entries.append(nameOf(combo, i));
    return entries;
}

} // namespace gvt::ui
