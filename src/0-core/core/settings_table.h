// A settings class lists its properties once, in a table, and KST_SETTINGS builds the class's
// fields, getters, setters, Assign and PublishedProperties from it.
//
// A table is a macro taking two row macros, with one row per property in published order:
//   VALUE(Type, Name, Default, Normalise)  field FName = Default; GetName(); SetName(Value) stores
//       Normalise(Value) (AsGiven, or a clamp) and reports only a real change;
//   PART(Type, Name)  an owned settings object: GetName() gives it, SetName(Value) copies Value
//       into it, and its changes are reported as the owner's.
// Assign copies every row (a part through its own Assign) and reports one change. An owner that is
// a plain TPersistent reports nothing.
//
//   #define KST_RULER_SETTINGS(VALUE, PART) VALUE(bool, Edge, true, AsGiven) ...
//   class TEditorRuler : public TNotifyPersistent {
//       KST_SETTINGS(TEditorRuler, KST_RULER_SETTINGS)
//   };
#pragma once

#include "core/notify.h"
#include "core/settings_notify.h"

#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

namespace kst {

// What the setter of a T field takes and its getter returns.
template <class T>
struct TSettingAccess {
    using TArgument = T;
    using TResult = T;
};

template <>
struct TSettingAccess<std::string> {
    using TArgument = std::string_view;
    using TResult = const std::string&;
};

// The normaliser of a setter that stores what it is given.
template <class T>
constexpr const T& AsGiven(const T& Value) {
    return Value;
}

template <class T>
constexpr bool IsSettingPart = std::is_base_of_v<TPersistent, T>;

// One row of a table: the published name and the field of TOwner that holds the property.
template <class TOwner, class T>
struct TSettingField {
    const char* Name;
    T TOwner::*Field;
};

template <class TFields, class F>
void ForEachSetting(const TFields& Fields, F&& Visit) {
    std::apply([&Visit](const auto&... Setting) { (Visit(Setting), ...); }, Fields);
}

// A part's changes are reported as Owner's.
template <class TOwner, class T>
void SubscribeToPart(TOwner& Owner, T& Field) {
    if constexpr (IsSettingPart<T>) {
        Field.OnChange = [&Owner](TPersistent* Sender) { Owner.SubObjectChanged(Sender); };
    }
}

template <class T>
void CopySetting(T& Field, const T& Source) {
    if constexpr (IsSettingPart<T>) {
        Field.Assign(Source);
    } else {
        Field = Source;
    }
}

template <class T>
TPropInfo PublishedSetting(const char* Name, T& Field) {
    if constexpr (IsSettingPart<T>) {
        return {Name, TPropertyKind::Class, &Field};
    } else if constexpr (std::is_same_v<T, bool>) {
        return {Name, TPropertyKind::Boolean};
    } else if constexpr (std::is_same_v<T, std::string>) {
        return {Name, TPropertyKind::String};
    } else {
        return {Name, TPropertyKind::Integer};
    }
}

template <class TOwner, class TFields>
void SubscribeToParts(TOwner& Owner, const TFields& Fields) {
    ForEachSetting(Fields,
                   [&Owner](const auto& Setting) { SubscribeToPart(Owner, Owner.*Setting.Field); });
}

template <class TOwner, class TFields>
void CopySettings(TOwner& Target, const TOwner& Source, const TFields& Fields) {
    ChangeReportedOnce(Target, [&Target, &Source, &Fields] {
        ForEachSetting(Fields, [&Target, &Source](const auto& Setting) {
            CopySetting(Target.*Setting.Field, Source.*Setting.Field);
        });
    });
}

template <class TOwner, class TFields>
std::vector<TPropInfo> PublishedSettings(TOwner& Owner, const TFields& Fields) {
    std::vector<TPropInfo> properties;
    ForEachSetting(Fields, [&Owner, &properties](const auto& Setting) {
        properties.push_back(PublishedSetting(Setting.Name, Owner.*Setting.Field));
    });
    return properties;
}

} // namespace kst

#define KST_SETTING_ROW(Type, Name, Default, Normalise)                                            \
    TSettingField<TSettingsOwner, Type>{#Name, &TSettingsOwner::F##Name},
#define KST_SETTING_PART_ROW(Type, Name)                                                           \
    TSettingField<TSettingsOwner, Type>{#Name, &TSettingsOwner::F##Name},

#define KST_SETTING_ACCESSORS(Type, Name, Default, Normalise)                                      \
    TSettingAccess<Type>::TResult Get##Name() const {                                              \
        return F##Name;                                                                            \
    }                                                                                              \
    void Set##Name(TSettingAccess<Type>::TArgument Value) {                                        \
        StoreSetting(*this, F##Name, Normalise(Value));                                            \
    }
#define KST_SETTING_PART_ACCESSORS(Type, Name)                                                     \
    Type& Get##Name() {                                                                            \
        return F##Name;                                                                            \
    }                                                                                              \
    const Type& Get##Name() const {                                                                \
        return F##Name;                                                                            \
    }                                                                                              \
    void Set##Name(const Type& Value) {                                                            \
        F##Name.Assign(Value);                                                                     \
    }

#define KST_SETTING_FIELD(Type, Name, Default, Normalise) Type F##Name{Default};
#define KST_SETTING_PART_FIELD(Type, Name) Type F##Name;

// Declares, in the body of Class, its ClassName, a constructor that subscribes to the parts,
// Assign, PublishedProperties, the accessors (public) and the fields (private) of the rows of
// Table.
#define KST_SETTINGS(Class, Table)                                                                 \
private:                                                                                           \
    using TSettingsOwner = Class;                                                                  \
    static constexpr auto Settings() {                                                             \
        return std::tuple{Table(KST_SETTING_ROW, KST_SETTING_PART_ROW)};                           \
    }                                                                                              \
                                                                                                   \
public:                                                                                            \
    Class() {                                                                                      \
        SubscribeToParts(*this, Settings());                                                       \
    }                                                                                              \
    const char* ClassName() const override {                                                       \
        return #Class;                                                                             \
    }                                                                                              \
    void Assign(const TPersistent& Source) override {                                              \
        const auto* other = dynamic_cast<const Class*>(&Source);                                   \
        if (other == nullptr) {                                                                    \
            AssignError(Source);                                                                   \
        }                                                                                          \
        CopySettings(*this, *other, Settings());                                                   \
    }                                                                                              \
    std::vector<TPropInfo> PublishedProperties() override {                                        \
        return PublishedSettings(*this, Settings());                                               \
    }                                                                                              \
    Table(KST_SETTING_ACCESSORS, KST_SETTING_PART_ACCESSORS)                                       \
                                                                                                   \
        private : Table(KST_SETTING_FIELD, KST_SETTING_PART_FIELD)
