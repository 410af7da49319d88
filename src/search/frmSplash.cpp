#include "search/frmSplash.h"

#include "platform/Services.h"
#include "search/DialogFrame.h"

#include <QCoreApplication>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>

frmSplash::frmSplash(QWidget* parent) : platform::FormWindow(parent)
{
    setupControls();
    connect(Command1, &QPushButton::clicked, this, &frmSplash::Command1_Click);
    // Close is both the default and the cancel button.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, Command1, &QPushButton::click);
    }
}

void frmSplash::setupControls()
{
    makeFixedDialog(*this, 7200, 4260);
    setWindowTitle(QString());

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    platform::placeTwips(frame, 120, 60, 6960, 4140);

    // The maker's logo, twice, from the picture that lies beside the program.
    const QPixmap logo(platform::programHostFolder() + QStringLiteral("/logo.gif"));
    for (const double left : {360.0, 5640.0}) {
        auto* picture = new QLabel(frame);
        picture->setPixmap(logo);
        picture->setScaledContents(true);
        platform::placeTwips(picture, left, 300, 960, 960);
    }

    const auto label = [frame](const QString& text, double left, double top, double width, double height) {
        auto* control = new QLabel(text, frame);
        control->setAlignment(Qt::AlignCenter);
        platform::placeTwips(control, left, top, width, height);
        return control;
    };
    lblProductName = label(QStringLiteral("Product"), 1440, 360, 4080, 600);
    QFont large = lblProductName->font();
    large.setPointSize(large.pointSize() * 2);
    large.setBold(true);
    lblProductName->setFont(large);
    AppDesc = label(QStringLiteral("Product"), 1440, 1080, 4080, 360);
    lblVersion = label(QStringLiteral("Version"), 1440, 1560, 4080, 300);
    lblPlatform = label(QStringLiteral("Windows 9x, NT, 2000, XP, Vista"), 1440, 1920, 4080, 300);
    label(QStringLiteral("Searches the clip-art CDs and your own folders by words,"), 360, 2400, 6240, 300);
    label(QStringLiteral("and shows folders of pictures as thumbnails."), 360, 2700, 6240, 300);
    InitStat = label(QString(), 360, 3060, 6240, 300);

    Command1 = new QPushButton(QStringLiteral("&Close"), frame);
    Command1->setDefault(true);
    platform::placeTwips(Command1, 2880, 3480, 1200, 375);
}

void frmSplash::Form_Load()
{
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(BRISCA_VERSION_MAJOR)
                            .arg(BRISCA_VERSION_MINOR)
                            .arg(BRISCA_VERSION_PATCH));
    lblProductName->setText(QCoreApplication::applicationName());
    AppDesc->setText(AppFileDescription);
}

void frmSplash::Command1_Click() { Unload(); }
