#include "browser/DistribSettings.h"

#include "browser/Browser.h"
#include "browser/BrowserBuildHost.h"
#include "browser/Distribution.h"
#include "platform/CaptionFit.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/DialogFrame.h"
#include "search/ListSearch.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using platform::placeTwips;

namespace {

// The picker's proposed name: a folder chosen with it unchanged comes back as
// that folder, a backslash and this text.
const QString PickerFileName = QStringLiteral("Browse to desired output folder.");

QLabel* makeCaption(const QString& text, double top, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    placeTwips(label, 120, top, 2000, 255);
    return label;
}

QPushButton* makeButton(const QString& text, double left, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(true);
    placeTwips(button, left, 1680, 1215, 375);
    return button;
}

}  // namespace

DistribSettings::DistribSettings(QWidget* parent) : platform::FormWindow(parent)
{
    setupControls();
    connectHandlers();
}

void DistribSettings::setupControls()
{
    setWindowTitle(QStringLiteral("Distribution Settings"));
    makeFixedDialog(*this, 4575, 2235);

    OutFolderLabel = makeCaption(QStringLiteral("Output Folder:"), 120, this);
    OutFolder = new QLineEdit(this);
    placeTwips(OutFolder, 120, 360, 3975, 315);
    OutFolderLabel->setBuddy(OutFolder);
    OutBrowse = new QPushButton(this);
    makeBrowseButton(*OutBrowse);
    OutBrowse->setAutoDefault(true);
    OutBrowse->setAccessibleName(QStringLiteral("Browse for the output folder"));
    placeTwips(OutBrowse, 4140, 390, 315, 255);

    FormatLabel = makeCaption(QStringLiteral("Output Format:"), 840, this);
    Format = new QComboBox(this);
    Format->addItems({QStringLiteral("PDF - Adobe Portable Document Format"), QStringLiteral("AI - Adobe Illustrator 8"),
                      QStringLiteral("CDR - Corel Draw 8!")});
    Format->setCurrentIndex(-1);
    placeTwips(Format, 120, 1080, 4335, 315);
    FormatLabel->setBuddy(Format);

    Cancel = makeButton(QStringLiteral("Cancel"), 1800, this);
    MakeIt = makeButton(QStringLiteral("Go"), 3240, this);
    MakeIt->setDefault(true);

    setTabOrderChain({OutFolder, OutBrowse, Format, Cancel, MakeIt});
    platform::fitCaptions(*this);
}

void DistribSettings::connectHandlers()
{
    connect(OutBrowse, &QPushButton::clicked, this, &DistribSettings::OutBrowse_Click);
    connect(Cancel, &QPushButton::clicked, this, &DistribSettings::Cancel_Click);
    connect(MakeIt, &QPushButton::clicked, this, &DistribSettings::MakeIt_Click);
}

void DistribSettings::showEvent(QShowEvent* event)
{
    FormWindow::showEvent(event);
    centreOnOwner(*this);
}

void DistribSettings::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        Cancel->click();
    else
        FormWindow::keyPressEvent(event);
}

void DistribSettings::OutBrowse_Click()
{
    platform::OpenFileRequest request;
    request.fileName = PickerFileName;
    request.owner = this;
    try {
        // A cancel leaves the proposed name, which holds no folder.
        const std::optional<platform::OpenFileResult> chosen = platform::interaction().showOpen(request);
        const QString name = chosen ? chosen->fileName : request.fileName;
        OutFolder->setText(name.left(name.lastIndexOf(u'\\') + 1));
    } catch (const runtime::RuntimeError&) {
        // The folder stays as it was.
    }
}

void DistribSettings::Cancel_Click() { Unload(); }

void DistribSettings::MakeIt_Click()
{
    ListSearch.DistribOutFolder = OutFolder->text();
    if (ListSearch.DistribOutFolder.isEmpty()) {
        platform::interaction().msgBox(QStringLiteral("Please select an output folder."), platform::MsgButtons::Ok,
                                       platform::MsgIcon::None, {}, this);
        return;
    }
    auto* browser = qobject_cast<Browser*>(platform::Forms::find(QStringLiteral("Browser")));
    if (!browser)
        return;
    BrowserBuildHost host(*browser);
    if (outputLiesInSource(ListSearch.DistribOutFolder, host.folderListPath())) {
        platform::interaction().msgBox(OutputInsideSourceMessage, platform::MsgButtons::Ok, platform::MsgIcon::None,
                                       {}, this);
        return;
    }
    Hide();
    // The dialog may be unloaded while the build pumps messages: nothing of it is used after.
    MakeDistribution(host);
}
