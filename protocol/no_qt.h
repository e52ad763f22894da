#pragma once

// Included first by every protocol header. The protocol library is plain C++
// and POSIX so that the command line and the tests can use it without Qt: its
// target has no Qt include path, and a Qt header that slips into one of its own
// sources before this one stops the build here.
#if defined(OSTREL_PROTOCOL_BUILD) && (defined(QT_VERSION) || defined(QT_CORE_LIB) || \
                                       defined(QT_GUI_LIB) || defined(QT_WIDGETS_LIB))
#error "The protocol library must not use Qt."
#endif
