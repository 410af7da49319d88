#include "exchange/SndQTime.h"

#include "exchange/PeerExchange.h"
#include "platform/Forms.h"
#include "platform/Winsock.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"

#include <QTimer>

namespace {

const QString SendString = QStringLiteral("sndstr");
constexpr int Sending = 2;

// Waits while a rescan runs; then closes the remaining windows and the
// search window, which ends the program.
void quitBranch(SearchForm& form)
{
    if (ListSearch.RescanBusy)
        return;
    for (const char* name : {"frmSplash", "ListOptions", "LocalLoc", "Progress", "ImgPre", "Browser"})
        platform::Forms::unload(name);
    form.SndQTime->stop();
    form.completeShutdown();
}

// Sends the next message once the one sent last is answered.
void sendBranch(SearchForm& form)
{
    if (!messagesWaiting()) {
        form.SndQTime->stop();
        return;
    }
    if (ListSearch.SendQ[ListSearch.SendQHead].State != 0)
        return;
    SendQItem& item = ListSearch.SendQ[++ListSearch.SendQHead];
    item.State = Sending;
    if (item.Cmd != SendString)
        return;
    form.SndQTime->stop();
    try {
        peerExchange(form).IPClient->SendData(item.Data);
    } catch (const runtime::RuntimeError&) {
        // The connection is gone: the item stays unanswered, which stops the exchange.
    }
}

}  // namespace

bool queueMessage(const QString& message)
{
    if (ListSearch.SendQTail >= SendQSize - 1)
        return false;
    SendQItem& item = ListSearch.SendQ[ListSearch.SendQTail + 1];
    item.Cmd = SendString;
    item.Data = message;
    ++ListSearch.SendQTail;
    return true;
}

void answerLastSent() { ListSearch.SendQ[ListSearch.SendQHead].State = 0; }

bool messagesWaiting() { return ListSearch.SendQHead < ListSearch.SendQTail; }

void enableTimer(QTimer& timer)
{
    if (!timer.isActive())
        timer.start();
}

void SndQTime_Timer(SearchForm& form)
{
    if (ListSearch.QuitFlag)
        quitBranch(form);
    else
        sendBranch(form);
}
