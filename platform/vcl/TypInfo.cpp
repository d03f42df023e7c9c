#include "vcl/TypInfo.h"

#include <map>
#include <strings.h>

namespace vcl {
namespace {

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::vector<const ClassInfo*>& Registry() {
    static std::vector<const ClassInfo*> classes;
    return classes;
}

const char* KindName(dfm::Value::Kind kind) {
    switch (kind) {
    case dfm::Value::Kind::Integer:
        return "a number";
    case dfm::Value::Kind::Float:
        return "a decimal number";
    case dfm::Value::Kind::String:
        return "a string";
    case dfm::Value::Kind::Identifier:
        return "a name";
    case dfm::Value::Kind::Set:
        return "a set";
    case dfm::Value::Kind::List:
        return "a list";
    case dfm::Value::Kind::Binary:
        return "binary data";
    case dfm::Value::Kind::Collection:
        return "a collection";
    }
    return "a value";
}

[[noreturn]] void WrongKind(const dfm::Value& v, LoadContext& ctx, const char* expected) {
    ctx.Fail(v.line, String("expected ") + expected + ", found " + KindName(v.kind));
}

} // namespace

ClassInfo::ClassInfo(String name, const ClassInfo* parent, Factory create,
                     std::vector<PropertyInfo> properties)
    : m_name(std::move(name)), m_parent(parent), m_create(std::move(create)),
      m_properties(std::move(properties)) {}

bool ClassInfo::InheritsFrom(const ClassInfo& other) const {
    for (const ClassInfo* c = this; c; c = c->m_parent)
        if (c == &other) return true;
    return false;
}

const PropertyInfo* ClassInfo::FindProperty(std::string_view name) const {
    for (const ClassInfo* c = this; c; c = c->m_parent)
        for (const PropertyInfo& p : c->m_properties)
            if (SameText(p.name, name)) return &p;
    return nullptr;
}

void RegisterClass(const ClassInfo& info) {
    for (const ClassInfo* c : Registry())
        if (c == &info) return;
    Registry().push_back(&info);
}

const ClassInfo* FindClass(std::string_view name) {
    for (const ClassInfo* c : Registry())
        if (SameText(c->Name(), name)) return c;
    return nullptr;
}

void LoadContext::Fail(const String& what) const {
    Fail(property ? property->line : object ? object->line : 0, what);
}

void LoadContext::Fail(int line, const String& what) const {
    String message = source + "(" + std::to_string(line) + "): ";
    if (object) message += object->name + ": " + object->className + ": ";
    if (property) message += property->name + ": ";
    throw EReadError(message + what);
}

std::any LoadContext::FindHandler(const String& name, std::type_index kind) {
    const PublishedTable::Method* m = published ? published->FindMethod(name) : nullptr;
    if (!m) Fail("no published handler '" + name + "'");
    if (m->kind != kind) Fail("handler '" + name + "' has the wrong parameters for this event");
    usedHandlers.push_back(m->name);
    return m->bind(root);
}

std::int64_t ReadInt(const dfm::Value& v, LoadContext& ctx) {
    if (v.kind != dfm::Value::Kind::Integer) WrongKind(v, ctx, "a number");
    return v.integer;
}

bool ReadBool(const dfm::Value& v, LoadContext& ctx) {
    if (v.kind == dfm::Value::Kind::Identifier) {
        if (SameText(v.text, "True")) return true;
        if (SameText(v.text, "False")) return false;
    }
    WrongKind(v, ctx, "True or False");
}

String ReadString(const dfm::Value& v, LoadContext& ctx) {
    if (v.kind != dfm::Value::Kind::String) WrongKind(v, ctx, "a string");
    return v.text;
}

String ReadIdent(const dfm::Value& v, LoadContext& ctx) {
    if (v.kind != dfm::Value::Kind::Identifier) WrongKind(v, ctx, "a name");
    return v.text;
}

int ReadEnum(const dfm::Value& v, LoadContext& ctx,
             std::initializer_list<std::pair<const char*, int>> names) {
    const String ident = ReadIdent(v, ctx);
    for (const auto& [n, value] : names)
        if (SameText(n, ident)) return value;
    ctx.Fail(v.line, "'" + ident + "' is not a valid value");
}

unsigned ReadSet(const dfm::Value& v, LoadContext& ctx,
                 std::initializer_list<std::pair<const char*, unsigned>> names) {
    if (v.kind != dfm::Value::Kind::Set) WrongKind(v, ctx, "a set");
    unsigned bits = 0;
    for (const String& element : v.set) {
        bool found = false;
        for (const auto& [n, bit] : names)
            if (SameText(n, element)) {
                bits |= bit;
                found = true;
            }
        if (!found) ctx.Fail(v.line, "'" + element + "' is not a valid set element");
    }
    return bits;
}

PropertyInfo prop::Ignored(const char* name, const char* why) {
    (void)why;
    return {name, [](TPersistent&, const dfm::Value&, LoadContext&) {}, {}};
}

PublishedTable::PublishedTable(String className, std::vector<Field> fields,
                               std::vector<Method> methods)
    : m_className(std::move(className)), m_fields(std::move(fields)),
      m_methods(std::move(methods)) {}

const PublishedTable::Field* PublishedTable::FindField(std::string_view name) const {
    for (const Field& f : m_fields)
        if (SameText(f.name, name)) return &f;
    return nullptr;
}

const PublishedTable::Method* PublishedTable::FindMethod(std::string_view name) const {
    for (const Method& m : m_methods)
        if (SameText(m.name, name)) return &m;
    return nullptr;
}

} // namespace vcl
