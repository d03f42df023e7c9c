// Objects, components and ownership.
//
//   TObject ─ TPersistent ─ TComponent ─ TControl ... (Controls.h)
//                        └─ TFont, TPicture, TSizeConstraints ... (Graphics.h, Controls.h)
//
// Ownership: every component has at most one Owner, which destroys it. An owner destroys
// its components last created first. Free() is the one way to destroy a component: it tells
// the object (BeforeDestruction, where a form fires OnDestroy) before any destructor runs.
// A component that goes away early removes itself from its owner's list.
//
// Every class that form descriptions may name carries a ClassInfo (TypInfo.h): its name,
// its parent class and its table of properties.
#pragma once

#include "vcl/SysUtils.h"

#include <functional>
#include <memory>
#include <vector>

namespace vcl {
class ClassInfo;
}

class TObject {
public:
    virtual ~TObject() = default;
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    // Runs BeforeDestruction, then deletes the object. Safe on null.
    static void Free(TObject* object);
    virtual void BeforeDestruction() {}

    virtual const vcl::ClassInfo& ClassType() const;
    static const vcl::ClassInfo& StaticClassInfo();
    const String& ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
public:
    const vcl::ClassInfo& ClassType() const override;
    static const vcl::ClassInfo& StaticClassInfo();
};

enum class TComponentState { Loading, Destroying };

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return m_owner; }
    const String& Name() const { return m_name; }
    virtual void SetName(const String& name);

    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const { return m_components.at(index); }
    // The owned component with this name (without regard to case), or null.
    TComponent* FindComponent(const String& name) const;

    bool Loading() const { return m_loading; }
    bool Destroying() const { return m_destroying; }

    // Called by the loader on each component once the whole description has been read.
    virtual void Loaded() { m_loading = false; }
    // The loader places a component read inside another one's block here. The default
    // refuses: only controls go into windowed controls and items into menus.
    virtual void SetParentComponent(TComponent* parent);

    void BeforeDestruction() override;

    // Turns false when the component is destroyed; lets deferred work skip dead objects.
    std::weak_ptr<const bool> Alive() const { return m_alive; }

    const vcl::ClassInfo& ClassType() const override;
    static const vcl::ClassInfo& StaticClassInfo();

    void BeginLoading() { m_loading = true; }

protected:
    // Destroys every owned component, last created first.
    void DestroyComponents();

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    TComponent* m_owner = nullptr;
    String m_name;
    std::vector<TComponent*> m_components;
    bool m_loading = false;
    bool m_destroying = false;
    std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);
};

// Declares the ClassInfo accessors of a class that descriptions may name.
#define VCL_DECLARE_CLASS()                                                                        \
    const vcl::ClassInfo& ClassType() const override {                                             \
        return StaticClassInfo();                                                                  \
    }                                                                                              \
    static const vcl::ClassInfo& StaticClassInfo()
