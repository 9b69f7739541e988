#include "desktop.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "app_paths.h"

namespace {
QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// The freedesktop file-manager interface; false when no file manager offers it.
bool callFileManager(const char* method, const QString& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1",
                                                       "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", method);
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
    return reply.type() == QDBusMessage::ReplyMessage;
}
}  // namespace

bool QtDesktop::openFile(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(q(path)));
}

bool QtDesktop::exploreFolder(const std::string& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(q(folder)));
}

bool QtDesktop::showProperties(const std::string& path) {
    if (callFileManager("ShowItemProperties", q(path)) || callFileManager("ShowItems", q(path))) {
        return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(q(path)).absolutePath()));
}

bool QtDesktop::openHelp(const std::string& topic) {
    const QString page = FindSharedFile("help/" + q(topic));
    if (page.isEmpty()) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

bool QtDesktop::startProcess(const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args) {
        list << q(a);
    }
    return QProcess::startDetached(q(program), list);
}

void QtDesktop::playAsterisk() {
    QApplication::beep();
}

bool RecordingDesktop::openFile(const std::string& path) {
    requests.push_back({"open", path, {}});
    return succeed;
}
bool RecordingDesktop::exploreFolder(const std::string& folder) {
    requests.push_back({"explore", folder, {}});
    return succeed;
}
bool RecordingDesktop::showProperties(const std::string& path) {
    requests.push_back({"properties", path, {}});
    return succeed;
}
bool RecordingDesktop::openHelp(const std::string& topic) {
    requests.push_back({"help", topic, {}});
    return succeed;
}
bool RecordingDesktop::startProcess(const std::string& program,
                                    const std::vector<std::string>& args) {
    requests.push_back({"start", program, args});
    return succeed;
}
void RecordingDesktop::playAsterisk() {
    requests.push_back({"beep", {}, {}});
}

int RecordingDesktop::count(const std::string& what) const {
    int n = 0;
    for (const Request& r : requests) {
        n += r.what == what ? 1 : 0;
    }
    return n;
}
