// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the game: shows the command line it was started with and appends it to
// launches.log beside itself.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList words = application.arguments().mid(1);
    const QString line = QStringLiteral("gvtarsis.exe ") + words.join(u' ');

    QFile log(QCoreApplication::applicationDirPath() + QStringLiteral("/launches.log"));
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write((QDateTime::currentDateTime().toString(Qt::ISODate) + QStringLiteral("  ") +
                   line + QStringLiteral("  (in ") + QDir::currentPath() + QStringLiteral(")\n"))
                      .toUtf8());
    log.close();

    QWidget window;
    window.setWindowTitle(QStringLiteral("Grimvale Tarsis (demo stand-in)"));
    auto* layout = new QVBoxLayout(&window);
    auto* heading = new QLabel(QStringLiteral("The game would start now with this command line:"));
    auto* shown = new QLabel(line);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
    shown->setStyleSheet(QStringLiteral("font-family: monospace; padding: 6px;"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    QObject::connect(close, &QPushButton::clicked, &window, &QWidget::close);
    layout->addWidget(heading);
    layout->addWidget(shown);
    layout->addWidget(close, 0, Qt::AlignRight);
    window.show();
    return application.exec();
}
