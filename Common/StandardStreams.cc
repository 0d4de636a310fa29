// Print, Input and the standard streams of console programs: objects of
// StandardOutputStream (standard output or standard error) and
// StandardInputStream. Text goes out in UTF-8 and comes in marked as UTF-8;
// each stream object keeps the error number of its last failed operation.
#include "ConsoleApplication.h"

#include "ObjectDefinition.h"
#include "RuntimeException.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace {

struct StreamObject {
    RuntimeObject header;
    int32_t which;     // 0 standard input, 1 standard output, 2 standard error
    int32_t lastError; // errno of the last failed operation, 0 when none
};
static_assert(offsetof(StreamObject, which) == 24, "StandardStream.which");
static_assert(offsetof(StreamObject, lastError) == 28, "StandardStream.lastError");

StreamObject *StreamOf(RuntimeObject *object) {
    if (object == nullptr) RaiseNilObjectException();
    return reinterpret_cast<StreamObject *>(object);
}

FILE *FileOf(const StreamObject *s) {
    return s->which == 0 ? stdin : s->which == 1 ? stdout : stderr;
}

// Writes the text (in UTF-8) and, when asked, a line feed; the error number
// of a failure, or 0.
int Write(FILE *file, KESTstring *text, bool lineEnd) {
    KESTstring *utf8 = kstr::ToUTF8(text);
    uint32_t length = kstr::Length(utf8);
    bool ok = std::fwrite(kstr::Text(utf8), 1, length, file) == length &&
              (!lineEnd || std::fputc('\n', file) != EOF);
    RuntimeUnlockString(utf8);
    return ok ? 0 : errno;
}

// One line without its line end; null at the end of the input or for an
// empty line. `*error` receives the error number of a failed read.
KESTstring *ReadLine(FILE *file, int *error) {
    char *line = nullptr;
    size_t capacity = 0;
    errno = 0;
    ssize_t length = getline(&line, &capacity, file);
    *error = length < 0 && std::ferror(file) ? errno : 0;
    KESTstring *text = nullptr;
    if (length > 0) {
        if (line[length - 1] == '\n') --length;
        if (length > 0 && line[length - 1] == '\r') --length;
        text = kstr::Make(line, uint32_t(length), kEncodingUTF8);
    }
    std::free(line);
    return text;
}

RuntimeObject *NewStream(ObjectDefinition *defn, int32_t which) {
    RuntimeObject *object = definitions::Instantiate(defn);
    if (object != nullptr) reinterpret_cast<StreamObject *>(object)->which = which;
    return object;
}

const ParameterEntry kTextParameters[] = {KQ_PARAMETER("text", &kTypeString)};
const ParameterEntry kCountParameters[] = {KQ_PARAMETER("count", &kTypeInteger)};

const PropertyEntry kOutputProperties[] = {
    KQ_READONLY_PROPERTY("LastErrorCode", &kTypeInteger, RuntimeStdOutputError, 0),
};
const MethodEntry kOutputMethods[] = {
    KQ_METHOD("Write", nullptr, KQ_TABLE(kTextParameters), RuntimeStdOutputStreamWrite),
    KQ_METHOD("WriteLine", nullptr, KQ_TABLE(kTextParameters), RuntimeStdOutputStreamWriteLine),
    KQ_METHOD("Flush", nullptr, KQ_NO_TABLE, RuntimeStdOutFlush),
};
const RuntimeClassDeclaration kOutputDeclaration = {"StandardOutputStream",
                                                    nullptr,
                                                    sizeof(StreamObject),
                                                    KQ_ANYWHERE,
                                                    false,
                                                    KQ_TABLE(kOutputProperties),
                                                    KQ_TABLE(kOutputMethods),
                                                    KQ_NO_TABLE,
                                                    KQ_NO_TABLE,
                                                    KQ_NO_TABLE,
                                                    KQ_NO_FUNCTION,
                                                    KQ_NO_FUNCTION};

