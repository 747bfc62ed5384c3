#pragma once

#include "settings/GameSettingItem.h"

#include "engine/PimWString.h"
#include "engine/PimXMLWIndex.h"

#include <cstdint>
#include <string_view>
#include <vector>

// A group of setting items, each tagged with a 16-bit identifier unique in the group. List
// order is the order of definition and the order in which the items are written.
//
// The text form of a group is a concatenation of elements "<name>data</name>", one per item,
// with no separators; a Vector item's data is the elements of its children. Texts (String and
// WString items) are written with "<", ">" and "&" as "&lt;", "&gt;" and "&amp;", so no name
// or path can break the element structure; other text is written as it stands.
//
// No lock: the groups belong to the settings singleton, used from the main thread.
class SettingsHandler
{
public:
    struct Entry
    {
        GameSettingItem item;
        std::uint16_t id = 0;
    };

    SettingsHandler() = default;
    SettingsHandler(const SettingsHandler&) = default;
    SettingsHandler& operator=(const SettingsHandler&) = default;
    virtual ~SettingsHandler() = default;

    // Fills the list with the group's items, then ResetAll. Defining again starts afresh.
    virtual void DefineSettings() = 0;
    // Reads every entry from a settings text; an absent or empty element resets its item. True
    // when the text holds the element of at least one entry: a text with none is no settings text.
    bool ReadXml(std::wstring_view text);
    // The same from the part within of an indexed text.
    virtual bool ReadElements(const PimXMLWIndex& elements, PimXMLWIndex::Span within);
    // ResetToDefault on every entry in list order.
    virtual void ResetAll();

    // Appends a copy of the template named name with identifier id.
    void AddSetting(std::uint16_t id, const PimString& name, const GameSettingItem& itemTemplate);
    // The first entry with the identifier, or null.
    GameSettingItem* FindSetting(std::uint16_t id);
    const GameSettingItem* FindSetting(std::uint16_t id) const;

    // True when any entry changed since the last WriteXml.
    bool IsChanged();
    // The group's text; clears every entry's changed mark first.
    PimWString WriteXml();

    // The data of one item's element.
    static PimWString ToXml(const GameSettingItem& item);
    // Reads one item from the element named tag in within (see ReadXml); true when the element
    // is there. Text that is no value of the item's kind ("abc" or stray bytes for a number)
    // resets the item as an absent element does.
    static bool FromXml(GameSettingItem& item, std::string_view tag, const PimXMLWIndex& elements,
                        PimXMLWIndex::Span within);
    // The same from a whole text.
    static bool FromXml(GameSettingItem& item, std::string_view tag, std::wstring_view text);

    // The escaping of texts in element data, and its reverse. Unescape leaves any other
    // "&" sequence as it stands.
    static PimWString EscapeText(std::wstring_view text);
    static PimWString UnescapeText(std::wstring_view text);

    const std::vector<Entry>& GetEntries() const { return entries; }

protected:
    // Empties the list before a definition.
    void ClearSettings() { entries.clear(); }
    // The entry with the identifier. A missing one is reported and a shared empty item is
    // returned, so a typed accessor never dereferences null.
    GameSettingItem& Setting(std::uint16_t id);
    const GameSettingItem& Setting(std::uint16_t id) const;

private:
    // Reads an item from the data of its element (not empty).
    static void ReadValue(GameSettingItem& item, const PimXMLWIndex& elements, PimXMLWIndex::Span data);

    std::vector<Entry> entries;
};
