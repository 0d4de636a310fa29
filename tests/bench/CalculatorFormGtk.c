/* The calculator's main window in plain GTK+ 2 (see CalculatorFormGtk.h). */
#include "CalculatorFormGtk.h"

#include <string.h>

typedef enum { kEntry, kLabel, kButton, kRadio, kArrows } Kind;

enum {
    kDisabled = 1,
    kLeftAligned = 2,
    kDefault = 4,
    kCancel = 8,
    kActive = 16,
    kBold = 32,
    kUnderlined = 64,
    kRed = 128,
    kWrapped = 256
};

typedef struct {
    const char *name;
    Kind kind;
    int left, top, width, height;
    const char *text;
    int size; /* the window's font size; the widget gets it less two points */
    int flags;
} Control;

static const Control kControls[kCalculatorFormControls] = {
    {"AEKField", kEntry, 20, 38, 80, 22, "", 12, 0},
    {"StaticText1", kLabel, 20, 12, 30, 20, "AEK", 12, 0},
    {"AufschlagField", kEntry, 125, 38, 80, 22, "", 12, 0},
    {"AVKField", kEntry, 20, 162, 80, 22, "", 12, 0},
    {"StaticText3", kLabel, 125, 12, 64, 20, "Aufschlag", 12, 0},
    {"StaticText4", kLabel, 20, 136, 30, 20, "AVK", 12, 0},
    {"OKButton", kButton, 486, 406, 81, 20, "Berechne", 12, kDefault},
    {"PushButton2", kButton, 410, 406, 69, 20, "Neu", 12, 0},
    {"CancalButton", kButton, 20, 406, 69, 20, "Abbruch", 12, kCancel},
    {"RohgewinnField", kEntry, 125, 223, 80, 22, "", 12, 0},
    {"AnzahlField", kEntry, 125, 92, 80, 22, "", 12, 0},
    {"SpanneField", kEntry, 240, 38, 80, 22, "", 12, kDisabled},
    {"TextSpanne", kLabel, 240, 12, 64, 20, "Spanne", 12, 0},
    {"TextAnzahl", kLabel, 125, 67, 64, 20, "Anzahl", 12, 0},
    {"TextRohgewinn", kLabel, 125, 197, 135, 20, "Rohgewinn ohne Veränderung", 9, 0},
    {"USTField", kEntry, 448, 38, 80, 22, "", 12, kDisabled},
    {"radioUst16", kRadio, 115, 315, 52, 20, "16%", 12, 0},
    {"radioUst7", kRadio, 179, 315, 56, 20, "7%", 12, 0},
    {"textUst", kLabel, 448, 12, 30, 20, "ust", 12, 0},
    {"AnderungField", kEntry, 125, 162, 80, 22, "", 12, 0},
    {"TextAnderung", kLabel, 125, 136, 107, 20, "Veränderung %", 12, 0},
    {"nettoField", kEntry, 347, 38, 80, 22, "", 12, kDisabled},
    {"StaticText5", kLabel, 140, 409, 115, 20, "Kontakt zum Projekt", 9, kUnderlined | kRed},
    {"StaticText6", kLabel, 262, 409, 56, 20, "pillwerk", 9, kUnderlined | kRed},
    {"TextNetto", kLabel, 347, 14, 69, 20, "netto", 12, 0},
    {"GHRabattField", kEntry, 239, 92, 80, 22, "", 12, kLeftAligned},
    {"GHText", kLabel, 239, 67, 75, 20, "GH-Rabatt", 12, 0},
    {"HerstellerField", kEntry, 346, 93, 80, 22, "", 12, kLeftAligned},
    {"HerstellerText", kLabel, 346, 67, 100, 20, "Hersteller-Rabatt", 11, 0},
    {"RohgewinnNeuField", kEntry, 125, 268, 80, 22, "", 12, 0},
    {"RohgewinnNeuText", kLabel, 129, 251, 126, 14, "Rohgewinn nach Änderung", 9, 0},
    {"StaticText2", kLabel, 490, 320, 75, 20, "Pari-Faktor", 12, 0},
    {"avklittle", kArrows, 209, 162, 13, 23, NULL, 0, 0},
    {"Aufschlaglittle", kArrows, 209, 37, 13, 23, NULL, 0, 0},
    {"AnzahlLittle", kArrows, 209, 92, 13, 23, NULL, 0, 0},
    {"GHLittle", kArrows, 321, 92, 13, 23, NULL, 0, 0},
    {"HerstellerLittle", kArrows, 433, 93, 13, 23, NULL, 0, 0},
    {"AVKNettotext", kLabel, 20, 67, 84, 20, "AEK NettoNetto", 11, 0},
    {"AVKNeuField", kEntry, 278, 162, 80, 22, "", 12, kLeftAligned},
    {"AVKNeuText", kLabel, 278, 136, 66, 20, "AVK neu", 12, 0},
    {"StaticText7", kLabel, 271, 247, 100, 20, "Rohgewinnänderung", 10, 0},
    {"PariText", kLabel, 26, 347, 591, 50, "", 11, kBold | kWrapped},
    {"RohgewinnAnderungText", kLabel, 271, 269, 100, 20, "", 12, 0},
    {"AEKNettoText", kLabel, 20, 94, 93, 20, "", 12, 0},
    {"radioUst19", kRadio, 55, 315, 52, 20, "19%", 12, kActive},
};

