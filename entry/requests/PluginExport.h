// How the module makes its entry point visible: a .def file names the
// Windows exports; natively every other symbol is hidden.
#ifndef LUMACUT_ENTRY_PLUGIN_EXPORT_H
#define LUMACUT_ENTRY_PLUGIN_EXPORT_H

#if defined(_WIN32)
#define LUMACUT_EXPORT
#else
#define LUMACUT_EXPORT __attribute__((visibility("default")))
#endif

#endif
