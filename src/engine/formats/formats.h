// The descriptor of each format, defined in the format's own file; the table
// of them all is in format.cpp.
#pragma once

#include "engine/formats/format.h"

namespace zv {

extern const FormatDescriptor kTmPlayerFormat;
extern const FormatDescriptor kTmPlayerShortFormat;
extern const FormatDescriptor kMicroDvdFormat;
extern const FormatDescriptor kMpl2Format;
extern const FormatDescriptor kSubRipFormat;
extern const FormatDescriptor kSubViewer1Format;
extern const FormatDescriptor kSsaFormat;
extern const FormatDescriptor kSubViewer2Format;

} // namespace zv
