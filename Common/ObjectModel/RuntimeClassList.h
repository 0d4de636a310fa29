// Every class of the runtime, one line each, superclasses before their
// subclasses. This list is the one place that names them all: the runtime
// manifest for the compiler and the registration of intrinsic classes walk
// it. The module that declares a class (with its `<Name>Definition` object)
// adds its line here.
//
// No include guard: the includer defines KQ_RUNTIME_CLASS(Name) first.

// Exceptions (RuntimeExceptionFoundation).
KQ_RUNTIME_CLASS(RuntimeException)
#define KQ_EXCEPTION_CLASS(Name) KQ_RUNTIME_CLASS(Name)
#include "ExceptionClassList.h"
#undef KQ_EXCEPTION_CLASS

// Text encodings (TextEncodingObject).
KQ_RUNTIME_CLASS(TextEncoding)
KQ_RUNTIME_CLASS(TextConverter)

// The view of the live objects (RuntimeDebugObject).
KQ_RUNTIME_CLASS(Runtime)

// The boxing classes of variants (BoxingClasses) and the dictionary
// (Dictionary).
KQ_RUNTIME_CLASS(Int32Object)
KQ_RUNTIME_CLASS(UInt32Object)
KQ_RUNTIME_CLASS(Int64Object)
KQ_RUNTIME_CLASS(UInt64Object)
KQ_RUNTIME_CLASS(SingleObject)
KQ_RUNTIME_CLASS(DoubleObject)
KQ_RUNTIME_CLASS(BooleanObject)
KQ_RUNTIME_CLASS(ColorObject)
KQ_RUNTIME_CLASS(CurrencyObject)
KQ_RUNTIME_CLASS(StringObject)
KQ_RUNTIME_CLASS(Dictionary)

// Threads, their locks and timers (Common/ClassLib).
KQ_RUNTIME_CLASS(Thread)
KQ_RUNTIME_CLASS(Semaphore)
KQ_RUNTIME_CLASS(CriticalSection)
KQ_RUNTIME_CLASS(Mutex)
KQ_RUNTIME_CLASS(actionNotificationReceiver)
KQ_RUNTIME_CLASS(actionSource)
KQ_RUNTIME_CLASS(Timer)

// The application, keyboard and mouse cursors.
KQ_RUNTIME_CLASS(MouseCursor)
KQ_RUNTIME_CLASS(MDIWindow)
KQ_RUNTIME_CLASS(_Pollable)
KQ_RUNTIME_CLASS(Application)
KQ_RUNTIME_CLASS(_Keyboard)

// Console programs.
KQ_RUNTIME_CLASS(ConsoleApplication)
KQ_RUNTIME_CLASS(StandardOutputStream)
KQ_RUNTIME_CLASS(StandardInputStream)

// Windows and the control base (Common/ClassLib, Common/runctl), and the
// classes they name as types (ForwardClasses).
KQ_RUNTIME_CLASS(Picture)
KQ_RUNTIME_CLASS(Graphics)
KQ_RUNTIME_CLASS(DockItem)
KQ_RUNTIME_CLASS(DragItem)
// Menus (MenuItemClass).
KQ_RUNTIME_CLASS(MenuItem)
KQ_RUNTIME_CLASS(MenuBar)
KQ_RUNTIME_CLASS(QuitMenuItem)
KQ_RUNTIME_CLASS(PrefsMenuItem)
KQ_RUNTIME_CLASS(Window)
// Message dialogs (MessageDialogClass).
KQ_RUNTIME_CLASS(MessageDialogButton)
KQ_RUNTIME_CLASS(_ActionButton)
KQ_RUNTIME_CLASS(_CancelButton)
KQ_RUNTIME_CLASS(_AlternateActionButton)
KQ_RUNTIME_CLASS(MessageDialog)
KQ_RUNTIME_CLASS(Control)
KQ_RUNTIME_CLASS(RectControl)
KQ_RUNTIME_CLASS(_PaneChild)

// Drawing: the canvas control (Common/ClassLib/Canvas); Picture and Graphics
// are declared with the window classes above.
KQ_RUNTIME_CLASS(Canvas)

// Container controls, window-like classes placed in other windows, and the
// controls that stand for them there (Common/ClassLib/ContainerControl).
KQ_RUNTIME_CLASS(ContainerControl)
KQ_RUNTIME_CLASS(EmbeddedWindowControl)

// The standard controls (Common/runButtons, runStaticText, runEditControl).
KQ_RUNTIME_CLASS(PushButton)
KQ_RUNTIME_CLASS(CheckBox)
KQ_RUNTIME_CLASS(RadioButton)
KQ_RUNTIME_CLASS(StaticText)
KQ_RUNTIME_CLASS(GroupBox)
KQ_RUNTIME_CLASS(EditField)
