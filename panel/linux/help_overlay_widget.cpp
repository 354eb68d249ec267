#include "panel/linux/help_overlay_widget.h"

#include <QKeyEvent>
#include <QPainter>

#include "panel/portable/help_overlay.h"

namespace {

// The overlay's pixels start at the window's outer top; its texts and frames stand beside the
// controls of the client area, which starts below the caption the Windows panel was laid out with.
constexpr int kCaptionHeight = 30;

template <size_t N>
void DrawTexts(QPainter& painter, const std::array<OverlayText, N>& texts) {
    const QFontMetrics metrics = painter.fontMetrics();
    for (const OverlayText& text : texts) {
        // Windows draws from the text's top-left corner, Qt from its baseline.
        painter.drawText(text.x, text.y + metrics.ascent(), QString::fromUtf8(text.text));
    }
}

}  // namespace

HelpOverlayWidget::HelpOverlayWidget(QWidget* controls, QWidget* window)
    : QWidget(window), controls_(controls) {
    setAccessibleName(QStringLiteral("ヘルプ"));
    setFocusPolicy(Qt::StrongFocus);
    hide();
}

void HelpOverlayWidget::Open() {
    focusBefore_ = window()->focusWidget();
    setGeometry(parentWidget()->rect());
    raise();
    show();
    setFocus(Qt::OtherFocusReason);
}

void HelpOverlayWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0, 0, 0, kOverlayAlpha));
    painter.translate(controls_->mapTo(parentWidget(), QPoint(0, -kCaptionHeight)));
    // White on black, the black behind each text opaque as on Windows.
    painter.setPen(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::black);
    DrawTexts(painter, kOverlaySystemFontTexts);
    QFont labelFont = painter.font();
    labelFont.setPixelSize(kOverlayLabelFontHeight);
    painter.setFont(labelFont);
    DrawTexts(painter, kOverlayLabelFontTexts);
    // The pen lies inside each frame's box, as an inside-frame pen does.
    painter.setBackgroundMode(Qt::TransparentMode);
    const qreal half = kFrameWidth / 2.0;
    painter.setPen(QPen(QColor(kFrameGrey, kFrameGrey, kFrameGrey), kFrameWidth));
    painter.setBrush(Qt::NoBrush);
    for (const RoundedFrame& frame : kOverlayFrames) {
        const QRectF box(frame.box.left + half, frame.box.top + half,
                         frame.box.right - frame.box.left - kFrameWidth,
                         frame.box.bottom - frame.box.top - kFrameWidth);
        painter.drawRoundedRect(box, frame.cornerWidth / 2.0, frame.cornerHeight / 2.0);
    }
}

void HelpOverlayWidget::mousePressEvent(QMouseEvent*) {
    hide();
    if (focusBefore_ != nullptr) focusBefore_->setFocus(Qt::OtherFocusReason);
}

void HelpOverlayWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) mousePressEvent(nullptr);
}

// While open, the keyboard stays on the overlay.
bool HelpOverlayWidget::focusNextPrevChild(bool) {
    return true;
}
