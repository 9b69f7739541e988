#pragma once

#include <QWidget>

#include "find_modes.h"

class QLabel;
class QPushButton;

/// Page "Get data": the primary, secondary and single-image rows and the status line 1025.
class GetDataPage : public QWidget {
    Q_OBJECT
  public:
    explicit GetDataPage(QWidget* parent = nullptr);

    void setPrimary(const QString& label, const QString& file);
    void setSecondary(const QString& label, const QString& file);
    void setSingle(const QString& label, const QString& file);
    void setStatus(const QString& text);
    QString status() const;
    /// The primary row always; the secondary or the single row when the mode compares it.
    void enableRowsForMode(CompareMode mode);

  private:
    QLabel* m_primaryLabel;
    QLabel* m_primaryFile;
    QLabel* m_secondaryLabel;
    QLabel* m_secondaryFile;
    QLabel* m_singleLabel;
    QLabel* m_singleFile;
    QLabel* m_status;
    QWidget* m_secondaryRow[4];
    QWidget* m_singleRow[3];
};
