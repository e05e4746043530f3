#pragma once

#include "app/String.h"

#include <cstdint>
#include <vector>

// A fixed-size table of (name, score) entries, best first, kept in a
// settings-format file as "NAME%d" and "SCORE%d" pairs.
class HighScoreList
{
  public:
    struct Entry
    {
        String name;
        int32_t score = 0;
    };

    HighScoreList() = default;
    HighScoreList(const HighScoreList&) = delete;
    HighScoreList& operator=(const HighScoreList&) = delete;
    virtual ~HighScoreList() = default;

    // Entries with empty names and score 0.
    void SetSize(int n);
    int GetCount() const { return static_cast<int>(entries.size()); }
    // Beats at least one entry; equalling the lowest is not enough.
    bool Qualifies(int score) const;
    void Insert(const String& name, int score);
    String GetName(int index) const;
    int GetScore(int index) const;
    // Entries missing from the file keep what they held; the path is kept
    // for Save. Nothing is written.
    void Load(const String& path);
    // Writes nothing for a table without entries or without a file.
    void Save();

    String file;

  private:
    std::vector<Entry> entries;
};
