// The panes of the simple controls: push buttons, check boxes and radio
// buttons (each with its action), static text labels and group boxes. They
// know GTK+ and their delegates, nothing of the class model.
//
//   CaptionedPane      a pane whose widget shows a caption in a label, with
//                      a font record
//   PushButtonGTK      gtk_button: "activate" and a click inside it are the
//                      action; Default and Cancel roles for the key handling
//   CheckBoxGTK        gtk_check_button: every "toggled" is the action
//   RadioButtonGTK     gtk_radio_button in the group of its parent pane:
//                      "toggled" to active is the action
//   StaticTextGeneric  gtk_label with alignment, wrapping and text colour
//   GroupBoxGTK        gtk_frame with the caption as its label
//
// Radio groups: buttons with the same parent pane in the same window form
// one group. Each group starts with an invisible member (never shown) that
// is active while no visible button is; a group lives while it has visible
// members.
#pragma once

#include "GTKHelper.h"
#include "Pane.h"

// The delegate of the panes that have an action (PushButtonDelegate,
// CheckBoxDelegate and RadioButtonDelegate are this interface): the common
// callbacks and the action itself.
class ActionDelegate : public PaneDelegate {
  public:
    virtual void Action();
};
using PushButtonDelegate = ActionDelegate;
using CheckBoxDelegate = ActionDelegate;
using RadioButtonDelegate = ActionDelegate;

class CaptionedPane : public ContainerPane {
  public:
    explicit CaptionedPane(ContainerPane *parent) : ContainerPane(parent) {}

    // The label that shows the caption (null when there is none yet).
    virtual GtkWidget *Label() const;

    // Sets the caption (with its mnemonic) and the font of the label.
    void SetCaption(KESTstring *caption, const FontRecord &font);
    void SetFont(const FontRecord &font);

    // Tells the delegate of an action (when it is an ActionDelegate).
    void RaiseAction();
};

class PushButtonGTK : public CaptionedPane {
  public:
    explicit PushButtonGTK(ContainerPane *parent);

    // Default marks the widget as able to be the default and grabs the
    // default (False clears the mark); Cancel only records the role.
    void SetDefault(bool isDefault);
    void SetCancel(bool isCancel) { mCancel = isCancel; }

    bool IsDefaultButton() const override { return mDefault; }
    bool IsCancelButton() const override { return mCancel; }
    // Return, Enter, Escape and Push: the action, enabled or not.
    void PressButton() override { RaiseAction(); }

    // A press raises MouseDown; True keeps the button up and sends the
    // release to MouseUp, False lets it go down and a release inside the
    // button is the action.
    PressResult HandleMouseDown(int x, int y, uint16_t modifiers) override;
    void HandleMouseUp(int x, int y) override;

  private:
    bool mDefault = false;
    bool mCancel = false;
    bool mPressTaken = false;
};

class CheckBoxGTK : public CaptionedPane {
  public:
    explicit CheckBoxGTK(ContainerPane *parent);

    bool Value() const;
    // Changes the box; a change is reported as the action.
    void SetValue(bool value);
};

class RadioButtonGTK : public CaptionedPane {
  public:
    // Joins (or starts) the group of its parent pane.
    explicit RadioButtonGTK(ContainerPane *parent);
    ~RadioButtonGTK() override;

    bool Value() const;
    // True makes the button the group's active one; False on the active
    // button activates the invisible member; False on another changes
    // nothing.
    void SetValue(bool value);

    // A new parent pane means another group.
    void SetParent(ContainerPane *parent) override;

  private:
    void JoinGroup();
    void LeaveGroup();
};

// The number of radio groups of the program and the visible members of the
// group of a parent pane (0 when it has none).
namespace radiogroups {
uint32_t Count();
int Members(ContainerPane *key);
} // namespace radiogroups

class StaticTextGeneric : public CaptionedPane {
  public:
    explicit StaticTextGeneric(ContainerPane *parent);

    // 0 left, 1 centred, 2 right; other values change nothing.
    void SetAlignment(int align);
    // Wrapping on or off; a multi-line label stands at the top.
    void SetMultiLine(bool multiLine);
    void SetTextColor(uint32_t rgb);

  private:
    int mAlign = 0;
    bool mMultiLine = false;
};

class GroupBoxGTK : public CaptionedPane {
  public:
    explicit GroupBoxGTK(ContainerPane *parent);
    GtkWidget *Label() const override;
    // Presses on the frame that it does not take reach what lies below.
    bool LetsClicksThrough() const override { return true; }
};
