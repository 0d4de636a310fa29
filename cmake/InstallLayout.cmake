# Where an installation puts what further applications are built from,
# relative to the prefix. The i386 project installs these files; the host
# tools (bin/kqc, bin/kqlink) find them by default at the same places
# relative to their own folder, so an installation works wherever it is put.
include(GNUInstallDirs)
# kqrun, the runtime executable that kqlink --package copies: an i386
# program no user starts directly, kept apart from the host's libraries.
set(KQ_INSTALL_RUNTIME_DIR lib/pillwerk)
# runtime.manifest, the runtime's classes and functions that kqc reads.
set(KQ_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/pillwerk)
# The plug-in libraries that kqlink puts into images, each with the manifest
# of its classes beside it (libX.so, libX.manifest) for kqc: the manifest
# gives the instance sizes of this build of the library, so the two stay
# together.
set(KQ_INSTALL_PLUGIN_DIR ${KQ_INSTALL_RUNTIME_DIR}/plugins)