const PropertyEntry kInputProperties[] = {
    KQ_READONLY_PROPERTY("LastErrorCode", &kTypeInteger, RuntimeStdInputError, 0),
};
const MethodEntry kInputMethods[] = {
    KQ_METHOD("Read", &kTypeString, KQ_TABLE(kCountParameters), RuntimeStdInputRead),
    KQ_METHOD("ReadLine", &kTypeString, KQ_NO_TABLE, RuntimeStdInputReadLine),
    KQ_METHOD("EOF", &kTypeBoolean, KQ_NO_TABLE, RuntimeStdInputEof),
};
const RuntimeClassDeclaration kInputDeclaration = {"StandardInputStream",
                                                   nullptr,
                                                   sizeof(StreamObject),
                                                   KQ_ANYWHERE,
                                                   false,
                                                   KQ_TABLE(kInputProperties),
                                                   KQ_TABLE(kInputMethods),
                                                   KQ_NO_TABLE,
                                                   KQ_NO_TABLE,
                                                   KQ_NO_TABLE,
                                                   KQ_NO_FUNCTION,
                                                   KQ_NO_FUNCTION};

} // namespace

ObjectDefinition StandardOutputStreamDefinition(&kOutputDeclaration);
ObjectDefinition StandardInputStreamDefinition(&kInputDeclaration);

extern "C" {

void RuntimeConsolePrint(KESTstring *text) {
    Write(stdout, text, true);
}

KESTstring *RuntimeConsoleInput(void) {
    std::fflush(stdout); // a prompt written with Write shows before the wait
    int error;
    return ReadLine(stdin, &error);
}

RuntimeObject *RuntimeGetStdIn(void) {
    return NewStream(&StandardInputStreamDefinition, 0);
}

RuntimeObject *RuntimeGetStdOut(void) {
    return NewStream(&StandardOutputStreamDefinition, 1);
}

RuntimeObject *RuntimeGetStdErr(void) {
    return NewStream(&StandardOutputStreamDefinition, 2);
}

void RuntimeStdOutputStreamWrite(RuntimeObject *object, KESTstring *text) {
    if (StreamObject *s = StreamOf(object)) s->lastError = Write(FileOf(s), text, false);
}

void RuntimeStdOutputStreamWriteLine(RuntimeObject *object, KESTstring *text) {
    if (StreamObject *s = StreamOf(object)) s->lastError = Write(FileOf(s), text, true);
}

void RuntimeStdOutFlush(RuntimeObject *object) {
    if (StreamObject *s = StreamOf(object)) s->lastError = std::fflush(FileOf(s)) == 0 ? 0 : errno;
}

int32_t RuntimeStdOutputError(RuntimeObject *object, int32_t) {
    StreamObject *s = StreamOf(object);
    return s != nullptr ? s->lastError : 0;
}

KESTstring *RuntimeStdInputRead(RuntimeObject *object, int32_t count) {
    StreamObject *s = StreamOf(object);
    if (s == nullptr || count <= 0) return nullptr;
    KESTstring *text = kstr::New(uint32_t(count), kEncodingUTF8);
    if (text == nullptr) return nullptr;
    size_t got = std::fread(text->text + 1, 1, size_t(count), stdin);
    s->lastError = std::ferror(stdin) ? errno : 0;
    if (got == size_t(count)) return text;
    KESTstring *part = kstr::Make(text->text + 1, uint32_t(got), kEncodingUTF8);
    RuntimeUnlockString(text);
    return part;
}

KESTstring *RuntimeStdInputReadLine(RuntimeObject *object) {
    StreamObject *s = StreamOf(object);
    if (s == nullptr) return nullptr;
    int error;
    KESTstring *line = ReadLine(stdin, &error);
    s->lastError = error;
    return line;
}

bool RuntimeStdInputEof(RuntimeObject *object) {
    if (StreamOf(object) == nullptr) return true;
    int c = std::getc(stdin);
    if (c == EOF) return true;
    std::ungetc(c, stdin);
    return false;
}

int32_t RuntimeStdInputError(RuntimeObject *object, int32_t) {
    StreamObject *s = StreamOf(object);
    return s != nullptr ? s->lastError : 0;
}

} // extern "C"
