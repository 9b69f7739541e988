#include "find_setup_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "control_ids.h"
#include "desktop.h"
#include "dialog_kit.h"
#include "tenths.h"

const std::array<const char*, 14> CFindSetupDlg::kFilterNames{
    "box",     "triangle", "Hamming",  "Gaussian", "bell",    "B-spline", "cubic 1",
    "cubic 2", "Lanczos3", "Mitchell", "sinc",     "Hermite", "Hanning",  "Catrom"};

namespace {
constexpr int kGaussian = 3;
// Tolerance texts that reveal the filter list.
constexpr const char* kAspectAccess = "37";
constexpr const char* kSizeAccess = "58";

int readClamped(const QLineEdit* edit, int low, int high) {
    return std::clamp(ParseLeadingInt(ss(edit->text())), low, high);
}

QGroupBox* group(int id, const QString& title) {
    auto* g = new QGroupBox(title);
    SetControlId(g, id);
    return g;
}
}  // namespace

CFindSetupDlg::CFindSetupDlg(Desktop& desktop, QWidget* parent)
    : SetupDialog(parent), m_desktop(desktop) {
    setWindowTitle(QStringLiteral("Find dups setup (method and restrictions)"));
    buildLayout();
}

void CFindSetupDlg::buildLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QGroupBox* method = group(FindSetupId::MethodGroup, QStringLiteral("Match method"));
    auto* methodBox = new QVBoxLayout(method);
    m_methods = new QButtonGroup(this);
    const std::array<std::pair<int, const char*>, 4> methods{
        {{FindSetupId::MethodEuclidean, "Color (euclidean)"},
         {FindSetupId::MethodWeighted, "Color (weighted euclidean)"},
         {FindSetupId::MethodVariance, "Color (variance)"},
         {FindSetupId::MethodLuminance, "Luminance (as greyscale)"}}};
    for (int i = 0; i < 4; ++i) {
        QRadioButton* r = MakeRadio(methods[i].first, QString::fromLatin1(methods[i].second));
        m_methods->addButton(r, i);
        methodBox->addWidget(r);
    }
    m_useLum = MakeCheck(FindSetupId::UseLuminance,
                         QStringLiteral("Use 'Luminance' if one image of pair is greyscale"));
    m_mirror = MakeCheck(FindSetupId::Mirror,
                         QStringLiteral("Check for mirrored images (left and right flipped)"));
    m_rotation = MakeCheck(FindSetupId::Rotation,
                           QStringLiteral("Also match copies turned 90, 180 and 270 degrees"));
    m_adjust = MakeCheck(FindSetupId::Adjust, QStringLiteral("Adjust for mean color difference"));
    methodBox->addWidget(m_useLum);
    methodBox->addWidget(m_mirror);
    methodBox->addWidget(m_rotation);
    auto* adjustRow = new QHBoxLayout;
    m_adjustAmount = MakeEdit(FindSetupId::AdjustAmount, kNumberEditMax);
    m_adjustAmount->setFixedWidth(60);
    adjustRow->addWidget(m_adjust);
    adjustRow->addWidget(m_adjustAmount);
    adjustRow->addWidget(MakeLabel(0, QStringLiteral("% (0-50)")));
    adjustRow->addStretch(1);
    methodBox->addLayout(adjustRow);
    layout->addWidget(method);

    QGroupBox* restriction =
        group(FindSetupId::RestrictionGroup, QStringLiteral("Match restriction"));
    auto* grid = new QGridLayout(restriction);
    m_restrictions = new QButtonGroup(this);
    QRadioButton* none =
        MakeRadio(FindSetupId::RestrictNone, QStringLiteral("None (match all image pairs)"));
    QRadioButton* aspect =
        MakeRadio(FindSetupId::RestrictAspect, QStringLiteral("Same aspect ratio   Tolerance"));
    QRadioButton* size =
        MakeRadio(FindSetupId::RestrictSize, QStringLiteral("Same size               Tolerance"));
    m_restrictions->addButton(none, static_cast<int>(MatchRestriction::None));
    m_restrictions->addButton(aspect, static_cast<int>(MatchRestriction::SameAspect));
    m_restrictions->addButton(size, static_cast<int>(MatchRestriction::SameSize));
    m_aspectTol = MakeEdit(FindSetupId::AspectTolerance, kNumberEditMax);
    m_sizeTol = MakeEdit(FindSetupId::SizeTolerance, kNumberEditMax);
    m_aspectTol->setFixedWidth(60);
    m_sizeTol->setFixedWidth(60);
    grid->addWidget(none, 0, 0, 1, 3);
    grid->addWidget(aspect, 1, 0);
    grid->addWidget(m_aspectTol, 1, 1);
    grid->addWidget(MakeLabel(0, QStringLiteral("% (0-100)")), 1, 2);
    grid->addWidget(size, 2, 0);
    grid->addWidget(m_sizeTol, 2, 1);
    grid->addWidget(MakeLabel(0, QStringLiteral("% (0-100)")), 2, 2);
    grid->setColumnStretch(3, 1);
    layout->addWidget(restriction);

    auto* bottom = new QGridLayout;
    bottom->addWidget(MakeLabel(0, QStringLiteral("Duplicate pairs limit")), 0, 0);
    m_dupsLimit = MakeEdit(FindSetupId::DupsLimit, kNumberEditMax);
    m_dupsLimit->setFixedWidth(90);
    bottom->addWidget(m_dupsLimit, 1, 0);
    m_filterLabel = MakeLabel(FindSetupId::FilterLabel, QStringLiteral("Convolution filter"));
    m_filter = new QComboBox;
    SetControlId(m_filter, FindSetupId::Filter);
    for (const char* name : kFilterNames) {
        m_filter->addItem(QString::fromLatin1(name));
    }
    bottom->addWidget(m_filterLabel, 0, 1);
    bottom->addWidget(m_filter, 1, 1);
    bottom->setColumnStretch(2, 1);
    layout->addLayout(bottom);

    QPushButton* help = AddDialogButtons(this, layout, true);
    connect(help, &QPushButton::clicked, this,
            [this] { m_desktop.openHelp("finddupssetup.html"); });

    connect(m_restrictions, &QButtonGroup::idClicked, this, [this] { applyRestriction(); });
    connect(m_adjust, &QCheckBox::clicked, this, [this] { applyAdjustEnable(); });
    for (QLineEdit* e : {m_aspectTol, m_sizeTol, m_adjustAmount}) {
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (!m_writing) {
                checkFilterAccess();
            }
        });
    }
}

