#pragma once
// How the options dialog turns its "Local Data Folder:" field into the data
// folder it stores: never empty, always ending with a backslash.

#include <QString>

// An empty field gives the program's folder; a backslash is added when the
// value does not end with one ("C:\Data" -> "C:\Data\", "C:\Data\" unchanged).
QString dataFolderFromField(const QString& field);
