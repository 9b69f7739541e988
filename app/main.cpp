#include <QApplication>

#include "twinly_app.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Velmora");
    QApplication::setApplicationName("Twinly");
    return CTwinlyApp().run();
}
