#include "ui/dialogs.h"
#include "render/surface.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyle>

namespace ui {

namespace {
realDialogs_t realOnes;
dialogs_t* installed = nullptr;

QWidget* parentWindow()
{
    return QApplication::activeWindow();
}
} // namespace

dialogs_t& dialogs()
{
    return installed ? *installed : realOnes;
}

void setDialogs(dialogs_t* d)
{
    installed = d;
}

QStringList qtFilters(const QString& filter)
{
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // The description already shows the pattern in brackets; Qt reads it from there.
        if (!desc.contains(QLatin1Char('(')))
            desc += QStringLiteral(" (") + pattern + QLatin1Char(')');
        out << desc;
    }
    return out;
}

msgButton_t realDialogs_t::message(msgKind_t kind, const QString& text, uint32_t buttons)
{
    QMessageBox box(parentWindow());
    box.setWindowTitle(QApplication::applicationName());
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (kind) {
    case msgKind_t::information: box.setIcon(QMessageBox::Information); break;
    case msgKind_t::warning: box.setIcon(QMessageBox::Warning); break;
    case msgKind_t::confirmation: box.setIcon(QMessageBox::Question); break;
    case msgKind_t::error: box.setIcon(QMessageBox::Critical); break;
    }
    QMessageBox::StandardButtons sb;
    if (buttons & btnYes) sb |= QMessageBox::Yes;
    if (buttons & btnNo) sb |= QMessageBox::No;
    if (buttons & btnOk) sb |= QMessageBox::Ok;
    if (buttons & btnCancel) sb |= QMessageBox::Cancel;
    if (!sb) sb = QMessageBox::Ok;
    box.setStandardButtons(sb);
    switch (box.exec()) {
    case QMessageBox::Yes: return btnYes;
    case QMessageBox::No: return btnNo;
    case QMessageBox::Ok: return btnOk;
    default: return (buttons & btnCancel) ? btnCancel : (buttons & btnNo) ? btnNo : btnOk;
    }
}

// ---- name-only icons ----

nameOnlyIconProvider_t::nameOnlyIconProvider_t()
{
    setOptions(DontUseCustomDirectoryIcons);
    const QStyle* s = QApplication::style();
    folder_ = s->standardIcon(QStyle::SP_DirIcon);
    file_ = s->standardIcon(QStyle::SP_FileIcon);
    drive_ = s->standardIcon(QStyle::SP_DriveHDIcon);
    computer_ = s->standardIcon(QStyle::SP_ComputerIcon);
    desktop_ = s->standardIcon(QStyle::SP_DesktopIcon);
    trash_ = s->standardIcon(QStyle::SP_TrashIcon);
    network_ = s->standardIcon(QStyle::SP_DriveNetIcon);
}

QIcon nameOnlyIconProvider_t::icon(IconType type) const
{
    switch (type) {
    case Computer: return computer_;
    case Desktop: return desktop_;
    case Trashcan: return trash_;
    case Network: return network_;
    case Drive: return drive_;
    case Folder: return folder_;
    case File: break;
    }
    return file_;
}

QIcon nameOnlyIconProvider_t::icon(const QFileInfo& info) const
{
    if (info.isRoot()) return drive_;
    return info.isDir() ? folder_ : file_;
}

QString nameOnlyIconProvider_t::type(const QFileInfo& info) const
{
    if (info.isRoot()) return QStringLiteral("Drive");
    if (info.isDir()) return QStringLiteral("Folder");
    // Glob patterns on the name only; the default provider would read the
    // file's first bytes when the name says nothing.
    static const QMimeDatabase db;
    const QList<QMimeType> byName = db.mimeTypesForFileName(info.fileName());
    if (!byName.isEmpty() && !byName.first().comment().isEmpty()) return byName.first().comment();
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? QStringLiteral("File") : suffix.toUpper() + QStringLiteral(" File");
}

// ---- file dialogs ----

static void prepare(QFileDialog& d, const fileRequest_t& r, nameOnlyIconProvider_t& icons)
{
    // Qt's own dialog, so that nothing but the provider above decides how
    // entries look.
    d.setOption(QFileDialog::DontUseNativeDialog, true);
    d.setOption(QFileDialog::DontUseCustomDirectoryIcons, true);
    d.setIconProvider(&icons);
    d.setWindowTitle(r.title);
    if (!r.folder.isEmpty()) d.setDirectory(r.folder);
    QStringList f = qtFilters(r.filter);
    d.setNameFilters(f);
    if (r.filterIndex >= 1 && r.filterIndex <= f.size()) d.selectNameFilter(f[r.filterIndex - 1]);
    d.setDefaultSuffix(r.defaultExt);
    if (!r.name.isEmpty()) d.selectFile(r.name);
}

