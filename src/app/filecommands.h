// The main window's file commands: the File menu, New, Open, Save, Save As,
// Close, Reopen with the recent-files list, and the menu's entries for the
// current file's page setup and grid options.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

class QAction;
class QMenu;
class QMenuBar;

namespace canvas {
class TSandbox;
} // namespace canvas

namespace app {

class TForm1;

// The File menu's entries.
struct fileMenu_t {
    QMenu* menuFile = nullptr;
    QMenu* menuReopen = nullptr;
    QMenu* menuPageSetup = nullptr;
    QMenu* menuGridAndSnap = nullptr;
    QMenu* menuExport = nullptr;
    QAction *New1 = nullptr, *Open1 = nullptr, *Save1 = nullptr, *SaveAs1 = nullptr, *Close1 = nullptr;
    QAction *PrintPreview1 = nullptr, *Print1 = nullptr, *Exit1 = nullptr, *ClearRecent1 = nullptr;
    QAction* ExportSeparator = nullptr;
    QAction *PageSetupCurrent = nullptr, *PageSetupSeparator = nullptr, *PageSetupNew = nullptr;
    QAction *GridSnapCurrent = nullptr, *GridSnapSeparator = nullptr, *GridSnapNew = nullptr;
    std::array<QAction*, 16> Reopen{};
};

class fileCommands_t {
public:
    explicit fileCommands_t(TForm1& shell);
    fileCommands_t(const fileCommands_t&) = delete;
    fileCommands_t& operator=(const fileCommands_t&) = delete;

    const fileMenu_t& menu() const { return menu_; }
    void buildMenu(QMenuBar* bar);

    // Save, Save As and Close (menu and toolbar) with or without a document.
    void setDocumentCommandsEnabled(bool on);
    // The "Current File" entries of Page Setup and Grid and Snap: shown with
    // the active document's caption, hidden when it is empty.
    void showCurrentFile(const QString& caption);

    void newDocument();
    QStringList openDialog();
    void openDocument();
    bool saveDocument(canvas::TSandbox* w, bool proposeName);
    bool saveAsDialog(QString& name, canvas::TSandbox* w);
    bool saveDocumentAs(canvas::TSandbox* w);
    // The close question's Yes: saves under the file's name or asks for one.
    bool saveForClose(canvas::TSandbox* w);
    void closeDocument();
    void reopen(int32_t k);
    void clearRecent();
    void addRecent(const QString& fileName);
    void rebuildReopenMenu();
    // Writes the window's document; a failure is reported and returns false.
    bool writeWindow(canvas::TSandbox* w, const QString& name);

private:
    TForm1& shell_;
    fileMenu_t menu_;
};

} // namespace app
