#pragma once

#include <QString>
#include <QStringList>

// Checks that the compiled-in bitmap set is complete: every bitmap of the
// catalog is present at its exact size and 24 bits per pixel, and again at
// twice that size, and the icon carries its sizes. Used by the tests and by programs at start-up.

namespace res {

// The resource path of bitmap `id` (drawn at `scale`) and of icon `id`.
QString BitmapResourcePath(unsigned id, int scale = 1);
QString IconResourcePath(unsigned id);

// One line per problem found; empty when the set is complete.
QStringList CheckBitmapSet();

}  // namespace res
