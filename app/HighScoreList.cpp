#include "app/HighScoreList.h"

#include "app/Registry.h"

namespace {
String NameKey(int index)
{
    return String::StringFormat("NAME%d", index);
}

String ScoreKey(int index)
{
    return String::StringFormat("SCORE%d", index);
}
} // namespace

void HighScoreList::SetSize(int n)
{
    entries.assign(static_cast<size_t>(n > 0 ? n : 0), Entry());
}

bool HighScoreList::Qualifies(int score) const
{
    for (const Entry& entry : entries) {
        if (score > entry.score)
            return true;
    }
    return false;
}

// Among equal scores the older entry keeps the higher place.
void HighScoreList::Insert(const String& name, int score)
{
    if (!Qualifies(score))
        return;
    size_t position = 0;
    while (entries[position].score >= score)
        ++position;
    entries.pop_back();
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(position), Entry{name, score});
}

String HighScoreList::GetName(int index) const
{
    if (index < 0 || index >= GetCount())
        return String();
    return entries[static_cast<size_t>(index)].name;
}

int HighScoreList::GetScore(int index) const
{
    if (index < 0 || index >= GetCount())
        return 0;
    return entries[static_cast<size_t>(index)].score;
}

// The entries are taken as the file has them, without sorting again.
void HighScoreList::Load(const String& path)
{
    file = path;
    // Only read: writing back what was read would leave an empty table
    // where none could be read.
    Registry registry;
    registry.SetNoSave(true);
    registry.Load(path);
    for (int i = 0; i < GetCount(); ++i) {
        Entry& entry = entries[static_cast<size_t>(i)];
        if (registry.Find(NameKey(i)) != nullptr)
            entry.name = registry.GetString(NameKey(i));
        if (registry.Find(ScoreKey(i)) != nullptr)
            entry.score = registry.GetInt(ScoreKey(i));
    }
}

// A table never loaded, or never sized, has nothing to keep.
void HighScoreList::Save()
{
    if (entries.empty() || file.IsEmpty())
        return;
    Registry registry;
    registry.Load(file);
    for (int i = 0; i < GetCount(); ++i) {
        const Entry& entry = entries[static_cast<size_t>(i)];
        registry.SetString(NameKey(i), entry.name);
        registry.SetInt(ScoreKey(i), entry.score);
    }
    registry.Clear();
}
