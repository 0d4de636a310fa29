// The pane of an edit field: a single-line GtkEntry, or a GtkTextView in a
// scrolled window when the field is multi-line. Text crosses this interface
// in UTF-8; positions and lengths count characters. The pane reports to its
// EditControlDelegate, and knows nothing of the class model.
//
// A change of the text made through SetText, ReplaceSelection or
// DeleteRange is reported once, as one change, however the widget makes it.
#pragma once

#include "GTKHelper.h"
#include "Pane.h"

#include <string>

class EditControlDelegate : public PaneDelegate {
  public:
    // A key for the focused field after KeyDown let it through: true when
    // the field's mask refuses it.
    virtual bool FilterKey(KESTstring *key);
    virtual void TextChanged();
    virtual void SelectionChanged();
    // Before GotFocus, while the widget shows what it showed unfocused.
    virtual void BeforeFocus();
    // The enabling pass asked the field: after the standard Edit commands.
    virtual void EnableMenuItems();
};

// What the field is made with (it cannot change afterwards).
struct EditControlStyle {
    bool multiLine = false;
    bool border = true;
    bool scrollBarHorizontal = false;
    bool scrollBarVertical = false;
};

class EditControlGTK : public ContainerPane {
  public:
    EditControlGTK(ContainerPane *parent, const EditControlStyle &style);
    ~EditControlGTK() override;

    bool IsMultiLine() const { return mTextView != nullptr; }
    GtkWidget *FocusWidget() const override;

    std::string Text() const;
    void SetText(const std::string &utf8);
    int TextLength() const;
    // The selection (or the insertion point when the length is 0).
    void Selection(int *start, int *length) const;
    void SetSelection(int start, int length);
    std::string SelectedText() const;
    // Replaces the selection and puts the insertion point after it.
    void ReplaceSelection(const std::string &utf8);
    void DeleteRange(int start, int length);
    // The first visible line (multi-line) or the first visible character.
    int ScrollPosition() const;
    void SetScrollPosition(int position);
    void ScrollToEnd();

    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    // Single-line only; a multi-line field ignores these.
    void SetPassword(bool password);
    bool IsPassword() const;
    void SetLimit(int limit);
    // 0 default, 1 left, 2 centre, 3 right.
    void SetAlignment(int alignment);
    void SetColours(uint32_t text, uint32_t back);
    void SetFont(const FontRecord &font);
    void SetAcceptsTabs(bool accepts) { mAcceptsTabs = accepts; }

    // The standard Edit commands.
    void Cut();
    void Copy();
    void Paste();
    void Clear();
    void SelectAll();

    // Key handling: KeyDown first, then the mask.
    bool HandleKeyDown(KESTstring *key) override;
    bool AcceptsTabs() const override { return mAcceptsTabs; }
    void FocusChanged(bool gained) override;
    bool DoMenuCommand(const char *name) override;
    void EnableMenuCommands(MenuCommandEnabler enable, void *context) override;

  private:
    friend struct EditControlSignals;

    EditControlDelegate *EditDelegate() const;
    GtkTextBuffer *Buffer() const;
    // Runs a change of the text with the widget's own reports held back,
    // then reports it once when the text differs.
    template <typename Change>
    void QuietChange(Change change);

    GtkWidget *mEntry = nullptr;    // single-line
    GtkWidget *mTextView = nullptr; // multi-line (inside the scrolled window)
    bool mAcceptsTabs = false;
    int mQuiet = 0;
    int mAlignment = 0;
};
