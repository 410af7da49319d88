#pragma once
// The classic runtime's file numbers for text files written line by line: a
// free number, a file opened for output under it, lines printed to it, and
// the number closed again. One table for the whole program, numbers 1 to 255,
// so a number can be handed from routine to routine as the catalogue pages
// are. A number whose open failed stays closed, and printing to it raises 52.

#include <QString>

namespace runtime {

inline constexpr int MaxFileNumber = 255;

// The lowest number not open; 67 when every number is.
int freeFile();
// Creates the file (a host path) or empties it. Raises 55 when the number is
// open already, 52 for a number outside 1 to 255, and the writer's 76 or 75.
void openForOutput(int number, const QString& hostPath);
// The line and CR LF in the ANSI code page; 52 when the number is not open.
void printLine(int number, const QString& line);
// Closes the number; a number that is not open is passed over.
void closeFile(int number);
bool isFileOpen(int number);

}  // namespace runtime
