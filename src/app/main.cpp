#include <QApplication>
#include <QDialog>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QDialog window;
    window.setWindowTitle(QStringLiteral("GVTarsis Mod Manager 1.2"));
    return window.exec() >= 0 ? 0 : 1;
}
