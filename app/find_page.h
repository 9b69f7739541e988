#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class UpDownControl;

/// Page "Find dups": the "Dup if within" band edits with their up-down
/// controls, the "Find dups" and "Setup..." buttons, the settings summary and
/// the hint shown while "Find dups" cannot run.
class FindPage : public QWidget {
    Q_OBJECT
  public:
    explicit FindPage(QWidget* parent = nullptr);

    QLineEdit* lowerEdit() const { return m_lower; }
    QLineEdit* upperEdit() const { return m_upper; }
    UpDownControl* lowerSpin() const { return m_lowerSpin; }
    UpDownControl* upperSpin() const { return m_upperSpin; }

    void setFindEnabled(bool enable);
    void setHintVisible(bool visible);
    void setSettingsText(const QString& text);

  private:
    void syncSpin(QLineEdit* edit, UpDownControl* spin);

    QLineEdit* m_lower;
    QLineEdit* m_upper;
    UpDownControl* m_lowerSpin;
    UpDownControl* m_upperSpin;
    QPushButton* m_find;
    QLabel* m_hint;
    QLabel* m_settings;
};
