// Classes that windows and controls name as the types of their properties
// and event parameters before the modules that implement them exist: each is declared here by
// name only, so that property slots keep their numbers and the runtime
// manifest its types. The module that implements one of them takes its
// declaration from here and gives it its members.
#include "ObjectDefinition.h"

namespace {

#define KQ_FORWARD_CLASS(Name)                                                                     \
    const RuntimeClassDeclaration k##Name##Declaration = {                                         \
        #Name,       nullptr,     sizeof(RuntimeObject), KQ_GUI_ONLY,                              \
        false,       KQ_NO_TABLE, KQ_NO_TABLE,           KQ_NO_TABLE,                              \
        KQ_NO_TABLE, KQ_NO_TABLE, KQ_NO_FUNCTION,        KQ_NO_FUNCTION};

KQ_FORWARD_CLASS(DockItem)
KQ_FORWARD_CLASS(DragItem)

} // namespace

ObjectDefinition DockItemDefinition(&kDockItemDeclaration);
ObjectDefinition DragItemDefinition(&kDragItemDeclaration);
