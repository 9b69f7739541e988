#include <QApplication>

#include "command_line.h"
#include "desktop.h"
#include "list_editor_dlg.h"
#include "qsettings_store.h"
#include "qt_prompter.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("orvex");
    QApplication::setApplicationVersion(ORVEX_VERSION);

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
