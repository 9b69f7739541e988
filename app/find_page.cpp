#include "find_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "main_texts.h"
#include "match_band.h"
#include "placement.h"
#include "tenths.h"
#include "up_down_control.h"

namespace {
QLineEdit* boundEdit(QWidget* parent, int id, int x) {
    auto* edit = PlaceControl<QLineEdit>(parent, id, QRect(x, 22, 54, 26));
    edit->setMaxLength(5);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

UpDownControl* boundSpin(QWidget* parent, int id, QLineEdit* buddy) {
    auto* spin = new UpDownControl(buddy, parent);
    SetControlId(spin, id);
    spin->setGeometry(buddy->geometry().right() + 1, 22, 18, 26);
    spin->setRange(MatchBand::kLowestPercent, MatchBand::kHighestPercent);
    return spin;
}
}  // namespace

FindPage::FindPage(QWidget* parent) : QWidget(parent) {
    PlaceControl<QLabel>(this, 1047, QRect(14, 25, 90, 20), "Dup if within");
    m_lower = boundEdit(this, 1057, 106);
    m_lowerSpin = boundSpin(this, 1059, m_lower);
    PlaceControl<QLabel>(this, 1048, QRect(186, 25, 44, 20), "%  to");
    m_upper = boundEdit(this, 1058, 230);
    m_upperSpin = boundSpin(this, 1060, m_upper);
    PlaceControl<QLabel>(this, 1049, QRect(310, 25, 70, 20), "% match");

    PlaceControl<QPushButton>(this, 1092, QRect(520, 20, 100, 30), "Setup...");
    m_find = PlaceControl<QPushButton>(this, 1029, QRect(14, 66, 120, 34), "Find dups");
    m_hint = PlaceControl<QLabel>(this, 1094, QRect(144, 73, 300, 20), kTextFindHint);

    m_settings = PlaceControl<QLabel>(this, 1093, QRect(14, 112, 606, 144), QString());
    m_settings->setWordWrap(true);
    m_settings->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_settings->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_settings->setMargin(4);

    connect(m_lower, &QLineEdit::textChanged, this, [this] { syncSpin(m_lower, m_lowerSpin); });
    connect(m_upper, &QLineEdit::textChanged, this, [this] { syncSpin(m_upper, m_upperSpin); });
}

void FindPage::syncSpin(QLineEdit* edit, UpDownControl* spin) {
    const int whole = ParseWholePercent(edit->text().toStdString());
    if (MatchBand::InRange(whole)) {
        spin->setPosition(whole);
    }
}

void FindPage::setFindEnabled(bool enable) {
    m_find->setEnabled(enable);
}

void FindPage::setHintVisible(bool visible) {
    m_hint->setVisible(visible);
}

void FindPage::setSettingsText(const QString& text) {
    m_settings->setText(text);
}
