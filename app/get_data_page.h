#pragma once

#include <QWidget>

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
    /// Mode 0: only the primary row; mode 1: also the secondary row; mode 2: also the single row.
    void enableRowsForMode(int mode);

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
