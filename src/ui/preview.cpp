#include "ui/preview.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace ui {

namespace {
constexpr int columnWidth = 190;
constexpr int previewMargin = 10;
} // namespace

// The sheet, scaled (smoothly, aspect kept) to the largest size that fits
// inside the widget less a margin, centred on the dark preview background.
class fittedImage_t : public QWidget {
public:
    explicit fittedImage_t(QWidget* parent) : QWidget(parent)
    {
        setBackgroundRole(QPalette::Dark);
        setAutoFillBackground(true);
        setMinimumSize(2 * previewMargin + 20, 2 * previewMargin + 20);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    void setImage(const QImage& img)
    {
        image_ = img;
        update();
    }
    QRect fittedRect() const
    {
        if (image_.isNull()) return {};
        const QRect room = rect().adjusted(previewMargin, previewMargin, -previewMargin, -previewMargin);
        if (room.width() <= 0 || room.height() <= 0) return {};
        const QSize fitted = image_.size().scaled(room.size(), Qt::KeepAspectRatio);
        const QSize s(std::max(1, fitted.width()), std::max(1, fitted.height()));
        return QRect(QPoint(room.x() + (room.width() - s.width()) / 2, room.y() + (room.height() - s.height()) / 2), s);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QRect r = fittedRect();
        if (r.isEmpty()) return;
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(r, image_);
        p.setPen(palette().color(QPalette::Shadow));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }

private:
    QImage image_;
};

TPreview::TPreview(std::function<QImage()> build, std::function<void()> print,
                   std::function<void(const QImage&)> exported, QWidget* parent)
    : THostedPanel(parent), build_(std::move(build)), print_(std::move(print)), exported_(std::move(exported))
{
    setObjectName(QStringLiteral("TPreview"));
    auto* row = new QHBoxLayout(this);
    auto* leftBox = new QWidget(this);
    auto* left = new QVBoxLayout(leftBox);
    heading_ = new QLabel(QStringLiteral("Print Preview"), leftBox);
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    status_ = new QLabel(QStringLiteral("The print preview is being prepared..."), leftBox);
    status_->setWordWrap(true);
    left->addWidget(heading_);
    left->addWidget(status_);
    printIcon_ = new QToolButton(leftBox);
    printIcon_->setObjectName(QStringLiteral("printIcon"));
    printIcon_->setToolTip(QStringLiteral("Print"));
    printIcon_->setIconSize(QSize(32, 32));
    printIcon_->setAutoRaise(true);
    printIcon_->hide();
    QObject::connect(printIcon_, &QToolButton::clicked, this, [this] {
        if (printClicked_) printClicked_();
    });
    left->addWidget(printIcon_);
    left->addStretch(1);
    leftBox->setFixedWidth(columnWidth);
    row->addWidget(leftBox);

    sheet_ = new fittedImage_t(this);
    row->addWidget(sheet_, 1);

    buildTimer_.setSingleShot(true);
    buildTimer_.setInterval(200);
    QObject::connect(&buildTimer_, &QTimer::timeout, this, [this] { buildPreview(); });
    buildTimer_.start();
}

QSize TPreview::preferredClientSize() const { return {900, 640}; }

void TPreview::buildPreview()
{
    if (built_) return;
    built_ = true;
    buildTimer_.stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    image_ = build_ ? build_() : QImage();
    QApplication::restoreOverrideCursor();
    if (image_.isNull()) {
        status_->setText(QStringLiteral("There is no page to preview."));
        return;
    }
    sheet_->setImage(image_);
    status_->setText(QStringLiteral(
        "<p>The preview is scaled to fit your screen.</p>"
        "<p>Your printer will make a sharper print than what you can see on your screen, so verify only the layout, not "
        "the quality of the print preview.</p>"
        "<p>Most printers cannot print on the edges of the paper and leave some small margins blank. The preview shows "
        "the entire image, including the margins.</p>"));
    printIcon_->show();
    if (exported_) exported_(image_);
}

QRect TPreview::shownSheetRect() const
{
    const QRect r = sheet_->fittedRect();
    return r.isEmpty() ? r : r.translated(sheet_->mapTo(this, QPoint(0, 0)));
}

bool TPreview::applyHosted()
{
    if (print_) print_();
    return true;
}

} // namespace ui
