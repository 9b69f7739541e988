#include "status_lines.h"

#include <QLabel>

#include "get_data_page.h"

StatusLines::StatusLines(GetDataPage& page, QLabel& dataState, QLabel& detail, QLabel& counter,
                         QLabel& total)
    : m_page(page), m_dataState(dataState), m_detail(detail), m_counter(counter), m_total(total) {}

void StatusLines::setStatus(const QString& text) {
    m_page.setStatus(text);
}

QString StatusLines::status() const {
    return m_page.status();
}

void StatusLines::setDataState(const QString& text, bool show) {
    m_dataState.setText(text);
    if (show) {
        m_dataState.show();
    }
}

void StatusLines::hideDataState() {
    m_dataState.hide();
}

void StatusLines::setJobLine(JobLine line, const QString& text) {
    switch (line) {
        case JobLine::Detail:
            m_detail.setText(text);
            break;
        case JobLine::Counter:
            m_counter.setText(text);
            break;
        case JobLine::Total:
            m_total.setText(text);
            break;
    }
}

void StatusLines::clearJobLines() {
    for (JobLine line : {JobLine::Detail, JobLine::Counter, JobLine::Total}) {
        setJobLine(line, QString());
    }
}
