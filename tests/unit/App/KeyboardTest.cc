// The Keyboard object: modifiers of the event being handled, keys held now,
// key codes and their names.
#include "AppTestSupport.h"

#include "KeyState.h"
#include "Keyboard.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

using apptest::ClassName;

namespace {

std::string Name(int32_t code) {
    KESTstring *name = keyboardKeyName(nullptr, code);
    std::string text = kstr::Text(name);
    RuntimeUnlockString(name);
    return text;
}

} // namespace

TEST(Keyboard, ModifierWordAnswersTheEventQuestionsAndShortcutsFollowControlAndShift) {
    keystate::SetModifierWord(keystate::kControlKey);
    EXPECT_TRUE(modifierKeyGetter(nullptr, keystate::kControlKey));
    EXPECT_TRUE(modifierKeyGetter(nullptr, -1)) << "the menu shortcut key is Control";
    EXPECT_FALSE(modifierKeyGetter(nullptr, -2));
    EXPECT_FALSE(modifierKeyGetter(nullptr, keystate::kCommandKey));
    keystate::SetModifierWord(keystate::kShiftKey | keystate::kAltKey);
    EXPECT_TRUE(modifierKeyGetter(nullptr, -2)) << "the alternate one is Shift";
    EXPECT_TRUE(modifierKeyGetter(nullptr, keystate::kAltKey));
    EXPECT_FALSE(modifierKeyGetter(nullptr, -1));
    EXPECT_EQ(keystate::ModifierWordOf(GDK_SHIFT_MASK | GDK_CONTROL_MASK | GDK_MOD1_MASK), 0x1A00);
    keystate::SetModifierWord(0);
}

TEST(Keyboard, HeldKeysAnswerAsyncQuestionsByKeyCode) {
    EXPECT_FALSE(keyboardAsyncKeyDown(nullptr, 53));
    keystate::NoteKeyEvent(true, 0xFF1B); // Escape
    keystate::NoteKeyEvent(true, 0xFF1B); // auto-repeat lists it once
    EXPECT_TRUE(keyboardAsyncKeyDown(nullptr, 53));
    EXPECT_FALSE(keyboardAsyncKeyDown(nullptr, 10)) << "code 10 names no key";
    keystate::NoteKeyEvent(false, 0xFF1B);
    EXPECT_FALSE(keyboardAsyncKeyDown(nullptr, 53));

    keystate::NoteKeyEvent(true, 'a');
    EXPECT_TRUE(keyboardAsyncKeyDown(nullptr, 0)) << "code 0 is the A key, either case";
    keystate::NoteKeyEvent(false, 'a');
    keystate::NoteKeyEvent(true, 0xE4); // adiaeresis
    EXPECT_TRUE(keyboardAsyncKeyDown(nullptr, 0xC4)) << "codes from 128 are key symbols";
    keystate::NoteKeyEvent(false, 0xE4);

    struct {
        uint32_t keyval;
        int32_t flag;
    } modifiers[] = {{0xFFE2, keystate::kShiftKey},
                     {0xFFE9, keystate::kAltKey},
                     {0xFFE4, keystate::kControlKey},
                     {0xFFEC, keystate::kCommandKey}};
    for (auto &m : modifiers) {
        EXPECT_FALSE(asyncModifierKeyGetter(nullptr, m.flag)) << m.keyval;
        keystate::NoteKeyEvent(true, m.keyval);
        EXPECT_TRUE(asyncModifierKeyGetter(nullptr, m.flag)) << m.keyval;
        EXPECT_EQ(asyncModifierKeyGetter(nullptr, -1), m.flag == keystate::kControlKey);
        EXPECT_EQ(asyncModifierKeyGetter(nullptr, -2), m.flag == keystate::kShiftKey);
        keystate::NoteKeyEvent(false, m.keyval);
    }
    EXPECT_FALSE(asyncModifierKeyGetter(nullptr, 0x4000));

    RuntimeObject *exc = apptest::Raised([] { keyboardAsyncKeyDown(nullptr, -1); });
    EXPECT_EQ(ClassName(exc), "OutOfBoundsException");
    RuntimeUnlockObject(exc);
}

TEST(Keyboard, KeyCodesTranslateAndHaveNames) {
    EXPECT_EQ(keyboard::KeySymbol(0), uint32_t('A'));
    EXPECT_EQ(keyboard::KeySymbol(22), uint32_t('6'));
    EXPECT_EQ(keyboard::KeySymbol(42), uint32_t('\\'));
    EXPECT_EQ(keyboard::KeySymbol(117), 0xFFFFu); // Delete
    EXPECT_EQ(keyboard::KeySymbol(122), 0xFFBEu); // F1
    EXPECT_EQ(keyboard::KeySymbol(92), 0xFFB9u);  // KP_9
    EXPECT_EQ(keyboard::KeySymbol(127), 0u);
    EXPECT_EQ(keyboard::KeySymbol(0x20AC), 0x20ACu);
    EXPECT_EQ(Name(0x35), "Esc");
    EXPECT_EQ(Name(0x69), "PrintScreen");
    EXPECT_EQ(Name(0x71), "Pause/Break");
    EXPECT_EQ(Name(0x51), "");
    EXPECT_EQ(Name(0), "key0");
    EXPECT_EQ(Name(300), "key300");
    Ref<> a = Ref<>::Adopt(getKeyboardObject()), b = Ref<>::Adopt(getKeyboardObject());
    EXPECT_EQ(ClassName(a.get()), "_Keyboard");
    EXPECT_NE(a.get(), b.get()) << "a new object on each call";
}
