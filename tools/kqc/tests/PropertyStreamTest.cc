// Design-time property streams: the bytes of each kind of entry, and the
// streams that layouts and menu bars become (slots of the manifest's
// property tables, in the order written, a control's name and index first).
#include <gtest/gtest.h>

#include "CheckedProgram.h"
#include "PropertyStream.h"

namespace kqc {
namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string out;
    for (int b : list)
        out += static_cast<char>(b);
    return out;
}

ConstValue integer(int64_t v) {
    ConstValue c;
    c.kind = ConstValue::Kind::Integer;
    c.integer = v;
    return c;
}

TEST(PropertyStream, EntriesAreBigEndianByTheFirstLetterOfTheTypeCode) {
    TypeTable types;
    std::string s;
    ASSERT_TRUE(appendEntry(s, 0x0123, types.get(TypeKind::Int32), integer(-2147483648LL)));
    EXPECT_EQ(s, bytes({0x01, 0x23, 0x80, 0, 0, 0}));

    s.clear();
    ConstValue yes = integer(1);
    yes.kind = ConstValue::Kind::Boolean;
    ASSERT_TRUE(appendEntry(s, 7, types.get(TypeKind::Boolean), yes));
    ASSERT_TRUE(appendEntry(s, 22, types.get(TypeKind::Color), integer(0x12AB34)));
    ASSERT_TRUE(appendEntry(s, 3, types.get(TypeKind::Int16), integer(-2)));
    EXPECT_EQ(s, bytes({0, 7, 1, 0, 22, 0x12, 0xAB, 0x34, 0, 3, 0xFF, 0xFF, 0xFF, 0xFE}));

    // Single and Double are both read as 4-byte singles.
    s.clear();
    ConstValue half;
    half.kind = ConstValue::Kind::Real;
    half.real = 1.5;
    ASSERT_TRUE(appendEntry(s, 1, types.get(TypeKind::Double), half));
    ASSERT_TRUE(appendEntry(s, 2, types.get(TypeKind::Single), integer(-2)));
    EXPECT_EQ(s, bytes({0, 1, 0x3F, 0xC0, 0, 0, 0, 2, 0xC0, 0, 0, 0}));

    s.clear();
    ConstValue text;
    text.kind = ConstValue::Kind::String;
    text.text = "Größe";
    ASSERT_TRUE(appendEntry(s, 6, types.get(TypeKind::String), text));
    EXPECT_EQ(s, bytes({0, 6, 0, 0, 0, 7}) + "Größe");
    text.text.clear();
    s.clear();
    ASSERT_TRUE(appendEntry(s, 6, types.get(TypeKind::String), text));
    EXPECT_EQ(s, bytes({0, 6, 0, 0, 0, 0}));
}

TEST(PropertyStream, TypesWithoutAStreamFormAreRefused) {
    TypeTable types;
    std::string s = "x";
    for (TypeKind k : {TypeKind::Int64, TypeKind::UInt32, TypeKind::Currency, TypeKind::Variant,
                       TypeKind::Ptr}) {
        EXPECT_FALSE(streamable(types.get(k)));
        EXPECT_FALSE(appendEntry(s, 1, types.get(k), integer(1)));
    }
    EXPECT_FALSE(appendEntry(s, 0x10000, types.get(TypeKind::Int32), integer(1)));
    EXPECT_EQ(s, "x");
}

using LayoutStreams = CheckedProgram;

TEST_F(LayoutStreams, WindowsControlsAndMenuItemsBecomeStreamsInTheOrderWritten) {
    check("MenuBar Leiste\n"
          "  Menu Datei \"&Datei\"\n"
          "    Item Ende As QuitMenuItem \"Beenden\" Shortcut \"Ctrl+Q\"\n"
          "  End Menu\n"
          "End MenuBar\n"
          "Window W\n"
          "  Width = 2 * 300\n"
          "  Title = \"Fenster\"\n"
          "  MenuBar = Leiste\n"
          "  Visible = True\n"
          "  Width = 7\n"
          "  Control F As EditField\n"
          "    Text = \"A\"\n"
          "    Left = -1\n"
          "  End Control\n"
          "End Window\n");
    ClassInfo *w = program_.findClass("W");
    ASSERT_TRUE(w);
    std::string window;
    for (const LayoutProperty &p : w->decl->layout)
        window += p.entry;
    // Width is slot 2, Title 3, Visible 0; a later entry for a slot wins at
    // run time, so both stay. MenuBar is an object: set by its setter.
    EXPECT_EQ(window, bytes({0, 2, 0, 0, 0x02, 0x58, 0, 3, 0, 0, 0, 7}) + "Fenster" +
                          bytes({0, 0, 1, 0, 2, 0, 0, 0, 7}));
    EXPECT_TRUE(w->decl->layout[2].entry.empty());
    EXPECT_TRUE(w->decl->layout[2].objectProperty);

    ASSERT_EQ(w->controls.size(), 1u);
    EXPECT_EQ(w->controls[0]->stream, bytes({0, 0, 0, 0, 0, 1}) + "F" +
                                          bytes({0, 1, 0x80, 0, 0, 0}) + bytes({0, 3, 0, 0, 0, 1}) +
                                          "A" + bytes({0, 2, 0xFF, 0xFF, 0xFF, 0xFF}));

    const MenuEntry &menu = program_.findClass("Leiste")->decl->menus.at(0);
    EXPECT_EQ(menu.stream,
              bytes({0, 0, 0, 0, 0, 5}) + "Datei" + bytes({0, 1, 0, 0, 0, 6}) + "&Datei");
    const MenuEntry &item = menu.children.at(0);
    EXPECT_EQ(item.itemClass, program_.findClass("QuitMenuItem"));
    EXPECT_EQ(item.stream, bytes({0, 0, 0, 0, 0, 4}) + "Ende" + bytes({0, 1, 0, 0, 0, 7}) +
                               "Beenden" + bytes({0, 2, 0, 0, 0, 6}) + "Ctrl+Q");
}

} // namespace
} // namespace kqc