namespace {

// The file dialog over existing files: one, or several at once.
QStringList chooseExisting(const fileRequest_t& r, QFileDialog::FileMode mode)
{
    // Made before the dialog so that it outlives the dialog's model.
    nameOnlyIconProvider_t icons;
    QFileDialog d(parentWindow());
    prepare(d, r, icons);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(mode);
    if (d.exec() != QDialog::Accepted) return {};
    return d.selectedFiles();
}

} // namespace

QString realDialogs_t::openFile(const fileRequest_t& r)
{
    const QStringList chosen = chooseExisting(r, QFileDialog::ExistingFile);
    return chosen.isEmpty() ? QString() : chosen.first();
}

QStringList realDialogs_t::openFiles(const fileRequest_t& r) { return chooseExisting(r, QFileDialog::ExistingFiles); }

QString realDialogs_t::saveFile(const fileRequest_t& r)
{
    nameOnlyIconProvider_t icons;
    QFileDialog d(parentWindow());
    prepare(d, r, icons);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    // The caller asks its own replace question.
    d.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return d.selectedFiles().first();
}

static int32_t toBgr(const QColor& c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

bool realDialogs_t::chooseColor(int32_t& colour, std::vector<int32_t>& customColours)
{
    for (int i = 0; i < QColorDialog::customCount() && i < static_cast<int>(customColours.size()); ++i)
        QColorDialog::setCustomColor(i, render::toColor(customColours[i]));
    QColor c = QColorDialog::getColor(render::toColor(colour), parentWindow());
    customColours.clear();
    for (int i = 0; i < QColorDialog::customCount(); ++i) customColours.push_back(toBgr(QColorDialog::customColor(i)));
    if (!c.isValid()) return false;
    colour = toBgr(c);
    return true;
}

bool realDialogs_t::printSetup(QWidget* printerOwner)
{
    QPrinter printer;
    QPrintDialog d(&printer, printerOwner ? printerOwner : parentWindow());
    return d.exec() == QDialog::Accepted;
}

bool realDialogs_t::printDialog(QPrinter& printer)
{
    QPrintDialog d(&printer, parentWindow());
    d.setOption(QAbstractPrintDialog::PrintToFile, true);
    return d.exec() == QDialog::Accepted;
}

int32_t realDialogs_t::choose(const QString& title, const QString& label, const QStringList& options, int32_t current)
{
    bool ok = false;
    const QString picked = QInputDialog::getItem(parentWindow(), title, label, options,
                                                 std::clamp<int32_t>(current, 0, int32_t(options.size()) - 1), false, &ok);
    return ok ? int32_t(options.indexOf(picked)) : -1;
}

// ---- scripted ----

int32_t scriptedDialogs_t::choose(const QString&, const QString& label, const QStringList& options, int32_t current)
{
    choiceLabels.push_back(label);
    if (choiceAnswers.empty()) return std::clamp<int32_t>(current, 0, int32_t(options.size()) - 1);
    const int32_t a = choiceAnswers.front();
    choiceAnswers.pop_front();
    return a < 0 || a >= options.size() ? -1 : a;
}

msgButton_t scriptedDialogs_t::message(msgKind_t kind, const QString& text, uint32_t buttons)
{
    messages.push_back({kind, text, buttons});
    if (!answers.empty()) {
        msgButton_t a = answers.front();
        answers.pop_front();
        return a;
    }
    if (buttons & btnCancel) return btnCancel;
    for (msgButton_t b : {btnOk, btnYes, btnNo})
        if (buttons & b) return b;
    return btnOk;
}

QString scriptedDialogs_t::openFile(const fileRequest_t& r)
{
    fileRequests.push_back(r);
    if (fileAnswers.empty()) return {};
    QString a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

QStringList scriptedDialogs_t::openFiles(const fileRequest_t& r)
{
    const QString a = openFile(r);
    return a.isEmpty() ? QStringList() : a.split(QLatin1Char('\n'));
}

QString scriptedDialogs_t::saveFile(const fileRequest_t& r)
{
    return openFile(r);
}

bool scriptedDialogs_t::chooseColor(int32_t& colour, std::vector<int32_t>& customColours)
{
    ++colourRequests;
    lastCustomColours = customColours;
    if (colourAnswers.empty()) return false;
    const int32_t a = colourAnswers.front();
    colourAnswers.pop_front();
    if (a < 0) return false;
    colour = a;
    return true;
}

bool scriptedDialogs_t::printSetup(QWidget*)
{
    ++printRequests;
    return false;
}

bool scriptedDialogs_t::printDialog(QPrinter& printer)
{
    ++printRequests;
    if (printAnswers.empty()) return false;
    const QString file = printAnswers.front();
    printAnswers.pop_front();
    if (file.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
}

QStringList scriptedDialogs_t::texts() const
{
    QStringList out;
    for (const shown_t& s : messages) out << s.text;
    return out;
}

} // namespace ui
