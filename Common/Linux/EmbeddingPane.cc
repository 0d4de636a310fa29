// The pane of a container control (see EmbeddingPane.h).
#include "EmbeddingPane.h"

void EmbeddingPane::SetRect(const PaneRect &rect) {
    int dx = rect.left - mRect.left, dy = rect.top - mRect.top;
    if (dx != 0 || dy != 0) {
        for (uint32_t i = 0; i < ChildCount(); ++i) {
            Pane *child = Child(i);
            PaneRect r = child->Rect();
            r.left = int16_t(r.left + dx), r.right = int16_t(r.right + dx);
            r.top = int16_t(r.top + dy), r.bottom = int16_t(r.bottom + dy);
            child->SetRect(r);
        }
    }
    // The previous rectangle moves along, so that only a change of size
    // re-lays the locked children.
    mPreviousRect.left = int16_t(mPreviousRect.left + dx);
    mPreviousRect.right = int16_t(mPreviousRect.right + dx);
    mPreviousRect.top = int16_t(mPreviousRect.top + dy);
    mPreviousRect.bottom = int16_t(mPreviousRect.bottom + dy);
    ContainerPane::SetRect(rect);
}

void EmbeddingPane::SetVisible(bool visible) {
    // Hiding again also hides the children made since the last time.
    if (visible && !mHidden) return;
    mHidden = !visible;
    if (!visible) {
        for (uint32_t i = 0; i < ChildCount(); ++i) {
            Pane *child = Child(i);
            auto *embedded = dynamic_cast<EmbeddingPane *>(child);
            if (embedded != nullptr ? embedded->mHidden : !child->IsVisible()) continue;
            mHiddenChildren.Append(child);
            child->SetVisible(false);
        }
        return;
    }
    for (uint32_t i = 0; i < ChildCount(); ++i)
        for (uint32_t h = 0; h < mHiddenChildren.Count(); ++h)
            if (mHiddenChildren[h] == Child(i)) Child(i)->SetVisible(true);
    mHiddenChildren.Clear();
}
