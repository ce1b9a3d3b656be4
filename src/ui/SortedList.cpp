// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SortedList.h"

#include "platform/files/FileName.h"

#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>

#include <algorithm>
#include <array>
#include <numeric>

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

namespace {

// Printable ASCII in the collator's order: the rank of each character, equal for characters the
// collator holds equal (a letter and its capital), 0 for the others. They stand for the collator
// only where every name of one or two such characters sorts by them as it does, which rules out
// the locales that sort letters joined (Danish "aa", Czech "ch"): there a name of printable
// ASCII sorts by the bytes of its ranks, with no collation key to make.
struct AsciiRanks {
    std::array<char, 128> of{};
    bool valid = false;
};

AsciiRanks rankAscii(const QCollator& collator) {
    AsciiRanks ranks;
    QStringList texts;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        texts.append(QString(QChar(c)));
    std::stable_sort(texts.begin(), texts.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    char rank = 0;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i == 0 || collator.compare(texts[i - 1], texts[i]) != 0)
            ++rank;
        ranks.of[texts[i][0].unicode()] = rank;
    }
    const QStringList singles = texts;
    for (const QString& first : singles) {
        for (const QString& second : singles)
            texts.append(first + second);
    }
    const auto key = [&](const QString& text) {
        QByteArray bytes;
        for (QChar c : text)
            bytes.append(ranks.of[c.unicode()]);
        return bytes;
    };
    std::sort(texts.begin(), texts.end(),
              [&](const QString& a, const QString& b) { return key(a) < key(b); });
    for (qsizetype i = 1; i < texts.size(); ++i) {
        const int expected = key(texts[i - 1]) == key(texts[i]) ? 0 : -1;
        if (std::clamp(collator.compare(texts[i - 1], texts[i]), -1, 1) != expected)
            return ranks;
    }
    ranks.valid = true;
    return ranks;
}

const AsciiRanks& asciiRanksOf(const QCollator& collator) {
    static QHash<QString, AsciiRanks> known;
    const QString locale = collator.locale().name();
    auto found = known.find(locale);
    if (found == known.end())
        found = known.insert(locale, rankAscii(collator));
    return *found;
}

} // namespace

void sortForList(QStringList& names) {
    const QCollator collator = listCollator();
    // Ranking pays from a thousand names on; fewer sort by their collation keys at once.
    static const AsciiRanks none;
    const AsciiRanks& ranks = names.size() < 1000 ? none : asciiRanksOf(collator);
    std::vector<qsizetype> order(size_t(names.size()));
    std::iota(order.begin(), order.end(), 0);
    // Names of printable ASCII sort by their ranks: the first sixteen as two numbers, the rest
    // from one arena where all ranks stand one name after the other.
    struct Ranked {
        quint64 head[2];
        qsizetype start, size, index;
    };
    std::vector<Ranked> ranked(ranks.valid ? size_t(names.size()) : 0);
    qsizetype tails = 0;
    for (const QString& name : names)
        tails += std::max<qsizetype>(name.size() - 16, 0);
    QByteArray arena(ranks.valid ? tails : 0, Qt::Uninitialized);
    char* tail = arena.data();
    bool ascii = ranks.valid;
    for (qsizetype i = 0; ascii && i < names.size(); ++i) {
        const QChar* text = names[i].constData();
        Ranked& r = ranked[size_t(i)];
        r = {{0, 0}, tail - arena.constData(), names[i].size(), i};
        for (qsizetype k = 0; ascii && k < r.size; ++k) {
            const char16_t u = text[k].unicode();
            const char rank = u < 0x80 ? ranks.of[u] : char(0);
            ascii = rank != 0;
            if (k < 16)
                r.head[k / 8] |= quint64(rank) << (8 * (7 - k % 8));
            else
                *tail++ = rank;
        }
    }
    if (ascii) {
        std::stable_sort(ranked.begin(), ranked.end(), [&](const Ranked& a, const Ranked& b) {
            if (a.head[0] != b.head[0] || a.head[1] != b.head[1])
                return a.head[0] != b.head[0] ? a.head[0] < b.head[0] : a.head[1] < b.head[1];
            return QByteArrayView(arena).sliced(a.start, std::max<qsizetype>(a.size - 16, 0)) <
                   QByteArrayView(arena).sliced(b.start, std::max<qsizetype>(b.size - 16, 0));
        });
        for (size_t i = 0; i < ranked.size(); ++i)
            order[i] = ranked[i].index;
    } else {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(size_t(names.size()));
        for (const QString& name : names)
            keys.push_back(collator.sortKey(name));
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
        });
    }
    QStringList sorted;
    sorted.reserve(names.size());
    for (const qsizetype i : order)
        sorted.append(std::move(names[i]));
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
    if (std::all_of(names.begin(), names.end(),
                    [](const QString& name) { return platform::shownFileName(name) == name; })) {
        list->addItems(names);
    } else {
        for (const QString& name : names)
            list->addItem(newItem(name));
    }
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

void chooseByListOnly(QComboBox* combo) {
    combo->setCompleter(nullptr);
    // The box's own handling of its text would choose the entry the text names.
    QObject::disconnect(combo->lineEdit(), &QLineEdit::returnPressed, combo, nullptr);
    QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
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