typedef struct {
    const char *title;
    const char *items[7][2]; /* text ("-": separator) and accelerator */
} Menu;

static const Menu kMenus[] = {
    {"_Datei", {{"Beenden", "<Control>q"}}},
    {"_Bearbeiten",
     {{"Undo", "<Control>z"},
      {"-", NULL},
      {"Ausschneiden", "<Control>x"},
      {"Kopieren", "<Control>c"},
      {"Einfügen", "<Control>v"},
      {"Löschen", NULL}}},
    {"Fenster",
     {{"DAR-Ozorado", NULL}, {"16% auf 19%", NULL}, {"-", NULL}, {"Über DAR-Ozorado", NULL}}},
};

/* The stepper: an up and a down arrow in the two halves of its area. */
static gboolean DrawArrows(GtkWidget *area, GdkEventExpose *event, gpointer unused) {
    (void)unused;
    GtkAllocation size;
    gtk_widget_get_allocation(area, &size);
    int half = size.height / 2;
    gtk_paint_arrow(area->style, area->window, GTK_STATE_NORMAL, GTK_SHADOW_OUT, &event->area, area,
                    "arrow", GTK_ARROW_UP, TRUE, 0, 0, size.width, half);
    gtk_paint_arrow(area->style, area->window, GTK_STATE_NORMAL, GTK_SHADOW_OUT, &event->area, area,
                    "arrow", GTK_ARROW_DOWN, TRUE, 0, half, size.width, size.height - half);
    return TRUE;
}

static GtkWidget *MenuBar(GtkAccelGroup *accelerators) {
    GtkWidget *bar = gtk_menu_bar_new();
    for (size_t m = 0; m < sizeof kMenus / sizeof kMenus[0]; ++m) {
        GtkWidget *title = gtk_menu_item_new_with_mnemonic(kMenus[m].title);
        GtkWidget *menu = gtk_menu_new();
        for (int i = 0; i < 7 && kMenus[m].items[i][0] != NULL; ++i) {
            const char *text = kMenus[m].items[i][0], *shortcut = kMenus[m].items[i][1];
            GtkWidget *item = strcmp(text, "-") == 0 ? gtk_separator_menu_item_new()
                                                     : gtk_image_menu_item_new_with_label(text);
            if (shortcut != NULL) {
                guint key;
                GdkModifierType modifiers;
                gtk_accelerator_parse(shortcut, &key, &modifiers);
                gtk_widget_add_accelerator(item, "activate", accelerators, key, modifiers,
                                           GTK_ACCEL_VISIBLE);
            }
            gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
        }
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(title), menu);
        gtk_menu_shell_append(GTK_MENU_SHELL(bar), title);
    }
    return bar;
}

