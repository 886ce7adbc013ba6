// queryInterface for a host object that implements one interface I: answers
// for FUnknown and I with a new reference to the object as an I.
#pragma once

#include "pluginterfaces/base/funknown.h"

template <class I>
Steinberg::tresult AnswerQueryInterface(I* self, const Steinberg::TUID iid, void** obj) {
  if (Steinberg::FUnknownPrivate::iidEqual(iid, Steinberg::FUnknown::iid) ||
      Steinberg::FUnknownPrivate::iidEqual(iid, I::iid)) {
    self->addRef();
    *obj = self;
    return Steinberg::kResultOk;
  }
  *obj = nullptr;
  return Steinberg::kNoInterface;
}
