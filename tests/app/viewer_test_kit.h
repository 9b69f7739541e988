#pragma once
// A main window over a temporary folder with real file operations, a dups
// log written by the test, and the helpers the viewer's window tests share.

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "desktop.h"
#include "file_ops.h"
#include "main_ids.h"
#include "qsettings_store.h"
#include "scripted_prompter.h"
#include "test_images.h"
#include "window_test_kit.h"

/// A temporary folder holding the settings, the log folder and the images.
class ViewerFixture {
  public:
    ViewerFixture() : m_store(m_dir.filePath("settings.ini")) {
        m_store.writeString("Dups", "First", "Second");
        m_store.writeString("1.0", "LogPath", path("logs").toStdString());
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QSettingsStore& store() { return m_store; }
    ScriptedPrompter& prompter() { return m_prompter; }
    RecordingDesktop& desktop() { return m_desktop; }

    std::unique_ptr<CMainDlg> makeDlg() {
        auto dlg = std::make_unique<CMainDlg>(MainDlgServices{.store = m_store,
                                                              .prompter = m_prompter,
                                                              .fileOps = m_fileOps,
                                                              .desktop = m_desktop,
                                                              .dataFolder = path("data"),
                                                              .seedLogFile = QString()});
        dlg->show();
        return dlg;
    }

    /// A small JPEG of `w` x `h` pixels; returns its path.
    QString image(const QString& name, int w, int h) {
        const QString file = path(name);
        if (!WriteImage(GradientImage(w, h, Qt::red, Qt::blue), file.toStdString(), "JPG")) {
            qFatal("cannot write %s", qPrintable(file));
        }
        return file;
    }

    /// Dups.log in the log folder with one pair per entry (image 1, image 2).
    void writeLog(const std::vector<std::pair<QString, QString>>& pairs) {
        QStringList lines = {"DUPS", "; --- Duplicates Info -- recording stops at 1000 pairs --",
                             "; test run", QStringLiteral("; Match total: %1").arg(pairs.size()),
                             "-- Matches --"};
        int n = 0;
        for (const auto& [left, right] : pairs) {
            lines << QStringLiteral("; Match no: %1").arg(++n) << "Image 1 path: " + left
                  << "Image 2 path: " + right << "; % matching: 99.0"
                  << "; -------";
        }
        lines << ";"
              << "END";
        QDir().mkpath(path("logs"));
        QFile out(path("logs/Dups.log"));
        if (!out.open(QIODevice::WriteOnly)) {
            qFatal("cannot write the log");
        }
        out.write((lines.join("\r\n") + "\r\n").toUtf8());
    }

    /// The file's MD5 sum; empty when it cannot be read.
    static QByteArray md5(const QString& file) {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QCryptographicHash::hash(in.readAll(), QCryptographicHash::Md5);
    }

    static void clickTab(CMainDlg& dlg, int page) {
        QTabBar* bar = control<QTabWidget>(&dlg, MainId::Tabs)->findChild<QTabBar*>();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }

  private:
    QTemporaryDir m_dir;
    QSettingsStore m_store;
    ScriptedPrompter m_prompter;
    QtFileOps m_fileOps;
    RecordingDesktop m_desktop;
};
