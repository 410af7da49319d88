#pragma once
// The folder thumbnail run's name filter and its mouse pointer, apart from the
// window so they can be checked alone.

#include <QString>
#include <QStringList>
#include <vector>

// The run's pictures among a folder's names, in the order given: the last
// three characters, lower cased, are "bmp", "gif", "jpg", "wmf", "emf" or
// "cdr" (so "x.jpeg" is left out and "abmp" is taken). The list ends at the
// first empty name.
QStringList picturesToProcess(const std::vector<QString>& names);

// The screen's mouse pointer while a thumbnail is made: 13 (arrow and
// hourglass) or 0 (the default). Setting the same shape twice changes nothing.
void setRunMousePointer(int shape);
