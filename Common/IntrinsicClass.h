// The runtime's intrinsic classes and modules: the class definitions the
// image may name, kept in two maps by class name, each registration adding
// the definition's named entry points to the export table.
#pragma once

#include "ObjectDefinition.h"

// Registers a class: puts it in the intrinsic class map, then adds its entry
// points (each method's plain and assigning form, each property's getter and
// setter, the initializer, the finalizer) to the export table.
void RegisterIntrinsicClass(ObjectDefinition *defn);

// Registers a module (a class without instances); a definition with instance
// data, a superclass, life-cycle functions, hooks or interfaces, or a second
// module of the same name, is reported (and registered all the same).
void RegisterIntrinsicModule(ObjectDefinition *defn);

// The intrinsic class of that name, or null; RuntimeLookupClass asks it.
ObjectDefinition *LookupIntrinsicClass(const KESTstring *name);

extern "C" {
// The image's start code calls it before it creates the application object:
// registers the runtime's classes, its intrinsic global functions, and
// installs the plug-ins the image carries.
void RuntimeInitExternalClasses();
}
