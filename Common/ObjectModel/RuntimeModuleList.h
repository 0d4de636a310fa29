// Every module of the runtime (a class without instances, whose members are
// class-level), one line each. RuntimeInitExternalClasses registers them
// after the classes. The module that declares one (with its `<Name>Definition`
// object) adds its line here.
//
// No include guard: the includer defines KQ_RUNTIME_MODULE(Name) first.

// Text encodings (TextEncodingObject).
KQ_RUNTIME_MODULE(Encodings)
