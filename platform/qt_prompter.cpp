#include "qt_prompter.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (desc.isEmpty() && patterns.isEmpty()) {
            break;
        }
        const qsizetype paren = desc.lastIndexOf('(');
        if (paren > 0 && desc.endsWith(')')) {
            desc = desc.left(paren).trimmed();
        }
        QStringList globs = patterns.split(';', Qt::SkipEmptyParts);
        for (QString& g : globs) {
            g = g.trimmed();
        }
        entries << QStringLiteral("%1 (%2)").arg(desc, globs.join(' '));
    }
    return entries.join(";;");
}

namespace {
QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QString startPath(const FileDialogSpec& spec) {
    QString name = q(spec.initialName);
    if (name.contains('*')) {
        name.clear();  // a pattern is a filter, not a name to propose
    }
    if (spec.initialFolder.empty()) {
        return name;
    }
    return QDir(q(spec.initialFolder)).filePath(name);
}

QFileDialog::Options options(const FileDialogSpec& spec) {
    QFileDialog::Options o;
    if (!spec.overwritePrompt) {
        o |= QFileDialog::DontConfirmOverwrite;
    }
    return o;
}

}  // namespace

PromptAnswer QtPrompter::message(const std::string& caption, const std::string& text,
                                 PromptButtons buttons, PromptIcon icon) {
    QMessageBox::StandardButtons qb;
    switch (buttons) {
        case PromptButtons::Ok:
            qb = QMessageBox::Ok;
            break;
        case PromptButtons::OkCancel:
            qb = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case PromptButtons::YesNo:
            qb = QMessageBox::Yes | QMessageBox::No;
            break;
        case PromptButtons::YesNoCancel:
            qb = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    QMessageBox::Icon qi = QMessageBox::NoIcon;
    switch (icon) {
        case PromptIcon::None:
            qi = QMessageBox::NoIcon;
            break;
        case PromptIcon::Information:
            qi = QMessageBox::Information;
            break;
        case PromptIcon::Warning:
            qi = QMessageBox::Warning;
            break;
        case PromptIcon::Error:
            qi = QMessageBox::Critical;
            break;
        case PromptIcon::Question:
            qi = QMessageBox::Question;
            break;
    }
    QMessageBox box(qi, caption.empty() ? QStringLiteral("Twinly") : q(caption), q(text), qb,
                    m_parent);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return PromptAnswer::Ok;
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        default:
            return PromptAnswer::Cancel;
    }
}

std::optional<std::string> QtPrompter::openFile(const FileDialogSpec& spec) {
    const QString path =
        QFileDialog::getOpenFileName(m_parent, q(spec.title), startPath(spec),
                                     QtFileFilter(spec.filter), nullptr, options(spec));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

std::vector<std::string> QtPrompter::openFiles(const FileDialogSpec& spec) {
    const QStringList paths =
        QFileDialog::getOpenFileNames(m_parent, q(spec.title), startPath(spec),
                                      QtFileFilter(spec.filter), nullptr, options(spec));
    std::vector<std::string> result;
    for (const QString& p : paths) {
        result.push_back(p.toStdString());
    }
    return result;
}

std::optional<std::string> QtPrompter::saveFile(const FileDialogSpec& spec) {
    const QString path =
        QFileDialog::getSaveFileName(m_parent, q(spec.title), startPath(spec),
                                     QtFileFilter(spec.filter), nullptr, options(spec));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

std::optional<std::string> QtPrompter::chooseFolder(const FolderDialogSpec& spec) {
    const QString folder =
        QFileDialog::getExistingDirectory(m_parent, q(spec.title), q(spec.initialFolder));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder.toStdString();
}
