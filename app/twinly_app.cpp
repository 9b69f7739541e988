#include "twinly_app.h"

#include "app_paths.h"
#include "app_prompter.h"
#include "desktop.h"
#include "file_ops.h"
#include "main_dlg.h"
#include "qsettings_store.h"

int CTwinlyApp::run() {
    QSettingsStore store;
    AppPrompter prompter;
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
