#pragma once

#include <string>
#include <string_view>

#include "platform/services/platform_services.h"

// Writing one item of the embedded file set (or any custom resource) to a
// path on a recorder's share or on C:.
namespace ostrel::addons {

// 1 when the last InstallEmbeddedFile did not install its item, 0 when it did.
extern int LastWriteFailed;

// The bytes of custom resource `id` (its low 16 bits) of type `typeName`
// (letter case ignored), straight from the program's resources; empty when
// there is none.
std::string_view FindEmbeddedResource(const std::string& typeName, unsigned id);

// Writes the resource to `path`: up to six default-credential connections of
// the path (their outcome does not matter), one create-or-truncate write of
// every byte (an empty file for a missing resource). A path holding "C:\"
// is a local staging copy: `finalPath` is deleted, the copy moved there
// (copy without overwriting, then delete the copy) and checked instead.
// True, with LastWriteFailed 0, only when the write took every byte, the
// move (if any) succeeded and the file exists at the end; else false and 1.
// A failed write never counts as installed, not even over a file of the same
// name left by an earlier run; a failed staging write leaves `finalPath` alone.
bool InstallEmbeddedFile(platform::PlatformServices& services, const std::string& typeName, int id,
                         const std::string& path, const std::string& finalPath);

}  // namespace ostrel::addons
