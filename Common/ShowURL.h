// Opening a web address in the user's web browser (the language's ShowURL).
// Nothing happens, and nothing is reported, when no browser is found.
#pragma once

#include "KESTstring.h"

extern "C" void GlobalShowURL(KESTstring *address);
