// SPDX-License-Identifier: GPL-3.0-or-later
// The baseline for the main window's start: a bare Qt dialog with one list, one picture and two
// buttons, started the same way.
#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* picture = new QLabel;
    picture->setPixmap(QPixmap(QStringLiteral(":/images/banner.bmp")));
    auto* list = new QListWidget;
    list->addItems({QStringLiteral("Desert Storm"), QStringLiteral("Grimvale Tarsis"),
                    QStringLiteral("Vorlok")});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QPushButton(QStringLiteral("Start")));
    buttons->addWidget(new QPushButton(QStringLiteral("Cancel")));
    layout->addWidget(picture);
    layout->addWidget(list);
    layout->addLayout(buttons);
    dialog.show();
    return application.exec();
}
