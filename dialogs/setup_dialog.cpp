#include "setup_dialog.h"

#include <QShowEvent>

SetupDialog::SetupDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void SetupDialog::showEvent(QShowEvent* event) {
    // Restoring a minimised dialog is spontaneous and must not reset edits.
    if (!m_initialised && !event->spontaneous()) {
        m_initialised = true;
        onInitDialog();
    }
    QDialog::showEvent(event);
}

void SetupDialog::done(int result) {
    QDialog::done(result);
    m_initialised = false;
}
