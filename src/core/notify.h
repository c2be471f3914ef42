// Change notification shared by the settings objects: a persistent object reports every change to
// its owner through one handler, and holds reports back while an update is in progress.
#pragma once

#include <functional>

namespace kst {

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

protected:
    [[noreturn]] void AssignError(const TPersistent& Source) const;
};

// A change handler: called with the object that changed.
using TNotifyEvent = std::function<void(TPersistent* Sender)>;

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

} // namespace kst
