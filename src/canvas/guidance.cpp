#include "canvas/guidance.h"

#include "model/item.h"

namespace canvas {

namespace {

const QString chooseLine = QStringLiteral("Select how you want the next line drawn.");
const QString startLine = QStringLiteral("Click where you want to start the line, or...");
const QString endLine = QStringLiteral("Click where you want to end the line.");
const QString holdDrag = QStringLiteral("Hold down the mouse button, move the mouse, and release the button.");
const QString thirdPoint = QStringLiteral("Then, move the mouse and click again to make the third point.");
const QString undoHint =
    QStringLiteral("You can undo your edits by clicking on the Undo button in the upper menu.");
const QString circleCentre = QStringLiteral("Click where you want to place the center of the circle.");
const QString circleSize = QStringLiteral("Then, move the mouse and click again to set the size of the circle.");
const QString orHold = QStringLiteral("Or, hold down the mouse button, move the mouse, and release the button.");
const QString ellipseLength = QStringLiteral("Then, move the mouse and click again to set the length of the ellipse.");
const QString ellipseWidth = QStringLiteral("Finally, move the mouse and click again to set the width of the ellipse.");
const QString polygonCentre = QStringLiteral("Click where you want to place the polygon center.");
const QString spikes = QStringLiteral("Finally, move the mouse and click again to set the length of the spikes.");
const QString arcStart = QStringLiteral("Then, move the mouse and click again at the start of the arc.");
const QString arcEnd = QStringLiteral("Finally, move the mouse and click again at the end of the arc.");
const QString splineStart = QStringLiteral("Click where you want to start the spline.");
const QString turningPoints = QStringLiteral("Then, click where you want to place the turning points.");
const QString edgePoints = QStringLiteral("Then, click where you want to place the edge points.");
const QString splineEnd = QStringLiteral("Finally, hold down the Shift key and click where you want to end the spline.");

QString with(QString text, const QString& word, const QString& name)
{
    return text.replace(word, name);
}

} // namespace

QString toolName(int32_t code)
{
    switch (code) {
    case 1: return QStringLiteral("line");
    case 100: return QStringLiteral("triangle");
    case 101: return QStringLiteral("square");
    case 102: return QStringLiteral("rectangle");
    case 103: return QStringLiteral("circle");
    case 104: return QStringLiteral("ellipse");
    case 105: return QStringLiteral("star");
    case 107: return QStringLiteral("pie");
    case 108: return QStringLiteral("arc");
    case 109: return QStringLiteral("spline");
    case 110: return QStringLiteral("solid");
    case 111: return QStringLiteral("curve");
    case 112: return QStringLiteral("oblong");
    case 199: return QStringLiteral("polygon");
    default: return {};
    }
}

QStringList toolGuidance(int32_t code, int32_t clickCount)
{
    const QString name = toolName(code);
    if (name.isEmpty()) return {};
    const QString line = QStringLiteral("line");
    if (code == 1) return {chooseLine, clickCount > 0 ? endLine : startLine, holdDrag};
    const QString first = with(chooseLine, line, name);
    switch (code) {
    case 100:
    case 102: return {first, with(startLine, line, name), holdDrag, thirdPoint};
    case 101: return {first, with(startLine, line, name), holdDrag, undoHint};
    case 103: return {first, circleCentre, circleSize, orHold};
    case 104:
        return {first, with(circleCentre, QStringLiteral("circle"), name), ellipseLength, ellipseWidth};
    case 105:
        return {first, with(polygonCentre, QStringLiteral("polygon"), name),
                with(circleSize, QStringLiteral("circle"), name), spikes};
    case 107:
        return {first, with(circleCentre, QStringLiteral("circle"), name),
                with(circleSize, QStringLiteral("circle"), name), with(ellipseWidth, QStringLiteral("ellipse"), name)};
    case 108: return {first, with(circleCentre, QStringLiteral("circle"), name), arcStart, arcEnd};
    case 199: return {first, polygonCentre, with(circleSize, QStringLiteral("circle"), name), orHold};
    case 109: return {first, splineStart, turningPoints, splineEnd};
    case 110:
    case 112:
        return {first, with(splineStart, QStringLiteral("spline"), name), edgePoints,
                with(splineEnd, QStringLiteral("spline"), name)};
    case 111:
        return {first, with(splineStart, QStringLiteral("spline"), name), turningPoints,
                with(splineEnd, QStringLiteral("spline"), name)};
    default: return {};
    }
}

int32_t creationPage(int32_t code)
{
    switch (code) {
    case 1: return 1024;
    case 100: return 1043;
    case 101: return 1045;
    case 102: return 1047;
    case 103: return 1049;
    case 104: return 1051;
    case 105: return 1055;
    case 107: return 1057;
    case 108: return 1065;
    case 109: return 1059;
    case 110: return 1062;
    case 111: return 1068;
    case 112: return 1071;
    case 199: return 1053;
    default: return 0;
    }
}

int32_t afterPointPage(int32_t code)
{
    switch (code) {
    case 109: return 1061;
    case 110: return 1064;
    case 111: return 1070;
    case 112: return 1073;
    default: return 0;
    }
}

int32_t toolItemType(int32_t code)
{
    switch (code) {
    case 1: return model::typeLine;
    case 31: return model::typeText;
    case 100: return model::typeTriangle;
    case 101: return model::typeSquare;
    case 102: return model::typeRectangle;
    case 103: return model::typeCircle;
    case 104: return model::typeEllipse;
    case 105: return model::typeStar;
    case 107: return model::typePie;
    case 108: return model::typeArc;
    case 109:
    case 110: return model::typeSpline;
    case 111:
    case 112: return model::typeCurve;
    case 199: return model::typePolygon;
    default: return 0;
    }
}

} // namespace canvas
