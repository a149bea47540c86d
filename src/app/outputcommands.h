// The output commands of the main window: print (with the print-area
// selection first when the sheet has several cards), print preview, and the
// exact and smooth exports to a picture file (or, as vectors, to a PDF or SVG
// file); and the floating panels they use.
#pragma once

#include "output/vectorsheet.h"

#include <QByteArray>
#include <QString>

class QImage;

namespace canvas {
class TSandbox;
} // namespace canvas

namespace app {

class TForm1;

class outputCommands_t {
public:
    explicit outputCommands_t(TForm1& shell);
    outputCommands_t(const outputCommands_t&) = delete;
    outputCommands_t& operator=(const outputCommands_t&) = delete;

    // Gives the floating windows the print-area and preview panels.
    void registerPanels();

    void printDocument(canvas::TSandbox* w);
    // The printer calibration window, for the paper of `w` (A4 without one).
    void calibratePrinter(canvas::TSandbox* w);
    void previewDocument(canvas::TSandbox* w);
    bool openPreview(canvas::TSandbox* w, bool exportMode);
    void exportExact(canvas::TSandbox* w);
    void exportSmooth(canvas::TSandbox* w);
    // The export's save dialog and the file: false when cancelled or failed.
    // A PDF or SVG name writes the sheet of `w` as vectors instead.
    bool saveExport(const QImage& bitmap, canvas::TSandbox* w = nullptr);
    // The save dialog's steps up to the replace question; "" when cancelled.
    QString chooseExportFile();
    bool writeExport(const QImage& bitmap, const QString& fileName);

    // The page of `w` as a PDF or SVG file; a failure is reported.
    bool writeVectorExport(canvas::TSandbox* w, const QString& fileName, output::vectorFormat_t format, bool wholeSheet,
                           const QByteArray& printAreas);

private:
    void printNow(canvas::TSandbox* w);

    TForm1& shell_;
    // The preview being opened offers the export (Export ▸ Smooth).
    bool previewExport_ = false;
    // The export list's PDF or SVG entry last chosen in this session (0 none).
    int32_t vectorFilter_ = 0;
    // Crop marks on printed sheets: off until the user ticks them.
    bool cropMarks_ = false;

public:
    bool cropMarks() const { return cropMarks_; }
};

} // namespace app
