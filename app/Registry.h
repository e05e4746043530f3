#pragma once

#include "app/String.h"

#include <cstdint>
#include <memory>
#include <vector>

struct RegistryEntry
{
    String key;
    String value;
};

// The settings store: key/value text pairs kept in a plain text file, one
// line per entry ("key=value" and CR LF) in the order the keys were first
// set. Keys match without regard to case. Setting a key never saves; Clear
// and the destructor do.
class Registry
{
  public:
    Registry() = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;
    ~Registry();

    // XORs the whole file with the repeating key; null removes it.
    void SetKey(const char* key);
    // Saves and drops what the store held first. Reading stops at the first
    // empty line; lines without "=" are skipped.
    void Load(const String& path);
    // False only when the file could not be written.
    bool Save();
    void Clear();
    void SetNoSave(bool noSave) { this->noSave = noSave; }

    RegistryEntry* Find(const String& key);

    void SetString(const String& key, const String& text);
    void SetInt(const String& key, int32_t value);
    void SetFloat(const String& key, float value);
    void SetBool(const String& key, int value);
    void SetByteArray(const String& key, const int8_t* bytes, int count);

    String GetString(const String& key);
    int32_t GetInt(const String& key);
    bool GetBool(const String& key);
    // Stores at most "max" items and stops at the first empty item; the
    // rest of "bytes" is left as it was.
    void GetByteArray(const String& key, int8_t* bytes, int max);

  private:
    void Append(const String& key, const String& value);

    std::vector<std::unique_ptr<RegistryEntry>> entries;
    String file;
    std::string key;
    bool noSave = false;
};
