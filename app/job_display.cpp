#include "job_display.h"

#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <algorithm>

#include "main_texts.h"
#include "status_lines.h"

namespace {
QString JobTotalText(int total) {
    return QStringLiteral("Total:  %1").arg(total);
}
}  // namespace

JobDisplay::JobDisplay(QWidget& window, QProgressBar& bar, QPushButton& abort, StatusLines& status)
    : m_window(window), m_bar(bar), m_abort(abort), m_status(status) {}

void JobDisplay::showStart(int total, JobLine totalLine) {
    m_abort.show();
    m_bar.setRange(0, std::max(total, 1));
    m_bar.setValue(0);
    m_bar.show();
    m_status.setJobLine(totalLine, JobTotalText(total));
}

void JobDisplay::showProgress(int progress, int total) {
    if (total > 0 && m_bar.maximum() != total) {
        m_bar.setRange(0, total);
    }
    m_bar.setValue(std::clamp(progress, 0, m_bar.maximum()));
    if (m_window.isMinimized() && total > 0) {
        const long long percent = static_cast<long long>(progress) * 100 / total;
        m_window.setWindowTitle(QStringLiteral("%1% Analyzed").arg(percent));
    }
}

void JobDisplay::reset() {
    m_bar.setValue(0);
    m_bar.hide();
    m_abort.hide();
    m_window.setWindowTitle(kTextCaption);
}
