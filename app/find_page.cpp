#include "find_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "job_controller.h"
#include "main_ids.h"
#include "main_texts.h"
#include "placement.h"
#include "run_state.h"
#include "settings_summary.h"
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

FindPage::FindPage(const RunState& run, const JobController& jobs, QWidget* parent)
    : QWidget(parent), m_run(run), m_jobs(jobs) {
    PlaceControl<QLabel>(this, MainId::BandLabel, QRect(14, 25, 90, 20), "Dup if within");
    m_lower = boundEdit(this, MainId::LowerBound, 106);
    m_lowerSpin = boundSpin(this, MainId::LowerSpin, m_lower);
    PlaceControl<QLabel>(this, MainId::BandToLabel, QRect(186, 25, 44, 20), "%  to");
    m_upper = boundEdit(this, MainId::UpperBound, 230);
    m_upperSpin = boundSpin(this, MainId::UpperSpin, m_upper);
    PlaceControl<QLabel>(this, MainId::BandMatchLabel, QRect(310, 25, 70, 20), "% match");

    PlaceControl<QPushButton>(this, MainId::FindSetup, QRect(520, 20, 100, 30), "Setup...");
    m_find = PlaceControl<QPushButton>(this, MainId::FindDups, QRect(14, 66, 120, 34), "Find dups");
    m_hint = PlaceControl<QLabel>(this, MainId::FindHint, QRect(144, 73, 300, 20), kTextFindHint);

    m_settings =
        PlaceControl<QLabel>(this, MainId::SettingsText, QRect(14, 112, 606, 144), QString());
    m_settings->setWordWrap(true);
    m_settings->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_settings->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_settings->setMargin(4);

    connect(m_lower, &QLineEdit::textChanged, this, [this] { syncSpin(m_lower, m_lowerSpin); });
    connect(m_upper, &QLineEdit::textChanged, this, [this] { syncSpin(m_upper, m_upperSpin); });

    connect(&run, &RunState::slotChanged, this, &FindPage::updateFindButton);
    connect(&run, &RunState::singleImageChanged, this, &FindPage::updateFindButton);
    connect(&run, &RunState::compareModeChanged, this, &FindPage::updateFindButton);
    connect(&run, &RunState::settingsChanged, this, &FindPage::refreshSettingsText);
    connect(&jobs, &JobController::started, this, [this] { m_find->setEnabled(false); });
    connect(&jobs, &JobController::finished, this, &FindPage::updateFindButton);
}

void FindPage::showBand(int lowerTenths) {
    m_upper->setText(QString::number(MatchBand::kHighestPercent));
    m_upperSpin->setPosition(MatchBand::kHighestPercent);
    m_lowerSpin->setPosition(MatchBand::ClampPercent(lowerTenths / 10));
    m_lower->setText(QString::fromStdString(FormatTenths(lowerTenths)));
}

std::int32_t FindPage::lowerBoundTenths() const {
    return ParseTenths(m_lower->text().toStdString());
}

std::int32_t FindPage::upperBoundTenths() const {
    return ParseTenths(m_upper->text().toStdString());
}

MatchBand FindPage::takeCorrectedBand() {
    const MatchBand band =
        MatchBand::Corrected(m_lower->text().toStdString(), m_upper->text().toStdString());
    for (auto [edit, text] :
         {std::pair(m_lower, &band.lowText), std::pair(m_upper, &band.highText)}) {
        const QString corrected = QString::fromStdString(*text);
        if (corrected != edit->text()) {
            edit->setText(corrected);
        }
    }
    return band;
}

void FindPage::syncSpin(QLineEdit* edit, UpDownControl* spin) {
    const int whole = ParseWholePercent(edit->text().toStdString());
    if (MatchBand::InRange(whole)) {
        spin->setPosition(whole);
    }
}

void FindPage::updateFindButton() {
    if (m_jobs.isRunning()) {
        m_find->setEnabled(false);
        return;
    }
    const bool enable = m_run.comparisonDataLoaded();
    m_find->setEnabled(enable);
    if (enable) {
        m_hint->setVisible(false);
    } else if (parentWidget() != nullptr && isVisibleTo(parentWidget())) {
        m_hint->setVisible(true);
    }
}

void FindPage::setHintVisible(bool visible) {
    m_hint->setVisible(visible);
}

void FindPage::refreshSettingsText() {
    m_settings->setText(QString::fromStdString(SettingsSummaryText(m_run.findSettings())));
}
