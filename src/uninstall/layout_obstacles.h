#pragma once
// Where a file about to be installed meets an entry of the other kind left by
// an earlier release: a file standing where one of its folders must go, or a
// folder standing where the file itself must go. Pure; safe on any thread.
#include <functional>
#include <string>

namespace Uninstall {

// Link: a junction or symbolic link, which leads out of the product's folders.
enum class EntryKind { None, File, Folder, Link };

// The kind of the entry at a path relative to the data folder ("a\b").
using EntryKindAt = std::function<EntryKind(const std::string& relativePath)>;

// The relative path of the entry that keeps clientPath from being installed:
// the first of its folders ("a", then "a\b", ...) that is a file, else
// clientPath itself when it is a folder; "" when nothing is in the way or a
// link is on the way (what lies behind one is never the sweep's). "/"
// counts as "\" and empty components are skipped, as when the folders are
// created; the result joins the components with "\".
std::string FindLayoutObstacle(const std::string& clientPath, const EntryKindAt& kindAt);

}  // namespace Uninstall
