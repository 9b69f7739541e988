#include "orvex_about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "control_ids.h"

COrvexAboutDlg::COrvexAboutDlg(QWidget* parent) : QDialog(parent) {
    SetControlId(this, OrvexAboutId::Window);
    setWindowTitle("About Orvex");
    auto* text = new QLabel(QStringLiteral("<b>Orvex</b> %1<br>Builds the image lists that Twinly "
                                           "reads: files, and folders with or without their "
                                           "subfolders.")
                                .arg(QStringLiteral(ORVEX_VERSION)),
                            this);
    text->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    SetControlId(buttons->button(QDialogButtonBox::Ok), OrvexAboutId::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
}
