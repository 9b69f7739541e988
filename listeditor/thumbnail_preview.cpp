#include "thumbnail_preview.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <new>

#include "imaging.h"
#include "preview_pane.h"
#include "upright_decode.h"
#include "wait_cursor.h"

namespace {
// Metafiles are drawn for this target square; the preview is small.
constexpr std::uint32_t kMetafileSide = 100;
}  // namespace

ThumbnailPreview::ThumbnailPreview(PreviewPane* pane, QLineEdit* sizeLabel,
                                   QString instructionPicture, QObject* parent)
    : QObject(parent),
      m_pane(pane),
      m_sizeLabel(sizeLabel),
      m_instructionPicture(std::move(instructionPicture)) {
    connect(m_pane, &PreviewPane::resized, this, &ThumbnailPreview::refit);
}

bool ThumbnailPreview::load(const std::string& path) {
    WaitCursor wait;
    RgbBuffer image;
    // Upright as its orientation tag says: the label and the full-screen view
    // then give the size as shown.
    if (DecodeUprightBySniffing(path, image, kMetafileSide) != 0 || image.empty()) {
        return false;
    }
    m_source = std::move(image);
    m_sizeLabel->setText(QStringLiteral("%1 x %2").arg(m_source.width).arg(m_source.height));
    m_placeholder = false;
    refit();
    return true;
}

void ThumbnailPreview::showInstructionPicture() {
    if (m_placeholder || m_instructionPicture.isEmpty()) {
        return;
    }
    RgbBuffer image;
    if (DecodeImageBySniffing(m_instructionPicture.toStdString(), image, kMetafileSide) != 0 ||
        image.empty()) {
        return;
    }
    m_source = std::move(image);
    m_sizeLabel->clear();
    m_placeholder = true;
    refit();
}

void ThumbnailPreview::clear() {
    m_placeholder = false;
    m_sizeLabel->clear();
    m_source.release();
    m_pane->setImage({});
}

void ThumbnailPreview::refit() {
    if (m_source.empty()) {
        return;
    }
    const QSize size = FitToPane(
        QSize(static_cast<int>(m_source.width), static_cast<int>(m_source.height)), m_pane->size());
    RgbBuffer fitted;
    try {
        if (!ResizeImage(m_source, fitted, static_cast<std::uint32_t>(size.width()),
                         static_cast<std::uint32_t>(size.height()), ResizeMode::Fallback)) {
            fitted.release();
        }
    } catch (const std::bad_alloc&) {
        fitted.release();
    }
    m_pane->setImage(std::move(fitted));
}
