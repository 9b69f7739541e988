#include "method_page.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>

#include "job_controller.h"
#include "main_ids.h"
#include "placement.h"
#include "run_state.h"

MethodPage::MethodPage(const RunState& run, const JobController& jobs, QWidget* parent)
    : QWidget(parent) {
    static const char* const kTexts[3] = {
        "Compare all images within primary datafile (one folder or image list)",
        "Compare images between two datafiles (no comparison within the datafiles)",
        "Compare single image to primary datafile (no comparison within the datafile)",
    };
    auto* group = new QButtonGroup(this);
    for (int mode = 0; mode < 3; ++mode) {
        m_modes[mode] = PlaceControl<QRadioButton>(this, MainId::ModeWithinPrimary + mode,
                                                   QRect(24, 40 + 52 * mode, 590, 24),
                                                   QString::fromLatin1(kTexts[mode]));
        group->addButton(m_modes[mode], mode);
    }
    setCompareMode(run.compareMode());
    auto* next = new QLabel(
        "Then open or build the image data on 'Get data' and search for duplicates on "
        "'Find dups'.",
        this);
    next->setGeometry(24, 206, 590, 40);
    next->setWordWrap(true);
    connect(group, &QButtonGroup::idClicked, this,
            [this](int mode) { emit compareModeChosen(static_cast<CompareMode>(mode)); });
    connect(&run, &RunState::compareModeChanged, this, &MethodPage::setCompareMode);
    connect(&jobs, &JobController::started, this, [this] { setModeButtonsEnabled(false); });
    connect(&jobs, &JobController::finished, this, [this] { setModeButtonsEnabled(true); });
}

void MethodPage::setCompareMode(CompareMode mode) {
    m_modes[static_cast<int>(mode)]->setChecked(true);
}

void MethodPage::setModeButtonsEnabled(bool enable) {
    for (QRadioButton* b : m_modes) {
        b->setEnabled(enable);
    }
}
