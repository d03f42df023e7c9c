#include "vcl/Classes.h"

#include "vcl/TypInfo.h"

#include <algorithm>
#include <strings.h>

void TObject::Free(TObject* object) {
    if (!object) return;
    object->BeforeDestruction();
    delete object;
}

const vcl::ClassInfo& TObject::ClassType() const {
    return StaticClassInfo();
}
const vcl::ClassInfo& TObject::StaticClassInfo() {
    static const vcl::ClassInfo info("TObject", nullptr, {}, {});
    return info;
}
const String& TObject::ClassName() const {
    return ClassType().Name();
}

const vcl::ClassInfo& TPersistent::ClassType() const {
    return StaticClassInfo();
}
const vcl::ClassInfo& TPersistent::StaticClassInfo() {
    static const vcl::ClassInfo info("TPersistent", &TObject::StaticClassInfo(), {}, {});
    return info;
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->Insert(this);
}

TComponent::~TComponent() {
    m_destroying = true;
    m_alive.reset();
    DestroyComponents();
    if (m_owner) m_owner->Remove(this);
}

void TComponent::BeforeDestruction() {
    m_destroying = true;
}

void TComponent::DestroyComponents() {
    while (!m_components.empty()) {
        TComponent* last = m_components.back();
        m_components.pop_back();
        last->m_owner = nullptr;
        TObject::Free(last);
    }
}

void TComponent::Insert(TComponent* component) {
    m_components.push_back(component);
    component->m_owner = this;
}

void TComponent::Remove(TComponent* component) {
    auto it = std::find(m_components.begin(), m_components.end(), component);
    if (it != m_components.end()) m_components.erase(it);
    component->m_owner = nullptr;
}

void TComponent::SetName(const String& name) {
    m_name = name;
}

TComponent* TComponent::FindComponent(const String& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : m_components)
        if (strcasecmp(c->Name().c_str(), name.c_str()) == 0) return c;
    return nullptr;
}

void TComponent::SetParentComponent(TComponent* parent) {
    throw EReadError(ClassName() + " '" + Name() + "' cannot be placed inside " +
                     parent->ClassName() + " '" + parent->Name() + "'");
}

const vcl::ClassInfo& TComponent::ClassType() const {
    return StaticClassInfo();
}
const vcl::ClassInfo& TComponent::StaticClassInfo() {
    static const vcl::ClassInfo info("TComponent", &TPersistent::StaticClassInfo(), {},
                                     {vcl::prop::Ignored("Tag", "not used by any handler")});
    return info;
}
