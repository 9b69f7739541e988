#include "delete_setup_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "control_ids.h"
#include "delete_criteria.h"
#include "desktop.h"
#include "dialog_kit.h"
#include "tenths.h"

namespace {
constexpr int kInitialSelection = 4;

QLabel* explanation(int id, const char* text) {
    QLabel* l = MakeLabel(id, QString::fromLatin1(text));
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}
}  // namespace

CDeleteSetupDlg::CDeleteSetupDlg(Desktop& desktop, QWidget* parent)
    : SetupDialog(parent), m_desktop(desktop) {
    setWindowTitle(QStringLiteral("Automatic and Semi-auto delete setup..."));
    buildLayout();
}

void CDeleteSetupDlg::buildLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* columns = new QHBoxLayout;
    layout->addLayout(columns);

    // Left column: the criteria list with its position marks and swap buttons.
    auto* listColumn = new QGridLayout;
    listColumn->addWidget(MakeLabel(0, QStringLiteral("Delete/move criteria sequence")), 0, 0, 1,
                          2);
    m_lbCriteria = new QListWidget;
    SetControlId(m_lbCriteria, DeleteSetupId::Criteria);
    m_lbCriteria->setSelectionMode(QAbstractItemView::SingleSelection);
    // Wide enough for the padded marker texts; the height follows the rows.
    const std::string_view widest = DeleteCriterionText(9);
    m_lbCriteria->setFixedWidth(m_lbCriteria->fontMetrics().horizontalAdvance(QString::fromLatin1(
                                    widest.data(), static_cast<qsizetype>(widest.size()))) +
                                40);
    listColumn->addWidget(MakeLabel(0, QStringLiteral("1")), 1, 0, Qt::AlignTop);
    listColumn->addWidget(MakeLabel(0, QStringLiteral("11")), 1, 0, Qt::AlignBottom);
    listColumn->addWidget(m_lbCriteria, 1, 1);
    auto* swapRow = new QHBoxLayout;
    QPushButton* up = MakeButton(DeleteSetupId::SwapUp, QStringLiteral("Swap up"));
    QPushButton* down = MakeButton(DeleteSetupId::SwapDown, QStringLiteral("Swap down"));
    swapRow->addWidget(up);
    swapRow->addWidget(down);
    listColumn->addLayout(swapRow, 2, 1);
    listColumn->setRowStretch(3, 1);
    columns->addLayout(listColumn);

    // Right column: mode, switches, delay and the explanation of the mode.
    auto* right = new QVBoxLayout;
    auto* modeGroup = new QGroupBox;
    auto* modeBox = new QVBoxLayout(modeGroup);
    m_modes = new QButtonGroup(this);
    const std::array<std::pair<int, const char*>, 3> modes{
        {{DeleteSetupId::ModeOff, "OFF"},
         {DeleteSetupId::ModeSemiAuto, "Semi auto delete ON"},
         {DeleteSetupId::ModeAutomatic, "Automatic delete ON"}}};
    // Each radio button's group id is its delete mode's number.
    for (int i = 0; i < 3; ++i) {
        QRadioButton* r = MakeRadio(modes[i].first, QString::fromLatin1(modes[i].second));
        m_modes->addButton(r, static_cast<int>(DeleteMode::Manual) + i);
        modeBox->addWidget(r);
    }
    right->addWidget(modeGroup);
    m_pause = MakeCheck(DeleteSetupId::Pause, QStringLiteral("Pause on 'No delete/move'"));
    m_permanent = MakeCheck(DeleteSetupId::Permanent, QStringLiteral("Deletes are permanent"));
    m_moveInstead = MakeCheck(DeleteSetupId::MoveInstead, QStringLiteral("MOVE instead of DELETE"));
    // The other switches stay in place while the pause is hidden.
    QSizePolicy keepPlace = m_pause->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_pause->setSizePolicy(keepPlace);
    right->addWidget(m_pause);
    auto* permanentRow = new QHBoxLayout;
    permanentRow->addWidget(m_permanent);
    permanentRow->addWidget(MakeLabel(0, QStringLiteral("(else to recycle bin)")));
    permanentRow->addStretch(1);
    right->addLayout(permanentRow);
    right->addWidget(m_moveInstead);
    right->addWidget(MakeLabel(0, QStringLiteral("Automatic mode delay (0-2000 milliseconds)")));
    m_delay = MakeEdit(DeleteSetupId::Delay, kNumberEditMax);
    m_delay->setFixedWidth(90);
    right->addWidget(m_delay);
    right->addStretch(1);
    columns->addLayout(right);

    // Both explanations share one place; the mode decides which shows.
    m_explanations = new QStackedWidget;
    m_automaticText = explanation(DeleteSetupId::AutomaticText, kAutomaticExplanation);
    m_otherText = explanation(DeleteSetupId::OtherText, kOtherExplanation);
    m_explanations->addWidget(m_automaticText);
    m_explanations->addWidget(m_otherText);
    m_explanations->setFixedWidth(560);
    layout->addWidget(m_explanations);

    QPushButton* help = AddDialogButtons(this, layout, true);
    connect(help, &QPushButton::clicked, this, [this] { m_desktop.openHelp("deletesetup.html"); });
    connect(up, &QPushButton::clicked, this, [this] { swap(-1); });
    connect(down, &QPushButton::clicked, this, [this] { swap(1); });
    connect(m_modes, &QButtonGroup::idClicked, this, [this] { showModeControls(); });
}

