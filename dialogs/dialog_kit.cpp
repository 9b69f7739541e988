#include "dialog_kit.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "control_ids.h"

QPushButton* MakeButton(int id, const QString& text) {
    auto* b = new QPushButton(text);
    SetControlId(b, id);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* MakeEdit(int id, int maxLength) {
    auto* e = new QLineEdit;
    SetControlId(e, id);
    e->setMaxLength(maxLength);
    return e;
}

QCheckBox* MakeCheck(int id, const QString& text) {
    auto* c = new QCheckBox(text);
    SetControlId(c, id);
    return c;
}

QRadioButton* MakeRadio(int id, const QString& text) {
    auto* r = new QRadioButton(text);
    SetControlId(r, id);
    return r;
}

QLabel* MakeLabel(int id, const QString& text) {
    auto* l = new QLabel(text);
    if (id != 0) {
        SetControlId(l, id);
    }
    return l;
}

QPushButton* AddDialogButtons(QDialog* dialog, QBoxLayout* layout, bool withHelp) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* ok = MakeButton(kIdOk, QStringLiteral("OK"));
    ok->setDefault(true);
    QPushButton* cancel = MakeButton(kIdCancel, QStringLiteral("Cancel"));
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    QPushButton* help = nullptr;
    if (withHelp) {
        help = MakeButton(kIdHelp, QStringLiteral("Help"));
        row->addWidget(help);
    }
    layout->addLayout(row);
    return help;
}
