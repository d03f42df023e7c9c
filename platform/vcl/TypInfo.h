// Class and property tables: how a form description's names reach C++ objects.
//
// Each class that descriptions may name has one ClassInfo: its name, its parent's ClassInfo,
// how to create it (null for abstract classes) and its properties. A property is either a
// value (set from one description value) or a sub-object (Font, Picture, Constraints) whose
// own class holds the next part of a dotted name such as Font.Height.
//
// Setters receive the value and a LoadContext; a value of the wrong kind, an unknown
// enumeration name or an unknown handler is reported with ctx.Fail(), which throws
// EReadError naming the description, the line, the object and the property.
#pragma once

#include "vcl/Classes.h"
#include "vcl/dfm/Dfm.h"

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <strings.h>
#include <typeindex>
#include <utility>

class TComponent;

namespace vcl {

class PublishedTable;
struct LoadContext;

using PropertySetter =
    std::function<void(TPersistent& self, const dfm::Value& value, LoadContext& ctx)>;
using SubObjectGetter = std::function<TPersistent*(TPersistent& self)>;

struct PropertyInfo {
    String name;
    PropertySetter set;    // a value property
    SubObjectGetter child; // or a sub-object property
};

class ClassInfo {
public:
    using Factory = std::function<TComponent*(TComponent* owner)>;
    ClassInfo(String name, const ClassInfo* parent, Factory create,
              std::vector<PropertyInfo> properties);

    const String& Name() const { return m_name; }
    const ClassInfo* Parent() const { return m_parent; }
    bool InheritsFrom(const ClassInfo& other) const;
    bool CanCreate() const { return static_cast<bool>(m_create); }
    TComponent* Create(TComponent* owner) const { return m_create(owner); }
    // Looks the name up here and in the parents, without regard to case.
    const PropertyInfo* FindProperty(std::string_view name) const;

private:
    String m_name;
    const ClassInfo* m_parent;
    Factory m_create;
    std::vector<PropertyInfo> m_properties;
};

// Classes the loader may create by name. Published tables register their members' classes.
void RegisterClass(const ClassInfo& info);
const ClassInfo* FindClass(std::string_view name);

template <class T> ClassInfo::Factory FactoryOf() {
    return [](TComponent* owner) -> TComponent* { return new T(owner); };
}

// What the loader knows while reading one description.
struct LoadContext {
    String source; // the description's name, e.g. "TFMMAIN"
    TComponent* root = nullptr;
    const PublishedTable* published = nullptr;
    const dfm::Object* object = nullptr;     // the object being read
    const dfm::Property* property = nullptr; // the property being set
    std::vector<String> usedHandlers;