void CDeleteSetupDlg::onInitDialog() {
    if (QAbstractButton* b = m_modes->button(static_cast<int>(m_nMode))) {
        b->setChecked(true);
    }
    m_pause->setChecked(m_bPause != 0);
    m_permanent->setChecked(m_bPermanent != 0);
    m_moveInstead->setChecked(m_bMoveInstead != 0);
    showModeControls();
    m_lbCriteria->clear();
    for (int code : m_nSequence) {
        const std::string_view text = DeleteCriterionText(code);
        if (!text.empty()) {
            m_lbCriteria->addItem(
                QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        }
    }
    if (m_lbCriteria->count() > 0) {
        m_lbCriteria->setFixedHeight(kDeleteCriterionCount * m_lbCriteria->sizeHintForRow(0) +
                                     2 * m_lbCriteria->frameWidth());
    }
    if (m_lbCriteria->count() > kInitialSelection) {
        m_lbCriteria->setCurrentRow(kInitialSelection);
    }
    m_delay->setText(QString::number(m_nDelay - 100));
}

void CDeleteSetupDlg::showModeControls() {
    const bool automatic = m_modes->checkedId() == static_cast<int>(DeleteMode::Automatic);
    m_explanations->setCurrentWidget(automatic ? m_automaticText : m_otherText);
    m_pause->setVisible(automatic);
}

void CDeleteSetupDlg::swap(int step) {
    const int i = m_lbCriteria->currentRow();
    const int other = i + step;
    if (i < 0 || other < 0 || other >= m_lbCriteria->count()) {
        return;
    }
    // The neighbour is taken out and put back on the other side, so the
    // selected entry moves one place.
    QListWidgetItem* neighbour = m_lbCriteria->takeItem(other);
    m_lbCriteria->insertItem(i, neighbour);
    m_lbCriteria->setCurrentRow(other);
}

void CDeleteSetupDlg::accept() {
    for (int i = 0; i < m_lbCriteria->count() && i < static_cast<int>(m_nSequence.size()); ++i) {
        const int code = DeleteCriterionFromText(ss(m_lbCriteria->item(i)->text()));
        if (code != 0) {
            m_nSequence[i] = code;
        }
    }
    m_strDelay = ss(m_delay->text());
    m_nDelay = std::clamp(ParseLeadingInt(m_strDelay), 0, 2000) + 100;
    if (m_modes->checkedId() >= 0) {
        m_nMode = static_cast<DeleteMode>(m_modes->checkedId());
    }
    // The pause keeps its value while hidden.
    m_bPause = m_pause->isChecked() ? 1 : 0;
    m_bPermanent = m_permanent->isChecked() ? 1 : 0;
    m_bMoveInstead = m_moveInstead->isChecked() ? 1 : 0;
    SetupDialog::accept();
}
