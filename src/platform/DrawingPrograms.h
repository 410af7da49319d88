#pragma once
// Stand-ins for the two drawing programs a distribution drives through their
// automation interfaces, which do not exist here. Each accepts the calls the
// program makes, in the order it makes them (a call out of order, or a value
// a stand-in does not take, raises 440), and writes real files at the given
// Windows paths (see AiDrawing.h for what they hold). File errors are the
// runtime's: 53 for a missing picture, 76 for a missing folder, 75 for a file
// that cannot be written; an unreadable picture raises what the picture
// loader raises. The actions end at once, so no action is ever still running.

#include "platform/PictureLoader.h"

#include <QImage>
#include <QString>
#include <functional>

namespace platform {

inline constexpr int AutomationError = 440;

// How the Illustrator stand-in opens a picture (the browser opens a drawing
// through its preview).
using PictureOpener = std::function<Picture(const QString& path)>;

struct IllustratorSaveOptions {
    int Compatibility = 0;  // 8, the Illustrator 8 format, is the one written
    int secondOption = 0;
};

// Opens a picture, runs the recorded actions "Select All" and then
// "Simplify (100%)" of the set "TalvorenActions" on it, saves it as an ".ai"
// drawing and closes it.
class IllustratorApplication {
public:
    // Without an opener, pictures are opened with the picture loader.
    explicit IllustratorApplication(PictureOpener opener = {});

    void Open(const QString& path);
    void DoScript(const QString& action, const QString& actionSet);
    bool ActionIsRunning() const { return false; }
    void SaveAs(const QString& path, const IllustratorSaveOptions& options);
    // 2: the document was saved just before, close it without asking.
    void Close(int saving);

private:
    enum class Step { NoDocument, Opened, Selected, Simplified, Saved };
    void expect(Step step) const;

    PictureOpener opener_;
    Step step_ = Step::NoDocument;
    QImage picture_;
    QString title_;
};

// The save options of the CorelDRAW stand-in: only the drawing format's
// filter 1795 and version 8 are written.
struct CorelSaveOptions {
    bool firstOption = false;
    bool secondOption = false;
    int Filter = 0;
    int firstFurtherOption = 0;
    int Version = 0;
    int secondFurtherOption = 0;
};

// Opens an ".ai" drawing that the Illustrator stand-in wrote, selects all of
// it and saves it as a ".cdr" drawing, then closes it.
class CorelDrawApplication {
public:
    // The script object, called by name: "FileOpen" with the ".ai" path, then "SelectAllObjects".
    void Script(const QString& name, const QString& argument = {});
    // The setting of the application's sub-object that follows the open.
    void setSubObjectSetting(int value);
    CorelSaveOptions CreateSaveOptions() const { return {}; }
    void SaveAs(const QString& path, const CorelSaveOptions& options);
    // The document member set before the close.
    void setDocumentMember(int value);
    void Close();

private:
    enum class Step { NoDocument, Opened, Set, Selected, Saved, MemberSet };
    void expect(Step step) const;

    Step step_ = Step::NoDocument;
    QByteArray drawing_;  // the ".ai" document opened
    QImage picture_;
};

}  // namespace platform