    [[noreturn]] void Fail(const String& what) const;
    [[noreturn]] void Fail(int line, const String& what) const;
    // The published handler `name` of the root, as an event of type E.
    template <class E> E Handler(const dfm::Value& value);

private:
    std::any FindHandler(const String& name, std::type_index kind);
};

// Reading values; each fails with a clear message when the value is of another kind.
std::int64_t ReadInt(const dfm::Value& v, LoadContext& ctx);
bool ReadBool(const dfm::Value& v, LoadContext& ctx);
String ReadString(const dfm::Value& v, LoadContext& ctx);
String ReadIdent(const dfm::Value& v, LoadContext& ctx);
int ReadEnum(const dfm::Value& v, LoadContext& ctx,
             std::initializer_list<std::pair<const char*, int>> names);
unsigned ReadSet(const dfm::Value& v, LoadContext& ctx,
                 std::initializer_list<std::pair<const char*, unsigned>> names);

// Sets each property of a list (an object's or a collection item's) on `target`, following
// dotted names into sub-objects.
void SetProperties(TPersistent& target, const std::vector<dfm::Property>& properties,
                   LoadContext& ctx);

// Property builders for class tables.
namespace prop {

template <class T, class V> PropertyInfo Int(const char* name, void (T::*setter)(V)) {
    return {name,
            [setter](TPersistent& self, const dfm::Value& v, LoadContext& ctx) {
                (static_cast<T&>(self).*setter)(static_cast<V>(ReadInt(v, ctx)));
            },
            {}};
}

template <class T> PropertyInfo Bool(const char* name, void (T::*setter)(bool)) {
    return {name,
            [setter](TPersistent& self, const dfm::Value& v, LoadContext& ctx) {
                (static_cast<T&>(self).*setter)(ReadBool(v, ctx));
            },
            {}};
}

template <class T> PropertyInfo Str(const char* name, void (T::*setter)(const String&)) {
    return {name,
            [setter](TPersistent& self, const dfm::Value& v, LoadContext& ctx) {
                (static_cast<T&>(self).*setter)(ReadString(v, ctx));
            },
            {}};
}

template <class T, class E>
PropertyInfo Enum(const char* name, void (T::*setter)(E),
                  std::initializer_list<std::pair<const char*, E>> names) {
    std::vector<std::pair<const char*, E>> table(names);
    return {name,
            [setter, table](TPersistent& self, const dfm::Value& v, LoadContext& ctx) {
                const String ident = ReadIdent(v, ctx);
                for (const auto& [n, e] : table)
                    if (strcasecmp(n, ident.c_str()) == 0) {
                        (static_cast<T&>(self).*setter)(e);
                        return;
                    }
                ctx.Fail(v.line, "'" + ident + "' is not a valid value");
            },
            {}};
}

template <class T, class Sub> PropertyInfo Object(const char* name, Sub* (T::*getter)()) {
    return {name, {}, [getter](TPersistent& self) -> TPersistent* {
                return (static_cast<T&>(self).*getter)();
            }};
}

// An event property bound to a published handler of the form being loaded.
template <class T, class E> PropertyInfo Event(const char* name, E T::*member) {
    return {name,
            [member](TPersistent& self, const dfm::Value& v, LoadContext& ctx) {
                static_cast<T&>(self).*member = ctx.template Handler<E>(v);
            },
            {}};
}

// A property accepted and deliberately not used; `why` documents the decision.
PropertyInfo Ignored(const char* name, const char* why);

// A property set by a free function, for anything the builders above do not cover.
template <class T>
PropertyInfo Custom(const char* name,
                    std::function<void(T&, const dfm::Value&, LoadContext&)> set) {
    return {name,
            [set](TPersistent& self, const dfm::Value& v, LoadContext& ctx) {
                set(static_cast<T&>(self), v, ctx);
            },
            {}};
}

} // namespace prop

// A form's published members and handlers, written once per form class.
class PublishedTable {
public:
    struct Field {
        String name;
        const ClassInfo* type;
        std::function<bool(TComponent* root, TComponent* value)> assign; // false: wrong type
    };
    struct Method {
        String name;
        std::type_index kind;
        std::function<std::any(TComponent* root)> bind;
    };

    PublishedTable(String className, std::vector<Field> fields, std::vector<Method> methods);
    const String& ClassName() const { return m_className; }
    const std::vector<Field>& Fields() const { return m_fields; }
    const std::vector<Method>& Methods() const { return m_methods; }
    const Field* FindField(std::string_view name) const;
    const Method* FindMethod(std::string_view name) const;

private:
    String m_className;
    std::vector<Field> m_fields;
    std::vector<Method> m_methods;
};

template <class Form, class C> PublishedTable::Field Field(const char* name, C* Form::*member) {
    RegisterClass(C::StaticClassInfo());
    return {name, &C::StaticClassInfo(), [member](TComponent* root, TComponent* value) {
                C* typed = dynamic_cast<C*>(value);
                if (!typed) return false;
                static_cast<Form*>(root)->*member = typed;
                return true;
            }};
}

template <class Form, class... Args>
PublishedTable::Method Method(const char* name, void (Form::*method)(Args...)) {
    using Event = std::function<void(Args...)>;
    return {name, std::type_index(typeid(Event)), [method](TComponent* root) {
                Form* form = static_cast<Form*>(root);
                return std::any(Event([form, method](Args... args) {
                    (form->*method)(std::forward<Args>(args)...);
                }));
            }};
}

template <class E> E LoadContext::Handler(const dfm::Value& value) {
    if (value.kind != dfm::Value::Kind::Identifier)
        Fail(value.line, "expected the name of a handler");
    return std::any_cast<E>(FindHandler(value.text, std::type_index(typeid(E))));
}

} // namespace vcl
