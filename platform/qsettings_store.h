#pragma once

#include <QSettings>
#include <memory>

#include "key_value_store.h"

/// KeyValueStore over QSettings. The default constructor uses the shared store
/// of both programs (organisation "Velmora", application "Twinly", native
/// format); the path constructor an INI file of the caller's (tests).
class QSettingsStore : public KeyValueStore {
  public:
    QSettingsStore();
    explicit QSettingsStore(const QString& iniPath);

    bool openKey(const std::string& key) override;
    std::optional<std::string> readString(const std::string& key, const std::string& name) override;
    std::optional<std::int32_t> readNumber(const std::string& key,
                                           const std::string& name) override;
    std::optional<std::vector<std::uint8_t>> readBinary(const std::string& key,
                                                        const std::string& name) override;
    bool writeString(const std::string& key, const std::string& name,
                     const std::string& value) override;
    bool writeNumber(const std::string& key, const std::string& name, std::int32_t value) override;
    bool writeBinary(const std::string& key, const std::string& name,
                     const std::vector<std::uint8_t>& value) override;
    bool flush() override;

    QString fileName() const { return m_settings->fileName(); }

  private:
    QVariant value(const std::string& key, const std::string& name) const;
    bool write(const std::string& key, const std::string& name, const QVariant& value);

    std::unique_ptr<QSettings> m_settings;
};
