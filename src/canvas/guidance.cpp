#include "canvas/guidance.h"

#include "canvas/modes.h"

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
    case toolLine: return QStringLiteral("line");
    case toolTriangle: return QStringLiteral("triangle");
    case toolSquare: return QStringLiteral("square");
    case toolRectangle: return QStringLiteral("rectangle");
    case toolCircle: return QStringLiteral("circle");
    case toolEllipse: return QStringLiteral("ellipse");
    case toolStar: return QStringLiteral("star");
    case toolPie: return QStringLiteral("pie");
    case toolArc: return QStringLiteral("arc");
    case toolSpline: return QStringLiteral("spline");
    case toolSolid: return QStringLiteral("solid");
    case toolCurve: return QStringLiteral("curve");
    case toolOblong: return QStringLiteral("oblong");
    case toolPolygon: return QStringLiteral("polygon");
    default: return {};
    }
}

QStringList toolGuidance(int32_t code, int32_t clickCount)
{
    const QString name = toolName(code);
    if (name.isEmpty()) return {};
    const QString line = QStringLiteral("line");
    if (code == toolLine) return {chooseLine, clickCount > 0 ? endLine : startLine, holdDrag};
    const QString first = with(chooseLine, line, name);
    switch (code) {
    case toolTriangle:
    case toolRectangle: return {first, with(startLine, line, name), holdDrag, thirdPoint};
    case toolSquare: return {first, with(startLine, line, name), holdDrag, undoHint};
    case toolCircle: return {first, circleCentre, circleSize, orHold};
    case toolEllipse:
        return {first, with(circleCentre, QStringLiteral("circle"), name), ellipseLength, ellipseWidth};
    case toolStar:
        return {first, with(polygonCentre, QStringLiteral("polygon"), name),
                with(circleSize, QStringLiteral("circle"), name), spikes};
    case toolPie:
        return {first, with(circleCentre, QStringLiteral("circle"), name),
                with(circleSize, QStringLiteral("circle"), name), with(ellipseWidth, QStringLiteral("ellipse"), name)};
    case toolArc: return {first, with(circleCentre, QStringLiteral("circle"), name), arcStart, arcEnd};
    case toolPolygon: return {first, polygonCentre, with(circleSize, QStringLiteral("circle"), name), orHold};
    case toolSpline: return {first, splineStart, turningPoints, splineEnd};
    case toolSolid:
    case toolOblong:
        return {first, with(splineStart, QStringLiteral("spline"), name), edgePoints,
                with(splineEnd, QStringLiteral("spline"), name)};
    case toolCurve:
        return {first, with(splineStart, QStringLiteral("spline"), name), turningPoints,
                with(splineEnd, QStringLiteral("spline"), name)};
    default: return {};
    }
}

QString finishHint(int32_t code, bool canClose)
{
    if (!isSplineTool(code)) return {};
    QString hint = QStringLiteral("Shift-click the last point, or press Enter to end at the point placed last");
    if (canClose) hint += QStringLiteral(", or C to close the %1").arg(toolName(code));
    return hint + QStringLiteral(". Backspace takes a point back; Esc cancels.");
}

int32_t creationPage(int32_t code)
{
    switch (code) {
    case toolLine: return 1024;
    case toolTriangle: return 1043;
    case toolSquare: return 1045;
    case toolRectangle: return 1047;
    case toolCircle: return 1049;
    case toolEllipse: return 1051;
    case toolStar: return 1055;
    case toolPie: return 1057;
    case toolArc: return 1065;
    case toolSpline: return 1059;
    case toolSolid: return 1062;
    case toolCurve: return 1068;
    case toolOblong: return 1071;
    case toolPolygon: return 1053;
    default: return 0;
    }
}

int32_t afterPointPage(int32_t code)
{
    switch (code) {
    case toolSpline: return 1061;
    case toolSolid: return 1064;
    case toolCurve: return 1070;
    case toolOblong: return 1073;
    default: return 0;
    }
}

int32_t toolItemType(int32_t code)
{
    switch (code) {
    case toolLine: return model::typeLine;
    case toolText: return model::typeText;
    case toolTriangle: return model::typeTriangle;
    case toolSquare: return model::typeSquare;
    case toolRectangle: return model::typeRectangle;
    case toolCircle: return model::typeCircle;
    case toolEllipse: return model::typeEllipse;
    case toolStar: return model::typeStar;
    case toolPie: return model::typePie;
    case toolArc: return model::typeArc;
    case toolSpline:
    case toolSolid: return model::typeSpline;
    case toolCurve:
    case toolOblong: return model::typeCurve;
    case toolPolygon: return model::typePolygon;
    default: return 0;
    }
}

} // namespace canvas
