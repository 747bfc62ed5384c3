#include "settings/GameSettingItem.h"

#include "engine/PimAssert.h"

#include <bit>
#include <cmath>
#include <type_traits>

namespace
{
// The 64-bit value slot holds Bool as 0 or 1, Int and Int64 as a signed 64-bit number,
// UInt and UInt64 as an unsigned one and Float and Double as the bits of a double.
template <typename T>
std::uint64_t Encode(T newValue)
{
    if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>)
        return std::bit_cast<std::uint64_t>(static_cast<double>(newValue));
    else if constexpr (std::is_signed_v<T>)
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(newValue));
    else
        return static_cast<std::uint64_t>(newValue);
}

double AsDouble(std::uint64_t slot) { return std::bit_cast<double>(slot); }
std::int64_t AsSigned(std::uint64_t slot) { return static_cast<std::int64_t>(slot); }

template <typename Number>
Number Clamp(Number number, Number low, Number high)
{
    if (number < low)
        return low;
    if (number > high)
        return high;
    return number;
}

// Clamps a slot into [low, high] compared as the type's kind of number. A Float keeps float
// precision, so a clamped Float holds its bound narrowed to float. A NaN counts as below the
// range: a ranged value always ends up inside it.
void ClampSlot(std::uint64_t& slot, SettingType domain, std::uint64_t low, std::uint64_t high)
{
    switch (domain)
    {
    case SettingType::Int:
    case SettingType::Int64:
        slot = Encode(Clamp(AsSigned(slot), AsSigned(low), AsSigned(high)));
        break;
    case SettingType::UInt:
    case SettingType::UInt64:
        slot = Clamp(slot, low, high);
        break;
    case SettingType::Float:
    case SettingType::Double:
    {
        const double number = AsDouble(slot);
        if (std::isnan(number))
            slot = low;
        else if (number < AsDouble(low) || number > AsDouble(high))
            slot = Encode(Clamp(number, AsDouble(low), AsDouble(high)));
        if (domain == SettingType::Float)
            slot = Encode(static_cast<float>(AsDouble(slot)));
        break;
    }
    default:
        break;
    }
}

bool SlotsDiffer(std::uint64_t a, std::uint64_t b, SettingType domain)
{
    if (domain == SettingType::Float || domain == SettingType::Double)
        return !(AsDouble(a) == AsDouble(b));
    return a != b;
}

bool IsScalar(SettingType type)
{
    return type >= SettingType::Int && type <= SettingType::Double;
}

// Cuts UTF-8 text after maxCharacters characters (continuation bytes are not counted), so
// the text stays well-formed.
void CutToLength(PimString& text, std::uint32_t maxCharacters)
{
    std::uint32_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == maxCharacters)
        {
            text.resize(i);
            return;
        }
    }
}

void CutToLength(PimWString& text, std::uint32_t maxCharacters)
{
    if (text.size() > maxCharacters)
        text.resize(maxCharacters);
}
}

template <typename T>
void GameSettingItem::SetScalar(T newValue, SettingType setterType, ValueUse use)
{
    switch (use)
    {
    case ValueUse::Current:
    {
        TypeCheck(setterType);
        std::uint64_t slot = Encode(newValue);
        if (rangeSet)
            ClampSlot(slot, setterType, rangeMin, rangeMax);
        if (SlotsDiffer(slot, value, setterType))
        {
            value = slot;
            changed = true;
        }
        type = setterType;
        break;
    }
    case ValueUse::Default:
        defaultValue = Encode(newValue);
        defaultType = setterType;
        break;
    case ValueUse::Max:
        rangeMax = Encode(newValue);
        rangeSet = true;
        break;
    case ValueUse::Min:
        rangeMin = Encode(newValue);
        rangeSet = true;
        break;
    }
}

void GameSettingItem::SetBool(bool newValue, ValueUse use)
{
    const std::uint64_t slot = newValue ? 1 : 0;
    if (use == ValueUse::Current)
    {
        TypeCheck(SettingType::Bool);
        if (slot != value)
        {
            value = slot;
            changed = true;
        }
        type = SettingType::Bool;
    }
    else if (use == ValueUse::Default)
    {
        defaultValue = slot;
        defaultType = SettingType::Bool;
    }
    // A Bool has no range: the Max and Min uses store nothing.
}

