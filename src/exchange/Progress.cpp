#include "exchange/Progress.h"

#include "search/DialogFrame.h"
#include "search/ListSearch.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

Progress::Progress(QWidget* parent) : platform::FormWindow(parent)
{
    setupControls();
    connect(CancelButton, &QPushButton::clicked, this, &Progress::CancelButton_Click);
}

void Progress::setupControls()
{
    setWindowTitle(QStringLiteral("Brisca Viewer -  Working, Please Wait..."));
    makeFixedDialog(*this, 4800, 1440);

    Status = new QLabel(QStringLiteral("Download Progress"), this);
    platform::placeTwips(Status, 120, 120, 4560, 255);

    bar = new QProgressBar(this);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);  // a bar alone, which also keeps each move cheap
    bar->setAccessibleName(QStringLiteral("Progress"));
    platform::placeTwips(bar, 120, 480, 4560, 300);

    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    platform::placeTwips(CancelButton, 1852, 930, 1095, 375);
}

void Progress::CancelButton_Click()
{
    ListSearch.StopFlag = true;
}
