#include <QApplication>
#include <QIcon>

#include "twinly_app.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Velmora");
    QApplication::setApplicationName("Twinly");
    // Lets the desktop match the windows to the menu entry and its icon; the
    // icon is set for the application so every dialog carries it too.
    QApplication::setDesktopFileName("twinly");
    QApplication::setWindowIcon(QIcon(":/twinly/twinly.png"));
    return CTwinlyApp().run();
}
