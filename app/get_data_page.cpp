#include "get_data_page.h"

#include <QLabel>
#include <QPushButton>

#include "placement.h"

namespace {
QLabel* fileName(QWidget* parent, int id, int y) {
    auto* label = PlaceControl<QLabel>(parent, id, QRect(190, y, 430, 22), QString());
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}
}  // namespace

GetDataPage::GetDataPage(QWidget* parent) : QWidget(parent) {
    m_primaryLabel = PlaceControl<QLabel>(this, 1082, QRect(14, 12, 400, 20), QString());
    PlaceControl<QPushButton>(this, 1083, QRect(14, 36, 80, 28), "Open...");
    PlaceControl<QPushButton>(this, 1084, QRect(100, 36, 80, 28), "Build...");
    m_primaryFile = fileName(this, 1085, 39);

    m_secondaryLabel = PlaceControl<QLabel>(this, 1086, QRect(14, 78, 400, 20), QString());
    auto* secOpen = PlaceControl<QPushButton>(this, 1087, QRect(14, 102, 80, 28), "Open...");
    auto* secBuild = PlaceControl<QPushButton>(this, 1088, QRect(100, 102, 80, 28), "Build...");
    m_secondaryFile = fileName(this, 1089, 105);

    m_singleLabel = PlaceControl<QLabel>(this, 1096, QRect(14, 144, 400, 20), QString());
    auto* singleOpen = PlaceControl<QPushButton>(this, 1097, QRect(14, 168, 80, 28), "Open...");
    m_singleFile = fileName(this, 1099, 171);

    m_status = PlaceControl<QLabel>(this, 1025, QRect(14, 212, 606, 40), QString());
    m_status->setWordWrap(true);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_secondaryRow[0] = m_secondaryLabel;
    m_secondaryRow[1] = secOpen;
    m_secondaryRow[2] = secBuild;
    m_secondaryRow[3] = m_secondaryFile;
    m_singleRow[0] = m_singleLabel;
    m_singleRow[1] = singleOpen;
    m_singleRow[2] = m_singleFile;
}

void GetDataPage::setPrimary(const QString& label, const QString& file) {
    m_primaryLabel->setText(label);
    m_primaryFile->setText(file);
}

void GetDataPage::setSecondary(const QString& label, const QString& file) {
    m_secondaryLabel->setText(label);
    m_secondaryFile->setText(file);
}

void GetDataPage::setSingle(const QString& label, const QString& file) {
    m_singleLabel->setText(label);
    m_singleFile->setText(file);
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
