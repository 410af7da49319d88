#pragma once
// The send queue of the peer exchange and the search window's 100 ms timer.
// The client's messages wait in ListSearch.SendQ and go out over IPClient one
// at a time, each only after the one sent before has been answered (stop and
// wait). Once the program is closing, the timer instead finishes a shutdown
// that waited for a rescan, and queued messages stay unsent.

#include <QString>

class QTimer;
class SearchForm;

// Queues the message after SendQTail. A run has room for 1000 messages; a
// message beyond them is dropped and false returned.
bool queueMessage(const QString& message);
// Any reply answers the message sent last.
void answerLastSent();
// True while queued messages wait to be sent.
bool messagesWaiting();
// Starts the timer unless it runs already, which would put its next tick off.
void enableTimer(QTimer& timer);

void SndQTime_Timer(SearchForm& form);