void GameSettingItem::SetInt(std::int32_t newValue, ValueUse use) { SetScalar(newValue, SettingType::Int, use); }
void GameSettingItem::SetUInt(std::uint32_t newValue, ValueUse use) { SetScalar(newValue, SettingType::UInt, use); }
void GameSettingItem::SetInt64(std::int64_t newValue, ValueUse use) { SetScalar(newValue, SettingType::Int64, use); }
void GameSettingItem::SetUInt64(std::uint64_t newValue, ValueUse use) { SetScalar(newValue, SettingType::UInt64, use); }
void GameSettingItem::SetFloat(float newValue, ValueUse use) { SetScalar(newValue, SettingType::Float, use); }
void GameSettingItem::SetDouble(double newValue, ValueUse use) { SetScalar(newValue, SettingType::Double, use); }

void GameSettingItem::SetVector(const std::vector<GameSettingItem>& newChildren, ValueUse use)
{
    if (use == ValueUse::Default)
    {
        defaultChildren = newChildren;
        defaultType = SettingType::Vector;
        return;
    }
    if (use != ValueUse::Current)
    {
        rangeSet = false;
        PimAssert::Assert(false, "GameSettingItem::SetVector() - Set individual ranges in the vector to set vector "
                                 "range, using ValueUse::Default");
        return;
    }

    TypeCheck(SettingType::Vector);
    std::vector<GameSettingItem> corrected = newChildren;
    for (std::size_t i = 0; i < defaultChildren.size() && i < corrected.size(); ++i)
        RangeCheck(defaultChildren[i], corrected[i]);
    children = std::move(corrected);
    type = SettingType::Vector;

    for (GameSettingItem& child : children)
    {
        if (child.type == SettingType::Vector)
        {
            for (GameSettingItem& grandchild : child.children)
                child.changed = grandchild.IsChanged() || child.changed;
        }
        changed = changed || child.changed;
    }
}

template <typename Text>
void GameSettingItem::SetText(const Text& newText, SettingType setterType, ValueUse use, const char* rangeMessage)
{
    if (use == ValueUse::Default)
    {
        defaultText = newText;
        defaultType = setterType;
        return;
    }
    if (use != ValueUse::Current)
    {
        rangeSet = false;
        PimAssert::Assert(false, rangeMessage);
        return;
    }

    TypeCheck(setterType);
    Text stored = newText;
    if (rangeSet)
        CutToLength(stored, maxLength);
    type = setterType;
    if (const Text* held = std::get_if<Text>(&text); held != nullptr && *held == stored)
        return;
    text = std::move(stored);
    changed = true;
}

void GameSettingItem::SetString(const PimString& newText, ValueUse use)
{
    SetText(newText, SettingType::String, use, "GameSettingItem::SetString() - Use SetRangeString() to set string range");
}

void GameSettingItem::SetWString(const PimWString& newText, ValueUse use)
{
    SetText(newText, SettingType::WString, use,
            "GameSettingItem::SetWString() - Use SetRangeString() to set string range");
}

void GameSettingItem::SetVector3(const PimVector3& newValue, ValueUse use)
{
    switch (use)
    {
    case ValueUse::Current:
        TypeCheck(SettingType::Vector3);
        if (!(newValue == vector3))
        {
            vector3 = newValue;
            changed = true;
        }
        type = SettingType::Vector3;
        break;
    case ValueUse::Default:
        defaultVector3 = newValue;
        defaultType = SettingType::Vector3;
        break;
    case ValueUse::Max:
    case ValueUse::Min:
        rangeSet = false;
        PimAssert::Assert(false, "GameSettingItem::SetVector3() - Not supported");
        break;
    }
}

void GameSettingItem::SetRangeString(std::uint32_t length)
{
    maxLength = length;
    rangeSet = true;
}

bool GameSettingItem::GetBool() const
{
    TypeCheck(SettingType::Bool);
    return value != 0;
}

std::int32_t GameSettingItem::GetInt() const
{
    TypeCheck(SettingType::Int);
    return static_cast<std::int32_t>(AsSigned(value));
}

std::uint32_t GameSettingItem::GetUInt() const
{
    TypeCheck(SettingType::UInt);
    return static_cast<std::uint32_t>(value);
}

