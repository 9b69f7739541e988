#pragma once

#include <QWidget>

#include "find_modes.h"

class QRadioButton;

/// Page "Method": the comparison mode radio group (1079..1081).
class MethodPage : public QWidget {
    Q_OBJECT
  public:
    explicit MethodPage(QWidget* parent = nullptr);

    CompareMode compareMode() const;
    void setCompareMode(CompareMode mode);
    void setModeButtonsEnabled(bool enable);

  signals:
    /// The user chose a mode.
    void compareModeChanged(CompareMode mode);

  private:
    QRadioButton* m_modes[3];
};
