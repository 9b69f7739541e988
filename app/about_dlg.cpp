#include "about_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "control_ids.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    SetControlId(this, AboutId::Dialog);
    setWindowTitle("About Twinly");
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(":/twinly/twinly.png").pixmap(48, 48));
    auto* version = new QLabel("Twinly Version 3.3.0.2   7/8/2011", this);
    auto* note = new QLabel("Finds duplicate and near-duplicate images.", this);
    auto* web = new QLineEdit("https://twinly.velmora.example/", this);
    SetControlId(web, AboutId::Web);
    web->setReadOnly(true);
    web->setMaxLength(100);
    auto* ok = new QPushButton("OK", this);
    SetControlId(ok, AboutId::Ok);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(note, 1, 1);
    layout->addWidget(web, 2, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->setColumnMinimumWidth(1, 300);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
