// Console applications: the `ConsoleApplication` class (an Application whose
// program is its `Run(args() As String) As Integer` event) and the standard
// streams. A console application needs no display: the main loop runs
// without one (DoEvents, timers and threads work), and Run's result is the
// exit status of the process.
#pragma once

#include "RuntimeObject.h"

#include <cstdint>

namespace console {

// RuntimeRun's part for a console application: when the current application
// is one, raises Run with the command-line arguments (the program first),
// keeps its result as the exit status, ends the main loop and returns true.
bool RunConsoleApplication();

} // namespace console

extern "C" {
void ConsoleApplicationInitializer(RuntimeObject *app);
// Registers a console application (a ConsoleApplication when none is given,
// whatever `flag` says) the way RuntimeRegisterAppObject registers a
// windowed one, without needing a display.
void RuntimeRegisterConsoleAppObject(RuntimeObject *app, bool flag);

// Print: the text and a line feed on standard output, in UTF-8.
void RuntimeConsolePrint(KESTstring *text);
// Input: one line of standard input without its line end (empty at the end).
KESTstring *RuntimeConsoleInput(void);

RuntimeObject *RuntimeGetStdIn(void);
RuntimeObject *RuntimeGetStdOut(void);
RuntimeObject *RuntimeGetStdErr(void);
void RuntimeStdOutputStreamWrite(RuntimeObject *stream, KESTstring *text);
void RuntimeStdOutputStreamWriteLine(RuntimeObject *stream, KESTstring *text);
void RuntimeStdOutFlush(RuntimeObject *stream);
int32_t RuntimeStdOutputError(RuntimeObject *stream, int32_t parameter);
KESTstring *RuntimeStdInputRead(RuntimeObject *stream, int32_t count);
KESTstring *RuntimeStdInputReadLine(RuntimeObject *stream);
bool RuntimeStdInputEof(RuntimeObject *stream);
int32_t RuntimeStdInputError(RuntimeObject *stream, int32_t parameter);
}
