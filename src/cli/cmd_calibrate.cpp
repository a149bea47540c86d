// lumora-cli calibrate and calibration-sheet: the printer calibration for
// scripts. The sheet is written as a PDF of the paper; calibrate lists the
// sheet's crosshairs, or solves a printer's distortion from the positions
// measured on a printed sheet.
#include "cli/calibrationargs.h"
#include "cli/command.h"
#include "cli/docio.h"
#include "cli/outputdoc.h"

#include <QDate>
#include <QLocale>

#include <cstdio>
#include <string>

namespace {

constexpr const char* calibrateUsage =
    "usage: lumora-cli calibrate --paper WxH --marks\n"
    "       lumora-cli calibrate --paper WxH NAME=X,Y NAME=X,Y NAME=X,Y ...\n";
constexpr const char* sheetUsage = "usage: lumora-cli calibration-sheet OUT.pdf --paper WxH [--printer NAME]\n";

int refuse(const char* command, const std::string& why)
{
    std::fprintf(stderr, "lumora-cli %s: %s\n", command, why.c_str());
    return cli::exitUsage;
}

int calibrate(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const bool listMarks = cli::takeFlag(args, "--marks");
    std::string paperText;
    bool hasPaper = false;
    if (!cli::takeOption(args, "--paper", paperText, hasPaper) || !hasPaper) {
        std::fprintf(stderr, "%s", calibrateUsage);
        return cli::exitUsage;
    }
    if (!cli::noUnknownOptions("calibrate", args, calibrateUsage)) return cli::exitUsage;
    QSizeF paper;
    std::string why;
    if (!cli::parsePaperSize(paperText, paper, why)) return refuse("calibrate", why);
    if (listMarks) {
        if (!args.empty()) {
            std::fprintf(stderr, "%s", calibrateUsage);
            return cli::exitUsage;
        }
        for (const output::calibrationMark_t& m : output::calibrationMarks(paper))
            std::printf("%s %s %s\n", qPrintable(m.name), qPrintable(output::shortNumber(m.mm.x())),
                        qPrintable(output::shortNumber(m.mm.y())));
        return cli::exitOk;
    }
    std::vector<output::calibrationMark_t> measured;
    for (const std::string& a : args) {
        output::calibrationMark_t m;
        if (!cli::parseMeasuredMark(a, m, why)) return refuse("calibrate", why);
        measured.push_back(m);
    }
    const output::calibrationFit_t fit = output::solveCalibration(paper, measured);
    if (!fit.ok) return refuse("calibrate", fit.error.toStdString());
    for (const QString& w : fit.warnings) std::fprintf(stderr, "lumora-cli calibrate: %s\n", qPrintable(w));
    std::printf("%s\n", qPrintable(output::distortionLine(fit.distortion, fit.worstResidual)));
    return cli::exitOk;
}

int calibrationSheet(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    std::string paperText, printer;
    bool hasPaper = false, hasPrinter = false;
    if (!cli::takeOption(args, "--paper", paperText, hasPaper) || !cli::takeOption(args, "--printer", printer, hasPrinter) ||
        !hasPaper) {
        std::fprintf(stderr, "%s", sheetUsage);
        return cli::exitUsage;
    }
    if (!cli::noUnknownOptions("calibration-sheet", args, sheetUsage)) return cli::exitUsage;
    if (args.size() != 1) {
        std::fprintf(stderr, "%s", sheetUsage);
        return cli::exitUsage;
    }
    QSizeF paper;
    std::string why;
    if (!cli::parsePaperSize(paperText, paper, why)) return refuse("calibration-sheet", why);
    const QString date = QLocale::c().toString(QDate::currentDate(), QStringLiteral("yyyy-MM-dd"));
    const QString caption = hasPrinter ? QStringLiteral("Printer: %1 · %2").arg(QString::fromStdString(printer), date)
                                       : QStringLiteral("Printed %1").arg(date);
    QString error;
    if (!output::writeCalibrationSheet(QString::fromStdString(args[0]), paper, caption, &error)) {
        std::fprintf(stderr, "lumora-cli: cannot write %s: %s\n", args[0].c_str(), qPrintable(error));
        return cli::exitFileError;
    }
    std::printf("%s: calibration sheet of %s x %s mm\n", args[0].c_str(), qPrintable(output::shortNumber(paper.width())),
                qPrintable(output::shortNumber(paper.height())));
    return cli::exitOk;
}

cli::cliCommand calibrateReg("calibrate",
                             "calibrate --paper WxH (--marks | NAME=X,Y ...)  — list the calibration sheet's marks, or solve "
                             "a printer's distortion from their measured positions (mm)",
                             &calibrate);
cli::cliCommand sheetReg("calibration-sheet",
                         "calibration-sheet OUT.pdf --paper WxH [--printer NAME]  — write the printer calibration sheet",
                         &calibrationSheet);

} // namespace
