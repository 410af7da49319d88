#include "browser/Disp.h"

#include "platform/Forms.h"
#include "platform/Pump.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"

#include <QLabel>
#include <QPushButton>

Disp::Disp(QWidget* parent) : platform::FormWindow(parent)
{
    setupControls();
    connect(Abort, &QPushButton::clicked, this, &Disp::Abort_Click);
}

void Disp::setupControls()
{
    setWindowTitle(QStringLiteral("Batch Progress"));
    setClientSize(4800, 1140);
    MSG = new QLabel(this);
    platform::placeTwips(MSG, 120, 120, 4560, 435);
    MSG->setWordWrap(true);
    Abort = new QPushButton(QStringLiteral("Abort"), this);
    platform::placeTwips(Abort, 3600, 660, 1080, 360);
}

void Disp::Progress(const QString& Caption, const QString& Message)
{
    if (!Caption.isEmpty())
        setWindowTitle(Caption);
    MSG->setText(Message);
    Show();
    platform::doEvents();
}

void Disp::Abort_Click() { ListSearch.StopFlag = true; }

void showBatchProgress(const QString& Caption, const QString& Message)
{
    try {
        platform::Forms::get<Disp>(DispFormName).Progress(Caption, Message);
    } catch (const runtime::RuntimeError&) {
        // The program is closing: no window is loaded again.
    }
}
