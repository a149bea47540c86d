// Every modal question, warning and common dialog of the editor goes through
// one small interface, so that tests can answer them and read what was shown.
#pragma once

#include <QAbstractFileIconProvider>
#include <QIcon>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class QPrinter;
class QWidget;

namespace ui {

enum class msgKind_t { information, warning, confirmation, error };

// Buttons of a message box; the answer is one of them.
enum msgButton_t : uint32_t {
    btnNone = 0,
    btnOk = 1,
    btnCancel = 2,
    btnYes = 4,
    btnNo = 8,
};

// A file chooser request: the caption, the initial folder, the filter in the
// "Description|pattern|Description|pattern" form, its preselected entry
// (1-based), the default extension and the preset name.
struct fileRequest_t {
    QString title;
    QString folder;
    QString filter;
    int32_t filterIndex = 1;
    QString defaultExt;
    QString name;
};

class dialogs_t {
public:
    virtual ~dialogs_t() = default;
    // Shows a message box and returns the button chosen.
    virtual msgButton_t message(msgKind_t kind, const QString& text, uint32_t buttons) = 0;
    // Empty when cancelled; otherwise the chosen file name.
    virtual QString openFile(const fileRequest_t& r) = 0;
    // Several existing files at once, in the order chosen; empty when cancelled.
    virtual QStringList openFiles(const fileRequest_t& r) = 0;
    virtual QString saveFile(const fileRequest_t& r) = 0;
    // False when cancelled; colours 0x00BBGGRR.
    virtual bool chooseColor(int32_t& colour, std::vector<int32_t>& customColours) = 0;
    // False when cancelled; the print dialog's own settings stay with the caller.
    virtual bool printSetup(QWidget* printerOwner) = 0;
    // The system print dialog over `printer` (copies, printer or PDF file);
    // false when cancelled.
    virtual bool printDialog(QPrinter& printer) = 0;
    // One of `options` picked from a list under `label`, `current` first
    // selected; the index, or -1 when cancelled.
    virtual int32_t choose(const QString& title, const QString& label, const QStringList& options, int32_t current) = 0;
};

// The dialogs in use: the real ones unless a test installed its own.
dialogs_t& dialogs();
// Installs `d` (not owned) in place of the real dialogs; null restores them.
void setDialogs(dialogs_t* d);

// Converts a "Description|pattern|..." filter to Qt's ";;"-separated form.
QStringList qtFilters(const QString& filter);

// Icons and type names of the file dialogs' entries, decided from the names
// alone (and whether an entry is a folder). Listing a folder must never read
// a file: a FIFO, a device or /proc/kmsg would block the editor. The icons
// are made once, on the thread that creates the provider, because the
// dialog's file-information thread asks for them too.
class nameOnlyIconProvider_t : public QAbstractFileIconProvider {
public:
    nameOnlyIconProvider_t();
    QIcon icon(IconType type) const override;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;

private:
    QIcon folder_, file_, drive_, computer_, desktop_, trash_, network_;
};

// The real dialogs: QMessageBox, QFileDialog (Qt's own, never the platform's,
// with the name-only icon provider), QColorDialog, QPrintDialog.
class realDialogs_t : public dialogs_t {
public:
    msgButton_t message(msgKind_t kind, const QString& text, uint32_t buttons) override;
    QString openFile(const fileRequest_t& r) override;
    QStringList openFiles(const fileRequest_t& r) override;
    QString saveFile(const fileRequest_t& r) override;
    bool chooseColor(int32_t& colour, std::vector<int32_t>& customColours) override;
    bool printSetup(QWidget* printerOwner) override;
    bool printDialog(QPrinter& printer) override;
    int32_t choose(const QString& title, const QString& label, const QStringList& options, int32_t current) override;
};

// Answers from a script and records everything shown. An unscripted message
// gets Cancel when offered (else the first button); an unscripted chooser is
// cancelled; an unscripted list choice keeps its preselected entry.
class scriptedDialogs_t : public dialogs_t {
public:
    struct shown_t {
        msgKind_t kind;
        QString text;
        uint32_t buttons;
    };
    std::deque<msgButton_t> answers;
    std::deque<QString> fileAnswers;      // "" means cancel; several names for openFiles are one answer, '\n'-separated
    std::deque<int32_t> colourAnswers;    // a colour 0x00BBGGRR; negative cancels
    std::vector<int32_t> lastCustomColours;  // what the last colour request was given
    std::vector<shown_t> messages;
    std::vector<fileRequest_t> fileRequests;
    int32_t colourRequests = 0;
    int32_t printRequests = 0;
    // Answers of the print dialog: a PDF file to print into, "" to cancel;
    // an unscripted print dialog is cancelled.
    std::deque<QString> printAnswers;
    // Answers of list choices (an index, negative cancels); an unscripted
    // choice takes the preselected entry. Every label shown is kept.
    std::deque<int32_t> choiceAnswers;
    std::vector<QString> choiceLabels;

    msgButton_t message(msgKind_t kind, const QString& text, uint32_t buttons) override;
    QString openFile(const fileRequest_t& r) override;
    QStringList openFiles(const fileRequest_t& r) override;
    QString saveFile(const fileRequest_t& r) override;
    bool chooseColor(int32_t& colour, std::vector<int32_t>& customColours) override;
    bool printSetup(QWidget* printerOwner) override;
    bool printDialog(QPrinter& printer) override;
    int32_t choose(const QString& title, const QString& label, const QStringList& options, int32_t current) override;

    QStringList texts() const;
};

// Installs a scripted dialog for the lifetime of this object.
class scopedDialogs_t {
public:
    explicit scopedDialogs_t(dialogs_t& d) { setDialogs(&d); }
    ~scopedDialogs_t() { setDialogs(nullptr); }
    scopedDialogs_t(const scopedDialogs_t&) = delete;
    scopedDialogs_t& operator=(const scopedDialogs_t&) = delete;
};

} // namespace ui
