#pragma once

#include "engine/PimString.h"
#include "engine/PimVector3.h"
#include "engine/PimWString.h"

#include <cstdint>
#include <variant>
#include <vector>

// What a setting item holds. The numbers are stored in nothing but memory; they name the
// kinds of value the settings files carry.
enum class SettingType : std::int32_t
{
    Void = 0,
    Bool = 1,
    Int = 2,
    UInt = 3,
    Int64 = 4,
    UInt64 = 5,
    Float = 6,
    Double = 7,
    Vector = 8,
    String = 9,
    WString = 10,
    Vector3 = 11,
};

// Which part of an item a setter writes.
enum class ValueUse : std::int32_t
{
    Current = 0,
    Default = 1,
    Max = 2,
    Min = 3,
};

// One persistent option: a named, typed value with its default, an optional range and a
// changed mark. A Vector item holds a list of child items (a location, a colour, a list of
// palettes); its default children also carry the ranges of the current children.
//
// Every setter of the current value clamps into the range, so a value never leaves it, and
// marks the item changed when the stored value differs. A setter of another type than the
// item holds is reported through PimAssert and then goes on, leaving the setter's type.
//
// No lock: items belong to the settings groups, used from the main thread.
class GameSettingItem
{
public:
    // Longest text a String or WString item holds once a range is set.
    static constexpr std::uint32_t DefaultMaxLength = 32767;

    GameSettingItem() = default;

    void SetBool(bool newValue, ValueUse use);
    void SetInt(std::int32_t newValue, ValueUse use);
    void SetUInt(std::uint32_t newValue, ValueUse use);
    void SetInt64(std::int64_t newValue, ValueUse use);
    void SetUInt64(std::uint64_t newValue, ValueUse use);
    void SetFloat(float newValue, ValueUse use);
    void SetDouble(double newValue, ValueUse use);
    void SetVector(const std::vector<GameSettingItem>& newChildren, ValueUse use);
    void SetString(const PimString& newText, ValueUse use);
    void SetWString(const PimWString& newText, ValueUse use);
    void SetVector3(const PimVector3& newValue, ValueUse use);
    // Longest text (in characters) of a String or WString item; turns the range on.
    void SetRangeString(std::uint32_t length);

    bool GetBool() const;
    std::int32_t GetInt() const;
    std::uint32_t GetUInt() const;
    std::int64_t GetInt64() const;
    std::uint64_t GetUInt64() const;
    float GetFloat() const;
    double GetDouble() const;
    std::vector<GameSettingItem> GetVector() const;
    PimString GetString() const;
    PimWString GetWString() const;
    PimVector3 GetVector3() const;

    // Reports a request for another type than the item holds; a new item accepts any type.
    void TypeCheck(SettingType requested) const;
    // Corrects item by the ranges that reference (a default child) holds.
    static void RangeCheck(const GameSettingItem& reference, GameSettingItem& item);

    // The first current child with exactly this name. When there is none the fault is
    // reported and a shared empty item is returned (never null); it is emptied again on every
    // such call, so a write to it has no lasting effect.
    GameSettingItem& FindVectorItemByName(std::string_view childName);
    const GameSettingItem& FindVectorItemByName(std::string_view childName) const;
    // The same search in a list of items, such as a copy obtained with GetVector.
    static GameSettingItem& FindItemByName(std::vector<GameSettingItem>& items, std::string_view itemName);

    // The current value becomes the default (children reset recursively); the changed mark
    // stays as it was.
    void ResetToDefault();

    // The changed mark; on a Vector item the children's marks rise into it first.
    bool IsChanged();
    // Clears the mark on the item and all its descendants.
    void ClearChanged();

    const PimString& GetName() const { return name; }
    void SetName(const PimString& newName) { name = newName; }
    SettingType GetType() const { return type; }
    SettingType GetDefaultType() const { return defaultType; }
    bool IsRangeSet() const { return rangeSet; }
    std::uint32_t GetMaxLength() const { return maxLength; }
    const std::vector<GameSettingItem>& GetChildren() const { return children; }
    std::vector<GameSettingItem>& GetChildren() { return children; }
    const std::vector<GameSettingItem>& GetDefaultChildren() const { return defaultChildren; }

private:
    // Text held by a String (narrow) or WString (wide) item; monostate when it holds none.
    using OwnedText = std::variant<std::monostate, PimString, PimWString>;

    template <typename T>
    void SetScalar(T newValue, SettingType setterType, ValueUse use);
    template <typename Text>
    void SetText(const Text& newText, SettingType setterType, ValueUse use, const char* rangeMessage);

    PimString name;
    std::uint64_t value = 0;
    SettingType type = SettingType::Void;
    std::vector<GameSettingItem> children;
    OwnedText text;
    OwnedText defaultText;
    PimVector3 vector3;
    bool changed = false;
    std::uint64_t defaultValue = 0;
    SettingType defaultType = SettingType::Void;
    std::vector<GameSettingItem> defaultChildren;
    PimVector3 defaultVector3;
    bool rangeSet = false;
    std::uint64_t rangeMin = 0;
    std::uint64_t rangeMax = 0;
    std::uint32_t maxLength = DefaultMaxLength;
};
