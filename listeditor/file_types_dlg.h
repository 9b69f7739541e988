#pragma once

#include <QDialog>

#include "list_entry.h"

class Desktop;

/// "Use image types" (dialog 104): one check box per image type switch.
/// OK hands all ten back; Cancel changes nothing. User-interface thread.
class CFileTypesDlg : public QDialog {
    Q_OBJECT
  public:
    CFileTypesDlg(const ImageTypeFilter& types, Desktop& desktop, QWidget* parent = nullptr);
    ImageTypeFilter types() const;

  private:
    Desktop& m_desktop;
};
