#include "twinly_app.h"

#include "app_paths.h"
#include "desktop.h"
#include "file_ops.h"
#include "main_dlg.h"
#include "qsettings_store.h"
#include "qt_prompter.h"

int CTwinlyApp::run() {
    QSettingsStore store;
    QtPrompter prompter;
    QtFileOps fileOps;
    QtDesktop desktop;
    CMainDlg dlg({.store = store,
                  .prompter = prompter,
                  .fileOps = fileOps,
                  .desktop = desktop,
                  .dataFolder = UserDataFolder(),
                  .seedLogFile = QStringLiteral(":/twinly/Dups.log")});
    prompter.setParent(&dlg);
    dlg.exec();
    return 0;
}
