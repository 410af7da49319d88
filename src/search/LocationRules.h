#pragma once
// The checks a new location must pass before the locations dialog adds it to
// its list. Both texts are kept exactly as typed, so nothing here trims or
// completes them.

#include <QString>
#include <optional>

// The message that refuses the location, or nullopt when it may be appended
// after `rowCount` rows. Checked in this order: the path's length, the
// description's characters, double quotes in either text (locations.txt has no
// way to write them), and the room left in the list.
std::optional<QString> locationRefusal(const QString& description, const QString& path, int rowCount);
