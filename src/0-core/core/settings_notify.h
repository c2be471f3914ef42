// Helpers shared by the editor's settings objects: a setter that reports only a real change, the
// even-number ranges, and a change made of several steps that reports once.
#pragma once

#include "core/notify.h"

#include <algorithm>
#include <type_traits>

namespace kst {

// Stores Value in Field. A TNotifyPersistent Owner reports the change, and an equal value changes
// nothing; a plain TPersistent has no one to tell.
template <class TOwner, class T, class V>
void StoreSetting(TOwner& Owner, T& Field, const V& Value) {
    if (Field == Value) {
        return;
    }
    Field = Value;
    if constexpr (std::is_base_of_v<TNotifyPersistent, TOwner>) {
        Owner.Changed();
    }
}

// Value clamped to Min..Max (both even), then rounded down to an even number.
constexpr int ClampEven(int Value, int Min, int Max) {
    const int clamped = std::clamp(Value, Min, Max);
    return clamped - clamped % 2;
}

// Runs Change inside one BeginUpdate/EndUpdate of Object, also closed when Change throws, so that
// Object reports once.
template <class F>
void ChangeInOneUpdate(TNotifyPersistent& Object, F&& Change) {
    Object.BeginUpdate();
    try {
        Change();
    } catch (...) {
        Object.EndUpdate();
        throw;
    }
    Object.EndUpdate();
}

// Runs Change; a TNotifyPersistent Owner reports it once.
template <class TOwner, class F>
void ChangeReportedOnce(TOwner& Owner, F&& Change) {
    if constexpr (std::is_base_of_v<TNotifyPersistent, TOwner>) {
        ChangeInOneUpdate(Owner, Change);
    } else {
        Change();
    }
}

} // namespace kst
