#include "view_page.h"

#include <QLabel>
#include <QListView>
#include <QPushButton>

#include "main_ids.h"
#include "placement.h"

ViewPage::ViewPage(QWidget* parent) : QWidget(parent) {
    m_title = PlaceControl<QLabel>(this, MainId::ViewTitle, QRect(14, 8, 350, 22), QString());
    PlaceControl<QPushButton>(this, MainId::PairOverview, QRect(368, 4, 92, 28), "Overview...");
    PlaceControl<QPushButton>(this, MainId::First, QRect(466, 4, 74, 28), "First");
    PlaceControl<QPushButton>(this, MainId::Last, QRect(546, 4, 74, 28), "Last");
    m_logView = PlaceControl<QListView>(this, MainId::LogView, QRect(14, 36, 606, 222));
    m_logView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_logView->setUniformItemSizes(true);
    m_logView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_logView->setContextMenuPolicy(Qt::CustomContextMenu);
}

void ViewPage::setTitle(const QString& text) {
    m_title->setText(text);
}

QString ViewPage::title() const {
    return m_title->text();
}
