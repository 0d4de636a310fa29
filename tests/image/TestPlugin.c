/* A plug-in library for the image tests: its entry function reports what it
   was given, through the C library of the process. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef void *(*Lookup)(const char *name);

void KESTPluginMain(Lookup lookup) {
    const char *path = getenv("KQPLUGINPATH");
    const char *suffix = "_libKQTestPlugin.so";
    size_t n = path != NULL ? strlen(path) : 0;
    int named = n > strlen(suffix) && strcmp(path + n - strlen(suffix), suffix) == 0;
    char magic[4] = {0};
    FILE *f = path != NULL ? fopen(path, "rb") : NULL;
    if (f != NULL) {
        if (fread(magic, 1, 4, f) != 4) magic[0] = 0;
        fclose(f);
    }
    printf("plugin: path %s, file %s, RuntimeInit %s, NoSuchEntryPoint %s\n",
           named ? "named" : "unnamed", memcmp(magic, "\177ELF", 4) == 0 ? "ELF" : "missing",
           lookup("RuntimeInit") != NULL ? "found" : "missing",
           lookup("NoSuchEntryPoint") != NULL ? "found" : "missing");
}
