#include "qsettings_store.h"

#include <QByteArray>
#include <QFileInfo>
#include <limits>

namespace {
QString fullName(const std::string& key, const std::string& name) {
    return QString::fromStdString(key) + '/' + QString::fromStdString(name);
}
}  // namespace

QSettingsStore::QSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             "Velmora", "Twinly")) {}

QSettingsStore::QSettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

bool QSettingsStore::openKey(const std::string&) {
    // Groups exist implicitly; what can fail is the store itself.
    return m_settings->status() != QSettings::AccessError;
}

QVariant QSettingsStore::value(const std::string& key, const std::string& name) const {
    return m_settings->value(fullName(key, name));
}

std::optional<std::string> QSettingsStore::readString(const std::string& key,
                                                      const std::string& name) {
    const QVariant v = value(key, name);
    if (!v.isValid() || v.typeId() == QMetaType::QByteArray) {
        return std::nullopt;
    }
    if (v.typeId() == QMetaType::QStringList) {
        // INI files turn a value with commas into a list; join it back.
        return v.toStringList().join(", ").toStdString();
    }
    if (!v.canConvert<QString>()) {
        return std::nullopt;
    }
    return v.toString().toStdString();
}

std::optional<std::int32_t> QSettingsStore::readNumber(const std::string& key,
                                                       const std::string& name) {
    const QVariant v = value(key, name);
    if (!v.isValid()) {
        return std::nullopt;
    }
    bool ok = false;
    const qlonglong n = v.typeId() == QMetaType::QString ? v.toString().trimmed().toLongLong(&ok)
                                                         : v.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<std::int32_t>::min() ||
        n > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(n);
}

std::optional<std::vector<std::uint8_t>> QSettingsStore::readBinary(const std::string& key,
                                                                    const std::string& name) {
    const QVariant v = value(key, name);
    if (!v.isValid() || v.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    const QByteArray bytes = v.toByteArray();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool QSettingsStore::write(const std::string& key, const std::string& name, const QVariant& value) {
    if (m_settings->status() == QSettings::AccessError || !m_settings->isWritable()) {
        return false;
    }
    m_settings->setValue(fullName(key, name), value);
    return true;
}

bool QSettingsStore::writeString(const std::string& key, const std::string& name,
                                 const std::string& value) {
    return write(key, name, QString::fromStdString(value));
}

bool QSettingsStore::writeNumber(const std::string& key, const std::string& name,
                                 std::int32_t value) {
    return write(key, name, value);
}

bool QSettingsStore::writeBinary(const std::string& key, const std::string& name,
                                 const std::vector<std::uint8_t>& value) {
    return write(key, name,
                 QByteArray(reinterpret_cast<const char*>(value.data()),
                            static_cast<qsizetype>(value.size())));
}

bool QSettingsStore::flush() {
    m_settings->sync();
    // A FormatError left over from reading a damaged file stays set after a
    // good write; only an access error means the write failed.
    return m_settings->status() != QSettings::AccessError;
}
