#include "save_datafile_dlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "control_ids.h"

CSaveDatafileDlg::CSaveDatafileDlg(QWidget* parent) : QDialog(parent) {
    SetControlId(this, SaveDatafileId::Dialog);
    setWindowTitle("Save Primary datafile");
    setModal(true);

    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(size, size));
    auto* text = new QLabel("Do you want to save the datafile before closing?", this);

    auto* yes = new QPushButton("Yes", this);
    SetControlId(yes, SaveDatafileId::Yes);
    yes->setDefault(true);
    auto* no = new QPushButton("No", this);
    SetControlId(no, SaveDatafileId::No);
    m_remind = new QCheckBox("Always remind to save datafile", this);
    SetControlId(m_remind, SaveDatafileId::Remind);
    m_remind->setChecked(true);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addWidget(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->addWidget(m_remind);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(yes, &QPushButton::clicked, this, [this] { done(kYes); });
    connect(no, &QPushButton::clicked, this, [this] { done(kNo); });
}

bool CSaveDatafileDlg::remind() const {
    return m_remind->isChecked();
}

void CSaveDatafileDlg::reject() {
    done(kNo);
}
