// Reading a form description into a form: objects by class name, properties by name,
// members and handlers through the form's published table; nothing is skipped silently.
#include "vcl/Forms.h"

#include "winapi/Resources.h"

#include <algorithm>
#include <set>
#include <strings.h>

namespace vcl {
namespace {

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

void SetProperty(TPersistent& target, std::string_view name, const dfm::Value& value,
                 LoadContext& ctx) {
    const std::size_t dot = name.find('.');
    const std::string_view head = name.substr(0, dot);
    const PropertyInfo* info = target.ClassType().FindProperty(head);
    if (!info) ctx.Fail("unknown property '" + String(head) + "' of " + target.ClassName());
    if (dot != std::string_view::npos) {
        if (!info->child) ctx.Fail("'" + String(head) + "' has no sub-properties");
        SetProperty(*info->child(target), name.substr(dot + 1), value, ctx);
        return;
    }
    if (!info->set) ctx.Fail("'" + String(head) + "' is set through its sub-properties");
    info->set(target, value, ctx);
}

class Reader {
public:
    Reader(TCustomForm& form, const PublishedTable& table, const String& source)
        : m_form(form), m_table(table) {
        m_ctx.source = source;
        m_ctx.root = &form;
        m_ctx.published = &table;
    }

    void Read(const dfm::Object& root) {
        m_ctx.object = &root;
        if (!SameText(root.className, m_table.ClassName()))
            m_ctx.Fail(root.line,
                       "the description is for " + root.className + ", not " + m_table.ClassName());
        m_form.SetName(root.name);
        m_form.BeginLoading();
        m_loaded.push_back(&m_form);
        SetProperties(m_form, root.properties, m_ctx);
        for (const dfm::Object& child : root.children)
            ReadObject(child, m_form);
        m_ctx.object = &root;
        m_ctx.property = nullptr;
        for (const PublishedTable::Field& f : m_table.Fields())
            if (!m_filled.count(f.name))
                m_ctx.Fail(root.line,
                           "published member '" + f.name + "' is not in the description");
        for (TComponent* c : m_loaded)
            c->Loaded();
    }

private:
    void ReadObject(const dfm::Object& o, TComponent& parent) {
        m_ctx.object = &o;
        m_ctx.property = nullptr;
        const PublishedTable::Field* field = m_table.FindField(o.name);
        if (!field) m_ctx.Fail(o.line, "no published member '" + o.name + "'");
        if (m_filled.count(field->name)) m_ctx.Fail(o.line, "'" + o.name + "' appears twice");
        const ClassInfo* cls = FindClass(o.className);
        if (!cls || !cls->CanCreate()) m_ctx.Fail(o.line, "unknown class '" + o.className + "'");
        if (!cls->InheritsFrom(*field->type))
            m_ctx.Fail(o.line, "member '" + field->name + "' is a " + field->type->Name());

        TComponent* c = cls->Create(&m_form);
        c->BeginLoading();
        c->SetName(o.name);
        m_loaded.push_back(c);
        if (&parent != &m_form || dynamic_cast<TControl*>(c)) {
            try {
                c->SetParentComponent(&parent);
            } catch (const Exception& e) {
                m_ctx.Fail(o.line, e.Message());
            }
        }
        if (!field->assign(&m_form, c))
            m_ctx.Fail(o.line, "member '" + field->name + "' has another type");
        m_filled.insert(field->name);
        SetProperties(*c, o.properties, m_ctx);
        for (const dfm::Object& child : o.children)
            ReadObject(child, *c);
        m_ctx.object = &o;
    }

    TCustomForm& m_form;
    const PublishedTable& m_table;
    LoadContext m_ctx;
    std::vector<TComponent*> m_loaded;
    std::set<String> m_filled;
};

void CollectHandlerNames(const std::vector<dfm::Property>& properties, std::set<String>& out) {
    for (const dfm::Property& p : properties) {
        const std::size_t dot = p.name.rfind('.');
        const String last = dot == String::npos ? p.name : p.name.substr(dot + 1);
        if (last.size() > 2 && strncasecmp(last.c_str(), "On", 2) == 0 &&
            p.value.kind == dfm::Value::Kind::Identifier)
            out.insert(p.value.text);
        for (const auto& item : p.value.items)
            CollectHandlerNames(item, out);
    }
}

void CollectHandlerNames(const dfm::Object& o, std::set<String>& out) {
    CollectHandlerNames(o.properties, out);
    for (const dfm::Object& c : o.children)
        CollectHandlerNames(c, out);
}

dfm::Object ParseOrThrow(std::string_view text, const String& source) {
    try {
        return dfm::Parse(text, source);
    } catch (const dfm::ParseError& e) {
        throw EReadError(e.what());
    }
}

} // namespace

void SetProperties(TPersistent& target, const std::vector<dfm::Property>& properties,
                   LoadContext& ctx) {
    const dfm::Property* outer = ctx.property;
    for (const dfm::Property& p : properties) {
        ctx.property = &p;
        SetProperty(target, p.name, p.value, ctx);
    }
    ctx.property = outer;
}

void LoadFormFromText(TCustomForm& form, const PublishedTable& table, std::string_view text,
                      const String& source) {
    const dfm::Object root = ParseOrThrow(text, source);
    Reader(form, table, source).Read(root);
}

void LoadForm(TCustomForm& form, const PublishedTable& table) {
    String name = table.ClassName();
    std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    auto data = winapi::FindResourceData(name);
    if (!data) throw EResNotFound("Resource " + name + " not found");
    LoadFormFromText(form, table,
                     std::string_view(reinterpret_cast<const char*>(data->data()), data->size()),
                     name);
}

std::vector<String> UnusedHandlers(const PublishedTable& table, std::string_view text,
                                   const String& source) {
    std::set<String> named;
    CollectHandlerNames(ParseOrThrow(text, source), named);
    std::vector<String> unused;
    for (const PublishedTable::Method& m : table.Methods()) {
        const bool used = std::any_of(named.begin(), named.end(),
                                      [&](const String& n) { return SameText(n, m.name); });
        if (!used) unused.push_back(m.name);
    }
    return unused;
}

} // namespace vcl
