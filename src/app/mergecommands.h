// File ▸ Merge...: the merge dialog for the active document, the canvas
// showing the first ticked row's values (or the raw fields, by a switch),
// and the merged print and preview the output commands hand over to when a
// document has a merge.
#pragma once

#include "model/csv.h"
#include "output/mergesheet.h"
#include "ui/printjob.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenuBar;

namespace canvas {
class TSandbox;
} // namespace canvas

namespace app {

class TForm1;

// A document's merge ready for output.
struct documentMerge_t {
    std::unique_ptr<model::csvTable_t> table;
    output::mergeJob_t job;
    std::vector<std::string> warnings;
};

// False when the document has no merge; a table that cannot be read (or a
// copies column it lacks) is an error in `error`.
bool documentMerge(canvas::TSandbox* w, documentMerge_t& out, QString* error);

class mergeCommands_t : public QObject {
public:
    explicit mergeCommands_t(TForm1& shell);

    // File ▸ Merge... and File ▸ Show Merge Fields, before Print Preview.
    void build(QMenuBar* bar);
    void runMergeDialog(canvas::TSandbox* w);
    // Puts the first ticked row's values on the canvas of `w`, or the raw
    // fields when the switch says so or the document has no merge.
    void showValues(canvas::TSandbox* w);
    void setRawFields(bool raw);
    bool rawFields() const { return rawFields_; }

    QAction* mergeAction = nullptr;
    QAction* rawFieldsAction = nullptr;

private:
    TForm1& shell_;
    bool rawFields_ = false;
};

// Prints the merge of `w` when it has one, after showing its warnings:
// true when the merge took the print (printed, cancelled or failed).
bool printMerge(TForm1& shell, canvas::TSandbox* w, bool cropMarks, const ui::printCorrection_t& correction = {});
// The first sheet of the merge of `w` at screen resolution; null when the
// document has no merge (or it cannot be read).
QImage mergePreview(canvas::TSandbox* w);

} // namespace app
