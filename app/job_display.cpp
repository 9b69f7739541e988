#include "job_display.h"

#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <algorithm>

#include "find_page.h"
#include "main_dlg.h"
#include "main_texts.h"

QString JobTotalText(int total) {
    return QStringLiteral("Total:  %1").arg(total);
}

void ProgressInit(CMainDlg& dlg, int total, JobTotalLine line) {
    dlg.findPage().setFindEnabled(false);
    dlg.abortButton()->show();
    dlg.EnableModeButtons(false);
    QProgressBar* bar = dlg.progressBar();
    bar->setRange(0, std::max(total, 1));
    bar->setValue(0);
    bar->show();
    if (line == JobTotalLine::Status4) {
        dlg.setStatus4(JobTotalText(total));
    } else {
        dlg.setStatus7(JobTotalText(total));
    }
}

void ShowJobProgress(CMainDlg& dlg, int progress, int total) {
    QProgressBar* bar = dlg.progressBar();
    if (total > 0 && bar->maximum() != total) {
        bar->setRange(0, total);
    }
    bar->setValue(std::clamp(progress, 0, bar->maximum()));
    if (dlg.isMinimized() && total > 0) {
        const long long percent = static_cast<long long>(progress) * 100 / total;
        dlg.setWindowTitle(QStringLiteral("%1% Analyzed").arg(percent));
    }
}

void ResetJobDisplay(CMainDlg& dlg) {
    QProgressBar* bar = dlg.progressBar();
    bar->setValue(0);
    bar->hide();
    dlg.abortButton()->hide();
    dlg.setWindowTitle(kTextCaption);
}
