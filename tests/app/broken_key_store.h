#pragma once

#include <string>

#include "key_value_store.h"

// A store whose named key can be neither created nor opened.
class BrokenKeyStore : public KeyValueStore {
  public:
    BrokenKeyStore(KeyValueStore& inner, std::string broken)
        : m_inner(inner), m_broken(std::move(broken)) {}
    bool openKey(const std::string& key) override {
        return key != m_broken && m_inner.openKey(key);
    }
    std::optional<std::string> readString(const std::string& k, const std::string& n) override {
        return m_inner.readString(k, n);
    }
    std::optional<std::int32_t> readNumber(const std::string& k, const std::string& n) override {
        return m_inner.readNumber(k, n);
    }
    std::optional<std::vector<std::uint8_t>> readBinary(const std::string& k,
                                                        const std::string& n) override {
        return m_inner.readBinary(k, n);
    }
    bool writeString(const std::string& k, const std::string& n, const std::string& v) override {
        return m_inner.writeString(k, n, v);
    }
    bool writeNumber(const std::string& k, const std::string& n, std::int32_t v) override {
        return m_inner.writeNumber(k, n, v);
    }
    bool writeBinary(const std::string& k, const std::string& n,
                     const std::vector<std::uint8_t>& v) override {
        return m_inner.writeBinary(k, n, v);
    }
    bool flush() override { return m_inner.flush(); }

  private:
    KeyValueStore& m_inner;
    std::string m_broken;
};
