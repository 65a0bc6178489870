#pragma once

#include <QString>

// How the copier compares folders: by the paths they resolve to.
namespace kiv_copy_paths {

// The absolute path with every existing part resolved (symbolic links
// followed), so that two spellings of one folder compare equal even before
// it exists.
QString resolvedPath(const QString& path);

// Whether `path` is `folder` or lies inside it; without regard to case where
// the file system ignores it.
bool isSameOrInside(const QString& path, const QString& folder);

} // namespace kiv_copy_paths
