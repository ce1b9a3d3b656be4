// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCollator>
#include <QStringList>

class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace gvt::ui {

// Lists order their entries without regard to case in the user's locale, keep duplicates, and
// are filled in bulk: one sort, one insert.
QCollator listCollator();

// Sorts names the way the lists show them (stable, so equal names keep their order).
void sortForList(QStringList& names);

// Replaces the list's entries by `names`, sorted by what they show.
void fillSorted(QListWidget* list, QStringList names);
void fillSorted(QComboBox* combo, QStringList names);

// Inserts one entry at its sorted place (after equal entries); returns its row.
int insertSorted(QListWidget* list, const QString& name);

// Shows a text in an editable combo box and makes the entry of exactly that text current (none
// when there is none), so that the arrow keys step on from what is shown.
void showText(QComboBox* combo, const QString& text);

// An editable box as the game's platform has it: typing into its text completes nothing and
// chooses nothing, on Enter or when the focus leaves; only choosing an entry acts.
void chooseByListOnly(QComboBox* combo);

// A single-selection list with entries keeps one selected: Ctrl+click and Ctrl+Space on the
// selected entry select it again.
void keepOneSelected(QListWidget* list);

// The name an entry stands for (what it shows, unless the name holds bytes that are not UTF-8).
QString nameOf(const QListWidgetItem* item);
QString nameOf(const QComboBox* combo, int index);

// The names of all entries of a list, in order.
QStringList entriesOf(const QListWidget* list);
QStringList entriesOf(const QComboBox* combo);

} // namespace gvt::ui
