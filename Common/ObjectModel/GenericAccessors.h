// The generic field accessors: property getters and setters that read or
// write the field at `offset` bytes from the object's start. A getter is
// called with the object and the offset and returns the field; a setter with
// the object, the offset and the new value. String and object getters hand
// the caller a new reference; their setters lock the new value, then unlock
// the old one. A null object raises NilObjectException (getters return 0).
#pragma once

#include "KESTstring.h"

#include <cstdint>

struct RuntimeObject;

extern "C" {
bool boolGetter(RuntimeObject *object, int32_t offset);
void boolSetter(RuntimeObject *object, int32_t offset, bool value);
uint8_t byteGetter(RuntimeObject *object, int32_t offset);
void byteSetter(RuntimeObject *object, int32_t offset, uint8_t value);
int16_t shortGetter(RuntimeObject *object, int32_t offset);
void shortSetter(RuntimeObject *object, int32_t offset, int16_t value);
int32_t intGetter(RuntimeObject *object, int32_t offset);
void intSetter(RuntimeObject *object, int32_t offset, int32_t value);
int64_t int64Getter(RuntimeObject *object, int32_t offset);
void int64Setter(RuntimeObject *object, int32_t offset, int64_t value);
float singleGetter(RuntimeObject *object, int32_t offset);
void singleSetter(RuntimeObject *object, int32_t offset, float value);
double doubleGetter(RuntimeObject *object, int32_t offset);
void doubleSetter(RuntimeObject *object, int32_t offset, double value);
KESTstring *stringGetter(RuntimeObject *object, int32_t offset);
void stringSetter(RuntimeObject *object, int32_t offset, KESTstring *value);
RuntimeObject *objGetter(RuntimeObject *object, int32_t offset);
void objSetter(RuntimeObject *object, int32_t offset, RuntimeObject *value);
}
