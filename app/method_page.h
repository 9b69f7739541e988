#pragma once

#include <QWidget>

class QRadioButton;

/// Page "Method": the comparison mode radio group (1079..1081).
class MethodPage : public QWidget {
    Q_OBJECT
  public:
    explicit MethodPage(QWidget* parent = nullptr);

    int compareMode() const;
    void setCompareMode(int mode);
    void setModeButtonsEnabled(bool enable);

  signals:
    /// The user chose a mode.
    void compareModeChanged(int mode);

  private:
    QRadioButton* m_modes[3];
};
