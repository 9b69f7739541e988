#include <QApplication>

#include "dialog_test_kit.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failed = 0;
    failed += RunBuildDlgTests(argc, argv);
    failed += RunFindSetupDlgTests(argc, argv);
    failed += RunDeleteSetupDlgTests(argc, argv);
    failed += RunFolderDialogTests(argc, argv);
    return failed == 0 ? 0 : 1;
}
