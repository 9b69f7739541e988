#pragma once

#include <QObject>
#include <QString>
#include <string>

#include "rgb_buffer.h"

class PreviewPane;
class QLineEdit;

/// The editor's preview: reads one listed image (format found from the
/// content, the extension as fallback), keeps its pixels turned upright as its
/// orientation tag says, and shows them
/// fitted in the pane with the size in the label (1022). User-interface thread.
class ThumbnailPreview : public QObject {
    Q_OBJECT
  public:
    ThumbnailPreview(PreviewPane* pane, QLineEdit* sizeLabel, QString instructionPicture,
                     QObject* parent = nullptr);

    /// Shows the image at `path`; false (and the preview as it was) when it
    /// cannot be read.
    bool load(const std::string& path);
    /// Shows the instruction picture unless it is already shown.
    void showInstructionPicture();
    void clear();
    /// Fits the source to the pane again (after the pane changed size).
    void refit();

    /// A listed image, not the instruction picture, is loaded.
    bool hasRealImage() const { return !m_source.empty() && !m_placeholder; }
    const RgbBuffer& source() const { return m_source; }

  private:
    PreviewPane* m_pane;
    QLineEdit* m_sizeLabel;
    QString m_instructionPicture;
    RgbBuffer m_source;
    bool m_placeholder = false;
};
