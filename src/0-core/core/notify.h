// Change notification shared by the settings objects: a persistent object reports every change to
// its owner through one handler, and holds reports back while an update is in progress.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kst {

class TPersistent;

// The kinds of published properties: what a property walk or a settings reader can expect.
enum class TPropertyKind { Integer, Boolean, String, Set, Class };

// One published property of an object. Object is the value of a Class property (an owned part,
// never replaced by its setter); it is null for the other kinds.
struct TPropInfo {
    const char* Name;
    TPropertyKind Kind;
    TPersistent* Object = nullptr;
};

// Base of every object whose content can be copied into another of its kind with Assign.
class TPersistent {
public:
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;
    virtual ~TPersistent() = default;

    virtual const char* ClassName() const { return "TPersistent"; }

    // Copies Source's content into this object. The base raises EConvertError: a class accepts
    // only the sources it knows.
    virtual void Assign(const TPersistent& Source);

    // The published properties in declaration order; a class appends its own to its base's.
    virtual std::vector<TPropInfo> PublishedProperties() { return {}; }

protected:
    [[noreturn]] void AssignError(const TPersistent& Source) const;
};

// A change handler: called with the object that changed.
using TNotifyEvent = std::function<void(TPersistent* Sender)>;

// A change handler that can be compared: a code pointer plus the object it is called on. Two
// methods are equal when both pointers are equal, so a subscriber can be found again to remove it.
struct TNotifyMethod {
    void (*Code)(void* Data, TPersistent* Sender) = nullptr;
    void* Data = nullptr;

    void operator()(TPersistent* Sender) const { Code(Data, Sender); }
    bool operator==(const TNotifyMethod&) const = default;
};

// The method that calls Object->*Handler(Sender).
template <auto Handler, class T>
TNotifyMethod MakeNotifyMethod(T* Object) {
    return {[](void* Data, TPersistent* Sender) { (static_cast<T*>(Data)->*Handler)(Sender); },
            Object};
}

class TNotifyPersistent : public TPersistent {
public:
    const char* ClassName() const override { return "TNotifyPersistent"; }

    TNotifyEvent OnChange;

    // Calls OnChange(this) unless an update is in progress.
    virtual void Changed();
    virtual void BeginUpdate();
    // Closes one BeginUpdate; the outermost one reports the change.
    virtual void EndUpdate();
    // The handler owned sub-objects report to: a change of a part is a change of the whole.
    virtual void SubObjectChanged(TPersistent* Sender);

    int UpdateCount() const { return FUpdateCount; }

private:
    int FUpdateCount = 0;
};

// A list of methods, in the order they were added.
class TMethodList {
public:
    void Add(const TNotifyMethod& Method);
    // Deletes the most recently added entry equal to Method; nothing when there is none.
    void Remove(const TNotifyMethod& Method);
    void Clear();

    int Count() const { return static_cast<int>(FItems.size()); }
    const TNotifyMethod& Items(int Index) const { return FItems[static_cast<std::size_t>(Index)]; }

private:
    std::vector<TNotifyMethod> FItems;
};

// Broadcasts a change to every subscriber, with the owner as the sender. Its own OnChange is not
// used. BeginUpdate/EndUpdate hold the broadcast back; the outermost EndUpdate broadcasts once.
class TNotifyEventList : public TNotifyPersistent {
public:
    explicit TNotifyEventList(TPersistent* Owner) : FOwner(Owner) {}

    const char* ClassName() const override { return "TNotifyEventList"; }

    virtual void Add(const TNotifyMethod& Method);
    virtual void Remove(const TNotifyMethod& Method);
    void Changed() override;

    TPersistent* GetOwner() const { return FOwner; }
    int SubscriberCount() const { return FList.Count(); }

private:
    TMethodList FList;
    TPersistent* FOwner;
};

template <class T, class... Args>
std::unique_ptr<T> CreateComponent(Args&&... Arguments);

// Base of the components. A component creates its owned parts through virtual factory methods in
// a fixed order; C++ dispatches those only once the object is complete, so components are built
// by CreateComponent, which runs AfterConstruction on the finished object. The key parameter of
// the constructors makes any other way of building one a compile error.
class TComponent : public TPersistent {
public:
    class TCreateKey {
        TCreateKey() = default;
        template <class T, class... Args>
        friend std::unique_ptr<T> CreateComponent(Args&&... Arguments);
    };

    TComponent(TCreateKey, TPersistent* Owner) : FOwner(Owner) {}
    // Tells every method registered by FreeNotification, with this component as the sender.
    ~TComponent() override;

    const char* ClassName() const override { return "TComponent"; }

    TPersistent* GetOwner() const { return FOwner; }

    // Asks to be told when this component is destroyed.
    void FreeNotification(const TNotifyMethod& Method) { FFreeNotifies.Add(Method); }
    void RemoveFreeNotification(const TNotifyMethod& Method) { FFreeNotifies.Remove(Method); }

protected:
    virtual void AfterConstruction() {}

private:
    template <class T, class... Args>
    friend std::unique_ptr<T> CreateComponent(Args&&... Arguments);

    TPersistent* FOwner;
    TMethodList FFreeNotifies;
};

// Builds a component: T(key, Arguments...), then its AfterConstruction.
template <class T, class... Args>
std::unique_ptr<T> CreateComponent(Args&&... Arguments) {
    std::unique_ptr<T> component(new T(TComponent::TCreateKey(), std::forward<Args>(Arguments)...));
    static_cast<TComponent*>(component.get())->AfterConstruction();
    return component;
}

} // namespace kst