void CFindSetupDlg::onInitDialog() {
    m_unlocked = m_bFilterUnlocked != 0;
    if (QAbstractButton* b = m_methods->button(m_nMethod)) {
        b->setChecked(true);
    }
    if (QAbstractButton* b = m_restrictions->button(static_cast<int>(m_nMatchRestriction))) {
        b->setChecked(true);
    }
    m_useLum->setChecked(m_bUseLumForGrey != 0);
    m_mirror->setChecked(m_bCheckMirror != 0);
    m_rotation->setChecked(m_bCheckRotation != 0);
    m_adjust->setChecked(m_bAdjustColor != 0);
    m_writing = true;
    m_dupsLimit->setText(QString::number(m_nDupsLimit));
    m_aspectTol->setText(QString::number(m_nAspectTol));
    m_sizeTol->setText(QString::number(m_nSizeTol));
    m_adjustAmount->setText(QString::number(m_nAdjustAmount));
    m_writing = false;
    const bool known =
        m_nFilterIndex >= 0 && m_nFilterIndex < static_cast<int>(kFilterNames.size());
    m_filter->setCurrentIndex(known ? m_nFilterIndex : kGaussian);
    applyRestriction();
    applyAdjustEnable();
    showFilter(m_unlocked || (m_aspectTol->text() == QLatin1String(kAspectAccess) &&
                              m_sizeTol->text() == QLatin1String(kSizeAccess)));
}

void CFindSetupDlg::applyRestriction() {
    const auto r = static_cast<MatchRestriction>(m_restrictions->checkedId());
    m_aspectTol->setEnabled(r == MatchRestriction::SameAspect);
    m_sizeTol->setEnabled(r == MatchRestriction::SameSize);
}

void CFindSetupDlg::applyAdjustEnable() {
    m_adjustAmount->setEnabled(m_adjust->isChecked());
}

void CFindSetupDlg::checkFilterAccess() {
    if (m_aspectTol->text() == QLatin1String(kAspectAccess) &&
        m_sizeTol->text() == QLatin1String(kSizeAccess)) {
        m_unlocked = true;
        showFilter(true);
    }
}

void CFindSetupDlg::showFilter(bool shown) {
    m_filterLabel->setVisible(shown);
    m_filter->setVisible(shown);
}

void CFindSetupDlg::accept() {
    m_strAspectTol = ss(m_aspectTol->text());
    m_strSizeTol = ss(m_sizeTol->text());
    m_strAdjustAmount = ss(m_adjustAmount->text());
    m_strDupsLimit = ss(m_dupsLimit->text());
    m_nAspectTol = readClamped(m_aspectTol, 0, 100);
    m_nSizeTol = readClamped(m_sizeTol, 0, 100);
    m_nAdjustAmount = readClamped(m_adjustAmount, 0, 100);
    m_nDupsLimit = readClamped(m_dupsLimit, 10, 1'000'000);
    const auto* name =
        std::find_if(kFilterNames.begin(), kFilterNames.end(),
                     [this](const char* n) { return m_filter->currentText() == QLatin1String(n); });
    m_nFilterIndex =
        name == kFilterNames.end() ? kGaussian : static_cast<int>(name - kFilterNames.begin());
    if (m_methods->checkedId() >= 0) {
        m_nMethod = m_methods->checkedId();
    }
    if (m_restrictions->checkedId() >= 0) {
        m_nMatchRestriction = static_cast<MatchRestriction>(m_restrictions->checkedId());
    }
    m_bUseLumForGrey = m_useLum->isChecked() ? 1 : 0;
    m_bCheckMirror = m_mirror->isChecked() ? 1 : 0;
    m_bCheckRotation = m_rotation->isChecked() ? 1 : 0;
    m_bAdjustColor = m_adjust->isChecked() ? 1 : 0;
    m_bFilterUnlocked = m_unlocked ? 1 : 0;
    SetupDialog::accept();
}