std::int64_t GameSettingItem::GetInt64() const
{
    TypeCheck(SettingType::Int64);
    return AsSigned(value);
}

std::uint64_t GameSettingItem::GetUInt64() const
{
    TypeCheck(SettingType::UInt64);
    return value;
}

float GameSettingItem::GetFloat() const
{
    TypeCheck(SettingType::Float);
    return static_cast<float>(AsDouble(value));
}

double GameSettingItem::GetDouble() const
{
    TypeCheck(SettingType::Double);
    return AsDouble(value);
}

std::vector<GameSettingItem> GameSettingItem::GetVector() const
{
    TypeCheck(SettingType::Vector);
    return children;
}

PimString GameSettingItem::GetString() const
{
    TypeCheck(SettingType::String);
    const PimString* held = std::get_if<PimString>(&text);
    return held != nullptr ? *held : PimString();
}

PimWString GameSettingItem::GetWString() const
{
    TypeCheck(SettingType::WString);
    const PimWString* held = std::get_if<PimWString>(&text);
    return held != nullptr ? *held : PimWString();
}

PimVector3 GameSettingItem::GetVector3() const
{
    TypeCheck(SettingType::Vector3);
    return vector3;
}

void GameSettingItem::TypeCheck(SettingType requested) const
{
    if (type == SettingType::Void)
        return;
    PimAssert::Assert(requested == type, "GameSettingItem::TypeCheck() - Attempting to change type of GameSettingsItem");
}

void GameSettingItem::RangeCheck(const GameSettingItem& reference, GameSettingItem& item)
{
    PimAssert::Assert(item.type == reference.type || item.type == reference.defaultType,
                      "GameSettingItem::RangeCheck() - Items didn't match same type");

    // A default child that was never reset still names its kind through its default type.
    const SettingType kind = reference.type != SettingType::Void ? reference.type : reference.defaultType;
    if (kind == SettingType::Vector)
    {
        if (item.children.size() != reference.defaultChildren.size())
        {
            PimAssert::Assert(false, "GameSettingItem::RangeCheck() - Vector does not match defaults");
            return;
        }
        for (std::size_t i = 0; i < item.children.size(); ++i)
            RangeCheck(reference.defaultChildren[i], item.children[i]);
    }
    else if (kind == SettingType::String && reference.rangeSet)
    {
        if (PimString* held = std::get_if<PimString>(&item.text))
            CutToLength(*held, reference.maxLength);
    }
    else if (IsScalar(kind) && reference.rangeSet)
    {
        ClampSlot(item.value, kind, reference.rangeMin, reference.rangeMax);
    }
}

GameSettingItem& GameSettingItem::FindVectorItemByName(std::string_view childName)
{
    return FindItemByName(children, childName);
}

GameSettingItem& GameSettingItem::FindItemByName(std::vector<GameSettingItem>& items, std::string_view itemName)
{
    for (GameSettingItem& item : items)
    {
        if (item.name == itemName)
            return item;
    }
    PimAssert::Assert(false, "GameSettingItem::FindVectorItemByName() - No such field");
    static GameSettingItem sharedEmpty;
    sharedEmpty = GameSettingItem();
    return sharedEmpty;
}

const GameSettingItem& GameSettingItem::FindVectorItemByName(std::string_view childName) const
{
    return const_cast<GameSettingItem*>(this)->FindVectorItemByName(childName);
}

void GameSettingItem::ResetToDefault()
{
    value = defaultValue;
    type = defaultType;
    children = defaultChildren;
    vector3 = defaultVector3;
    text = std::monostate();
    if ((type == SettingType::String || type == SettingType::WString) && !std::holds_alternative<std::monostate>(defaultText))
        text = defaultText;
    for (GameSettingItem& child : children)
        child.ResetToDefault();
}

bool GameSettingItem::IsChanged()
{
    if (type == SettingType::Vector)
    {
        for (GameSettingItem& child : children)
            changed = child.IsChanged() || changed;
    }
    return changed;
}

void GameSettingItem::ClearChanged()
{
    changed = false;
    if (type == SettingType::Vector)
    {
        for (GameSettingItem& child : children)
            child.ClearChanged();
    }
}
