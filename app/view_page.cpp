#include "view_page.h"

#include <QLabel>
#include <QListView>
#include <QPushButton>

#include "placement.h"

ViewPage::ViewPage(QWidget* parent) : QWidget(parent) {
    m_title = PlaceControl<QLabel>(this, 1055, QRect(14, 8, 440, 22), QString());
    PlaceControl<QPushButton>(this, 1106, QRect(466, 4, 74, 28), "First");
    PlaceControl<QPushButton>(this, 1107, QRect(546, 4, 74, 28), "Last");
    m_logView = PlaceControl<QListView>(this, 1043, QRect(14, 36, 606, 222));
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
