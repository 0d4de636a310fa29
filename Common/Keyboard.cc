// The `_Keyboard` class (the Keyboard object of the language): the modifier
// keys of the event being handled, the keys held down right now, and the
// names of key codes. Key codes are the classic 7-bit virtual key codes of
// desktop keyboards (A = 0, S = 1, D = 2 ...), translated here to X key
// symbols; codes of 128 and above are key symbols themselves.
#include "Keyboard.h"

#include "KeyState.h"
#include "ObjectDefinition.h"
#include "RuntimeException.h"

#include <cstdio>

namespace {

constexpr int32_t kMenuShortcutKey = -1;
constexpr int32_t kAlternateMenuShortcutKey = -2;

// Virtual key code -> X key symbol; 0 for codes without a key.
constexpr uint32_t kKeySymbols[128] = {
    'A',    'S',    'D',    'F',    'H',    'G',    'Z',    'X',    // 0
    'C',    'V',    0,      'B',    'Q',    'W',    'E',    'R',    // 8
    'Y',    'T',    '1',    '2',    '3',    '4',    '6',    '5',    // 16
    '=',    '9',    '7',    '-',    '8',    '0',    ']',    'O',    // 24
    'U',    '[',    'I',    'P',    0xFF0D, 'L',    'J',    '\'',   // 32
    'K',    ';',    '\\',   ',',    '/',    'N',    'M',    '.',    // 40
    0xFF09, ' ',    '`',    0xFF08, 0,      0xFF1B, 0,      0xFFEB, // 48
    0xFFE1, 0xFFE5, 0xFFE9, 0xFFE3, 0xFFE2, 0xFFEA, 0xFFE4, 0,      // 56
    0,      0xFFAE, 0,      0xFFAA, 0,      0xFFAB, 0,      0xFF7F, // 64
    0,      0,      0,      0xFFAF, 0xFF8D, 0,      0xFFAD, 0,      // 72
    0,      0xFFBD, 0xFFB0, 0xFFB1, 0xFFB2, 0xFFB3, 0xFFB4, 0xFFB5, // 80
    0xFFB6, 0xFFB7, 0,      0xFFB8, 0xFFB9, 0,      0,      0,      // 88
    0xFFC2, 0xFFC3, 0xFFC4, 0xFFC0, 0xFFC5, 0xFFC6, 0,      0xFFC8, // 96
    0,      0xFF15, 0,      0xFF14, 0,      0xFFC7, 0,      0xFFC9, // 104
    0,      0xFF13, 0xFF63, 0xFF50, 0xFF55, 0xFFFF, 0xFFC1, 0xFF57, // 112
    0xFFBF, 0xFF56, 0xFFBE, 0xFF51, 0xFF53, 0xFF54, 0xFF52, 0,      // 120
};

struct KeyName {
    uint8_t code;
    char name[12];
};

const KeyName kKeyNames[] = {
    {0x35, "Esc"},      {0x30, "Tab"},         {0x39, "CapsLock"},   {0x38, "Shift"},
    {0x3B, "Control"},  {0x3A, "Alt"},         {0x37, "Win"},        {0x3C, "Shift(R)"},
    {0x3D, "Alt(R)"},   {0x3E, "Control(R)"},  {0x24, "Enter"},      {0x31, "Space"},
    {0x34, "Enter"},    {0x3F, "Fn"},          {0x33, "Backspace"},  {0x72, "Insert"},
    {0x73, "Home"},     {0x74, "PageUp"},      {0x75, "Delete"},     {0x77, "End"},
    {0x79, "PageDown"}, {0x7A, "F1"},          {0x78, "F2"},         {0x63, "F3"},
    {0x76, "F4"},       {0x60, "F5"},          {0x61, "F6"},         {0x62, "F7"},
    {0x64, "F8"},       {0x65, "F9"},          {0x6D, "F10"},        {0x67, "F11"},
    {0x6F, "F12"},      {0x69, "PrintScreen"}, {0x6B, "ScrollLock"}, {0x71, "Pause/Break"},
    {0x47, "NumLock"},  {0x4B, "KP/"},         {0x51, ""},           {0x43, "KP*"},
    {0x59, "KP7"},      {0x5B, "KP8"},         {0x5C, "KP9"},        {0x4E, "KP-"},
    {0x56, "KP4"},      {0x57, "KP5"},         {0x58, "KP6"},        {0x45, "KP+"},
    {0x53, "KP1"},      {0x54, "KP2"},         {0x55, "KP3"},        {0x52, "KP0"},
    {0x41, "KP."},      {0x4C, "Enter"},       {0x7E, "Up"},         {0x7B, "Left"},
    {0x7D, "Down"},     {0x7C, "Right"},
};
static_assert(sizeof kKeyNames / sizeof kKeyNames[0] == 58, "58 key names");

constexpr int32_t kShiftL = 56, kAltL = 58, kControlL = 59, kShiftR = 60, kAltR = 61,
                  kControlR = 62;

bool CodeHeld(int32_t code) {
    uint32_t symbol = keyboard::KeySymbol(code);
    return symbol != 0 && keystate::IsHeld(symbol);
}

bool EitherHeld(int32_t left, int32_t right) {
    return CodeHeld(left) || CodeHeld(right);
}

#define KQ_KEY_PROPERTY(name, getter, index, flags)                                                \
    { flags, name, &kTypeBoolean, KQ_CODE(getter), #getter, nullptr, nullptr, index, 0 }

const PropertyEntry kKeyboardProperties[] = {
    KQ_KEY_PROPERTY("ShiftKey", modifierKeyGetter, keystate::kShiftKey, 0),
    KQ_KEY_PROPERTY("CommandKey", modifierKeyGetter, keystate::kCommandKey, kKeyboardHidden),
    KQ_KEY_PROPERTY("OSKey", modifierKeyGetter, keystate::kCommandKey, 0),
    KQ_KEY_PROPERTY("ControlKey", modifierKeyGetter, keystate::kControlKey, 0),
    KQ_KEY_PROPERTY("OptionKey", modifierKeyGetter, keystate::kAltKey, kKeyboardHidden),
    KQ_KEY_PROPERTY("AltKey", modifierKeyGetter, keystate::kAltKey, 0),
    KQ_KEY_PROPERTY("AsyncShiftKey", asyncModifierKeyGetter, keystate::kShiftKey, 0),
    KQ_KEY_PROPERTY("AsyncCommandKey", asyncModifierKeyGetter, keystate::kCommandKey,
                    kKeyboardHidden),
    KQ_KEY_PROPERTY("AsyncOSKey", asyncModifierKeyGetter, keystate::kCommandKey, 0),
    KQ_KEY_PROPERTY("AsyncControlKey", asyncModifierKeyGetter, keystate::kControlKey, 0),
    KQ_KEY_PROPERTY("AsyncOptionKey", asyncModifierKeyGetter, keystate::kAltKey, kKeyboardHidden),
    KQ_KEY_PROPERTY("AsyncAltKey", asyncModifierKeyGetter, keystate::kAltKey, 0),
    KQ_KEY_PROPERTY("MenuShortcutKey", modifierKeyGetter, kMenuShortcutKey, 0),
    KQ_KEY_PROPERTY("AlternateMenuShortcutKey", modifierKeyGetter, kAlternateMenuShortcutKey, 0),
    KQ_KEY_PROPERTY("AsyncMenuShortcutKey", asyncModifierKeyGetter, kMenuShortcutKey, 0),
    KQ_KEY_PROPERTY("AsyncAlternateMenuShortcutKey", asyncModifierKeyGetter,
                    kAlternateMenuShortcutKey, 0),
};

const ParameterEntry kKeyCodeParameters[] = {KQ_PARAMETER("KeyCode", &kTypeInteger)};

const MethodEntry kKeyboardMethods[] = {
    KQ_METHOD("AsyncKeyDown", &kTypeBoolean, KQ_TABLE(kKeyCodeParameters), keyboardAsyncKeyDown),
    KQ_METHOD("KeyName", &kTypeString, KQ_TABLE(kKeyCodeParameters), keyboardKeyName),
};

const RuntimeClassDeclaration kKeyboardDeclaration = {"_Keyboard",
                                                      nullptr,
                                                      sizeof(RuntimeObject),
                                                      KQ_GUI_ONLY,
                                                      false,
                                                      KQ_TABLE(kKeyboardProperties),
                                                      KQ_TABLE(kKeyboardMethods),
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_NO_FUNCTION,
                                                      KQ_NO_FUNCTION};

} // namespace

ObjectDefinition _KeyboardDefinition(&kKeyboardDeclaration);

namespace keyboard {

uint32_t KeySymbol(int32_t code) {
    if (code < 0) return 0;
    return code < 128 ? kKeySymbols[code] : uint32_t(code);
}

} // namespace keyboard

extern "C" {

RuntimeObject *getKeyboardObject(void) {
    return definitions::Instantiate(&_KeyboardDefinition);
}

bool modifierKeyGetter(RuntimeObject *, int32_t index) {
    uint16_t word = keystate::ModifierWord();
    if (index == kMenuShortcutKey) return word & keystate::kControlKey;
    if (index == kAlternateMenuShortcutKey) return word & keystate::kShiftKey;
    return (word & index) != 0;
}

bool asyncModifierKeyGetter(RuntimeObject *, int32_t index) {
    switch (index) {
    case kMenuShortcutKey:
    case keystate::kControlKey:
        return EitherHeld(kControlL, kControlR);
    case kAlternateMenuShortcutKey:
    case keystate::kShiftKey:
        return EitherHeld(kShiftL, kShiftR);
    case keystate::kCommandKey:
        return keystate::IsHeld(0xFFEB) || keystate::IsHeld(0xFFEC); // Super_L, Super_R
    case keystate::kAltKey:
        return EitherHeld(kAltL, kAltR);
    default:
        return false;
    }
}

bool keyboardAsyncKeyDown(RuntimeObject *, int32_t code) {
    if (code < 0) {
        RaiseOutOfBoundsException();
        return false;
    }
    return CodeHeld(code);
}

KESTstring *keyboardKeyName(RuntimeObject *, int32_t code) {
    for (const KeyName &row : kKeyNames)
        if (row.code == code) return kstr::FromC(row.name);
    char text[16];
    std::snprintf(text, sizeof text, "key%d", code);
    return kstr::FromC(text);
}

} // extern "C"