static void SetFont(GtkWidget *widget, const Control *c, const char *family) {
    PangoFontDescription *font = pango_font_description_from_string(family);
    pango_font_description_set_size(font, (c->size - 2) * PANGO_SCALE);
    if (c->flags & kBold) pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
    gtk_widget_modify_font(widget, font);
    pango_font_description_free(font);
}

static GtkWidget *NewControl(const Control *c, GSList **radioGroup, const char *family) {
    GtkWidget *widget = NULL;
    switch (c->kind) {
    case kEntry:
        widget = gtk_entry_new();
        gtk_entry_set_alignment(GTK_ENTRY(widget), (c->flags & kLeftAligned) ? 0.0f : 1.0f);
        gtk_widget_set_sensitive(widget, !(c->flags & kDisabled));
        break;
    case kLabel:
        widget = gtk_label_new(c->text);
        gtk_misc_set_alignment(GTK_MISC(widget), 0.0f, (c->flags & kWrapped) ? 0.0f : 0.5f);
        gtk_label_set_line_wrap(GTK_LABEL(widget), (c->flags & kWrapped) != 0);
        if (c->flags & kUnderlined) {
            char pattern[64];
            glong length = g_utf8_strlen(c->text, -1);
            memset(pattern, '_', (size_t)length);
            pattern[length] = 0;
            gtk_label_set_pattern(GTK_LABEL(widget), pattern);
        }
        if (c->flags & kRed) {
            GdkColor red = {0, 0xFFFF, 0, 0};
            gtk_widget_modify_fg(widget, GTK_STATE_NORMAL, &red);
        }
        break;
    case kButton:
        widget = gtk_button_new_with_label(c->text);
        if (c->flags & kDefault) gtk_widget_set_can_default(widget, TRUE);
        break;
    case kRadio:
        widget = gtk_radio_button_new_with_label(*radioGroup, c->text);
        *radioGroup = gtk_radio_button_get_group(GTK_RADIO_BUTTON(widget));
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), (c->flags & kActive) != 0);
        break;
    case kArrows:
        widget = gtk_drawing_area_new();
        g_signal_connect(widget, "expose-event", G_CALLBACK(DrawArrows), NULL);
        return widget;
    }
    GtkWidget *texts = GTK_IS_BIN(widget) ? gtk_bin_get_child(GTK_BIN(widget)) : widget;
    SetFont(texts, c, family);
    return widget;
}

void calculator_form_build(CalculatorForm *form) {
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "DAR-Ozorado pillwerk");
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    GtkAccelGroup *accelerators = gtk_accel_group_new();
    gtk_window_add_accel_group(GTK_WINDOW(window), accelerators);
    g_object_unref(accelerators);

    GtkWidget *box = gtk_vbox_new(FALSE, 0);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_box_pack_start(GTK_BOX(box), MenuBar(accelerators), FALSE, TRUE, 0);
    GtkWidget *fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, 637, 446);
    gtk_box_pack_end(GTK_BOX(box), fixed, TRUE, TRUE, 0);

    /* The family of the desktop's font, as the calculator's "System" is. */
    gchar *desktopFont = NULL;
    g_object_get(gtk_widget_get_settings(window), "gtk-font-name", &desktopFont, NULL);
    PangoFontDescription *desktop = pango_font_description_from_string(desktopFont);
    const char *family = pango_font_description_get_family(desktop);

    GSList *radioGroup = NULL;
    form->window = window;
    for (int i = 0; i < kCalculatorFormControls; ++i) {
        const Control *c = &kControls[i];
        GtkWidget *widget = NewControl(c, &radioGroup, family != NULL ? family : "Sans");
        gtk_fixed_put(GTK_FIXED(fixed), widget, c->left, c->top);
        gtk_widget_set_size_request(widget, c->width, c->height);
        form->names[i] = c->name;
        form->widgets[i] = widget;
        if (c->flags & kDefault) gtk_window_set_default(GTK_WINDOW(window), widget);
    }
    pango_font_description_free(desktop);
    g_free(desktopFont);
}

GtkWidget *calculator_form_widget(const CalculatorForm *form, const char *name) {
    for (int i = 0; i < kCalculatorFormControls; ++i)
        if (strcmp(form->names[i], name) == 0) return form->widgets[i];
    return NULL;
}
