#pragma once
// The per-user settings store: keys ("Dups", "1.0", ...) holding named values.
// Mirrors a registry: a key may be unavailable, a value may be missing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class KeyValueStore {
  public:
    virtual ~KeyValueStore() = default;

    /// Creates the key when missing. False when it can be neither created nor opened.
    virtual bool openKey(const std::string& key) = 0;

    /// A value of another type than asked for reads as missing.
    virtual std::optional<std::string> readString(const std::string& key,
                                                  const std::string& name) = 0;
    virtual std::optional<std::int32_t> readNumber(const std::string& key,
                                                   const std::string& name) = 0;
    virtual std::optional<std::vector<std::uint8_t>> readBinary(const std::string& key,
                                                                const std::string& name) = 0;

    virtual bool writeString(const std::string& key, const std::string& name,
                             const std::string& value) = 0;
    virtual bool writeNumber(const std::string& key, const std::string& name,
                             std::int32_t value) = 0;
    virtual bool writeBinary(const std::string& key, const std::string& name,
                             const std::vector<std::uint8_t>& value) = 0;

    /// Writes pending changes to permanent storage; false when that failed.
    virtual bool flush() = 0;
};
