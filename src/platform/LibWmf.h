#pragma once
// libwmf's player and device interface. Its headers name the fixed-size
// integer types as macros (U16, ...) that clash with identifiers in Qt's
// headers; they are dropped once libwmf's own declarations are read, so this
// header may come before or after any Qt header.

#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/ipa.h>

#undef U32
#undef S32
#undef U16
#undef S16
#undef U8
