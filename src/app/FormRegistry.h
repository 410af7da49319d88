#pragma once
// Every window of the program, registered by name in the forms collection.

#include <QString>

// `commandLine` is the whole argument text the program was started with; the
// search window takes its listing from it.
void registerForms(const QString& commandLine);
