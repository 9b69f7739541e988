#include "get_data_page.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "main_ids.h"
#include "main_texts.h"
#include "placement.h"
#include "run_state.h"

namespace {
QLabel* fileName(QWidget* parent, int id, int y) {
    auto* label = PlaceControl<QLabel>(parent, id, QRect(190, y, 430, 22), QString());
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}
}  // namespace

GetDataPage::GetDataPage(const RunState& run, QWidget* parent) : QWidget(parent), m_run(run) {
    using namespace MainId;
    m_primaryLabel = PlaceControl<QLabel>(this, PrimaryLabel, QRect(14, 12, 400, 20), QString());
    PlaceControl<QPushButton>(this, PrimaryOpen, QRect(14, 36, 80, 28), "Open...");
    PlaceControl<QPushButton>(this, PrimaryBuild, QRect(100, 36, 80, 28), "Build...");
    m_primaryFile = fileName(this, PrimaryFile, 39);

    m_secondaryLabel =
        PlaceControl<QLabel>(this, SecondaryLabel, QRect(14, 78, 400, 20), QString());
    auto* secOpen =
        PlaceControl<QPushButton>(this, SecondaryOpen, QRect(14, 102, 80, 28), "Open...");
    auto* secBuild =
        PlaceControl<QPushButton>(this, SecondaryBuild, QRect(100, 102, 80, 28), "Build...");
    m_secondaryFile = fileName(this, SecondaryFile, 105);

    m_singleLabel = PlaceControl<QLabel>(this, SingleLabel, QRect(14, 144, 400, 20), QString());
    auto* singleOpen =
        PlaceControl<QPushButton>(this, SingleOpen, QRect(14, 168, 80, 28), "Open...");
    m_singleFile = fileName(this, SingleFile, 171);

    m_status = PlaceControl<QLabel>(this, Status, QRect(14, 212, 606, 40), QString());
    m_status->setWordWrap(true);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_secondaryRow[0] = m_secondaryLabel;
    m_secondaryRow[1] = secOpen;
    m_secondaryRow[2] = secBuild;
    m_secondaryRow[3] = m_secondaryFile;
    m_singleRow[0] = m_singleLabel;
    m_singleRow[1] = singleOpen;
    m_singleRow[2] = m_singleFile;

    connect(&run, &RunState::slotChanged, this, &GetDataPage::refreshDatafileTexts);
    connect(&run, &RunState::singleImageChanged, this, &GetDataPage::showSingleImage);
    connect(&run, &RunState::compareModeChanged, this, &GetDataPage::enableRowsForMode);
    enableRowsForMode(run.compareMode());
}

void GetDataPage::refreshDatafileTexts() {
    const auto show = [this](int slot, const char* name, QLabel* label, QLabel* file) {
        const DatafileSlot& data = m_run.slot(slot);
        if (data.count() != 0) {
            label->setText(QStringLiteral("%1 data file images: %2").arg(name).arg(data.count()));
            file->setText(QString::fromStdString(m_run.slotLabel(slot)));
        } else {
            label->setText(QStringLiteral("%1 data file").arg(name));
            file->setText(kTextNoDataFile);
        }
    };
    show(kPrimarySlot, "Primary", m_primaryLabel, m_primaryFile);
    show(kSecondarySlot, "Secondary", m_secondaryLabel, m_secondaryFile);
}

void GetDataPage::showNothingLoaded() {
    m_singleLabel->setText(kTextNoSingle);
    m_singleFile->clear();
    m_secondaryLabel->clear();
    m_secondaryFile->setText(kTextNoFileOpened);
}

void GetDataPage::showSingleImage() {
    const QString path = QString::fromStdString(m_run.singlePath());
    m_singleLabel->setText("Single image:" + QFileInfo(path).completeBaseName());
    m_singleFile->setText(path);
}

void GetDataPage::setStatus(const QString& text) {
    m_status->setText(text);
}

QString GetDataPage::status() const {
    return m_status->text();
}

void GetDataPage::enableRowsForMode(CompareMode mode) {
    for (QWidget* w : m_secondaryRow) {
        w->setEnabled(mode == CompareMode::SecondaryToPrimary);
    }
    for (QWidget* w : m_singleRow) {
        w->setEnabled(mode == CompareMode::SingleToPrimary);
    }
}
