#pragma once

#include <QWidget>

class QLabel;
class QListView;

/// Page "View dups", the part inside the tab: the pair caption 1055, "First"
/// and "Last", and the log view 1043 (a view over the match list's model).
class ViewPage : public QWidget {
    Q_OBJECT
  public:
    explicit ViewPage(QWidget* parent = nullptr);

    void setTitle(const QString& text);
    QString title() const;
    QListView* logView() const { return m_logView; }

  private:
    QLabel* m_title;
    QListView* m_logView;
};
