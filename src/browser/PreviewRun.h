#pragma once
// The folder thumbnail run's name filter, its error rules and its mouse
// pointer, apart from the window so they can be checked alone.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// The run's pictures among a folder's names, in the order given: the last
// three characters, lower cased, are "bmp", "gif", "jpg", "wmf", "emf" or
// "cdr" (so "x.jpeg" is left out and "abmp" is taken). The list ends at the
// first empty name.
QStringList picturesToProcess(const std::vector<QString>& names);

// The screen's mouse pointer while a thumbnail is made: 13 (arrow and
// hourglass) or 0 (the default). Setting the same shape twice changes nothing.
void setRunMousePointer(int shape);

// The automation servers' unspecified failure, which the run retries with
// messages pumped, at most MaxUnspecifiedRetries times in one statement.
inline constexpr int UnspecifiedFailure = static_cast<int>(0x80004005);
inline constexpr int MaxUnspecifiedRetries = 100;
// The drawing conversion's own error, passed over in its CorelDRAW stage.
inline constexpr int ConversionError = 1000;

// What the run does about a runtime error of one of its statements.
enum class RunErrorAction {
    Retry,           // pump messages and run the statement again
    SkipPicture,     // the file gets no cell; the run goes on
    GoOn,            // the next statement runs
    End,             // the run ends without a message, cleaned up
    EndWithMessage,  // "Preview Error: " & number & " " & description, then as End
};
// `retries` counts the statement's earlier retries; `stopAsked` is true while
// StopFlag or PreviewStop is set, which silences the message.
RunErrorAction runErrorAction(int number, int retries, std::int16_t ConvertStage, bool stopAsked);
