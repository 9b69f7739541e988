#include <QApplication>
#include <QIcon>

#include "command_line.h"
#include "desktop.h"
#include "list_editor_dlg.h"
#include "qsettings_store.h"
#include "qt_prompter.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("orvex");
    QApplication::setApplicationVersion(ORVEX_VERSION);
    // Lets the desktop match the windows to the menu entry and its icon.
    QApplication::setDesktopFileName("orvex");
    QApplication::setWindowIcon(QIcon(":/orvex/orvex.png"));

    QSettingsStore store;
    QtPrompter prompter;
    QtDesktop desktop;
    ListEditorOptions options;
    options.commandLineList = ListFromCommandLine(QApplication::arguments());
    CListEditorDlg dlg(store, prompter, desktop, options);
    prompter.setParent(&dlg);
    dlg.exec();
    return 0;
}
