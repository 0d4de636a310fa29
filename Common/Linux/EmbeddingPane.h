// EmbeddingPane: the pane of a container control inside a window. It has no
// widget of its own; the panes of the container's controls are its children
// and stand in the window's fixed container like every other pane. Moving
// the pane moves them with it, resizing it re-lays the locked ones, and
// hiding it hides them (showing it brings back those it hid; hiding it again
// hides the children made in the meantime).
#pragma once

#include "Pane.h"

class EmbeddingPane : public ContainerPane {
  public:
    explicit EmbeddingPane(ContainerPane *parent) : ContainerPane(parent) {}

    void SetRect(const PaneRect &rect) override;
    void SetVisible(bool visible) override;

  private:
    bool mHidden = false;
    SimpleVector<Pane *> mHiddenChildren;
};
