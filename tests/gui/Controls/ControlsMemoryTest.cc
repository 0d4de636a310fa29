// A window of the standard controls, each with its texts set, opened, shown
// and closed a hundred times leaves the live objects, the runtime's memory
// and the radio groups where they were after the first rounds.
#include "ButtonPanes.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

extern "C" {
void staticCaptionSetter(RuntimeObject *control, int32_t, KESTstring *value);
void pushButtonTitleSetter(RuntimeObject *control, int32_t, KESTstring *value);
void pushButtonDefaultSetter(RuntimeObject *control, int32_t, bool value);
void radioTitleSetter(RuntimeObject *control, int32_t, KESTstring *value);
void radioValueSetter(RuntimeObject *control, int32_t, bool value);
void checkBoxTitleSetter(RuntimeObject *control, int32_t, KESTstring *value);
void editTextSetter(RuntimeObject *control, int32_t, KESTstring *value);
void editTextFontSetter(RuntimeObject *control, int32_t, KESTstring *value);
void EditMaskSetter(RuntimeObject *control, int32_t, KESTstring *value);
}

namespace {

using ControlsMemory = kqtest::WindowTest;

RuntimeObject *Add(RuntimeObject *window, ObjectDefinition *definition, const std::string &name,
                   int left, int top,
                   void (*setter)(RuntimeObject *, int32_t, KESTstring *) = nullptr,
                   const char *text = nullptr) {
    RuntimeObject *control =
        kqtest::NewRuntimeControl(definition, name.c_str(), left, top, 100, 24, {"Action"});
    if (setter != nullptr) kqtest::SetText(setter, control, text);
    return kqtest::AddControl(window, control);
}

void AddRows(RuntimeObject *window) {
    for (int row = 0; row < 8; ++row) {
        std::string n = std::to_string(row);
        int y = 10 + 30 * row;
        Add(window, &StaticTextDefinition, "Text" + n, 10, y, staticCaptionSetter, "Preis");
        RuntimeObject *field =
            Add(window, &EditFieldDefinition, "Feld" + n, 120, y, editTextSetter, "12,50");
        kstr::StringRef font(kstr::FromC("System")), mask(kstr::FromC("###,##"));
        editTextFontSetter(field, 0, font.Get());
        EditMaskSetter(field, 0, mask.Get());
        RuntimeObject *button =
            Add(window, &PushButtonDefinition, "Knopf" + n, 230, y, pushButtonTitleSetter, "&OK");
        pushButtonDefaultSetter(button, 0, row == 0);
        RuntimeObject *radio =
            Add(window, &RadioButtonDefinition, "Wahl" + n, 340, y, radioTitleSetter, "19%");
        radioValueSetter(radio, 0, row == 3);
        Add(window, &CheckBoxDefinition, "Haken" + n, 450, y, checkBoxTitleSetter, "netto");
    }
}

void Cycle(RuntimeClass *cls) {
    RuntimeObject *window = kqtest::NewWindow(cls, AddRows);
    RuntimeShowWindow(window);
    kqtest::HandlePending();
    EXPECT_EQ(radiogroups::Count(), 1u);
    kqtest::CloseWindow(window);
    kqtest::HandlePending();
    kqtest::EventLog().clear();
}

} // namespace

TEST_F(ControlsMemory, OpenCloseCyclesLeaveObjectsMemoryAndRadioGroupsWhereTheyStarted) {
    RuntimeClass *cls = kqtest::ImageWindowClass("Formular", {WindowEvent::Open});
    for (int i = 0; i < 10; ++i)
        Cycle(cls);
    uint32_t liveObjects = objects::LiveObjectCount();
    uint32_t runtimeMemory = RuntimeDebugMemoryUsed();
    EXPECT_EQ(radiogroups::Count(), 0u);

    for (int i = 0; i < 100; ++i)
        Cycle(cls);
    EXPECT_EQ(objects::LiveObjectCount(), liveObjects);
    EXPECT_EQ(RuntimeDebugMemoryUsed(), runtimeMemory);
    EXPECT_EQ(radiogroups::Count(), 0u) << "every group went with its last member";
}
