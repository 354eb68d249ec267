#include "panel/linux/picker_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

Point ClientOf(const QPointF& local) {
    return {static_cast<int>(local.x()) + PickerView::kCorner.x,
            static_cast<int>(local.y()) + PickerView::kCorner.y};
}

QRect LocalRect(const Box& box) {
    return QRect(box.left - PickerView::kCorner.x, box.top - PickerView::kCorner.y,
                 box.right - box.left, box.bottom - box.top);
}

// Where the marker's four bars are drawn.
QRect MarkerRect(const WindowState& state) {
    QRect around;
    for (const Box& bar : MarkerBars(MarkerCentre(state))) around |= LocalRect(bar);
    return around;
}

Colour BaseColour(const WindowState& state) {
    return {state.red, state.green, state.blue};
}

// The keyboard's step on the disc, in pixels.
constexpr int kKeyStep = 4;

// The swatch, a child of its own so that a pick repaints two plain rectangles, this one and the
// marker's, rather than one region of several: under such a clip every fill walks all its lines.
class SwatchView : public QWidget {
  public:
    SwatchView(std::function<QColor()> colour, QWidget* parent)
        : QWidget(parent), colour_(std::move(colour)) {
        setGeometry(LocalRect(kSwatchBox));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);  // the picker's pointer states hold here
    }

  protected:
    // The frame as a fill: an outlined rectangle goes through the stroker, ten times the cost.
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.fillRect(rect().adjusted(1, 1, -1, -1), colour_());
    }

  private:
    std::function<QColor()> colour_;
};

}  // namespace

PickerView::PickerView(WindowState& state, const SkinImage& hueImage, std::function<int()> shade,
                       QWidget* parent)
    : QWidget(parent), state_(state), hueImage_(hueImage), shade_(std::move(shade)) {
    setGeometry(kPickerBox.left, kPickerBox.top, kPickerBox.right - kPickerBox.left,
                kPickerBox.bottom - kPickerBox.top);
    // The paint covers the whole rectangle: the window's ground beneath is not drawn first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("色相"));
    swatch_ = new SwatchView(
        [this] {
            const Colour shaded = ShadeColour(BaseColour(state_), shade_());
            return QColor(shaded.red, shaded.green, shaded.blue);
        },
        this);
    clock_.start();
}

// Each rectangle of the region on its own, each drawing confined to it: under a clip of several
// rectangles every fill would walk all the lines of the picker.
void PickerView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (const QRect& part : event->region()) Draw(painter, part);
}

void PickerView::Draw(QPainter& painter, const QRect& part) {
    const auto fill = [&painter, &part](const QRect& area, const QColor& colour) {
        const QRect shown = area & part;
        if (!shown.isEmpty()) painter.fillRect(shown, colour);
    };
    fill(part, Qt::white);
    const QRect image(kHueImageOrigin.x - kCorner.x, kHueImageOrigin.y - kCorner.y,
                      hueImage_.image.width(), hueImage_.image.height());
    const QRect shown = image & part;
    if (!shown.isEmpty()) {
        painter.drawImage(shown.topLeft(), hueImage_.image, shown.translated(-image.topLeft()));
    }
    for (const Box& bar : MarkerBars(MarkerCentre(state_))) fill(LocalRect(bar), Qt::black);
}

void PickerView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    Step(PointerEvent::Press);
    Track(ClientOf(event->position()));
}

// Moves reach the picker while the button is held, wherever the pointer is; each stands for the
// cursor message that comes before every pointer message on Windows.
void PickerView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    Step(PointerEvent::Cursor);
    Track(ClientOf(event->position()));
}

void PickerView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    Step(PointerEvent::Release);
}

// Arrow keys move the pick point across the disc, as a press and release there would.
void PickerView::keyPressEvent(QKeyEvent* event) {
    Point at = {state_.markerX, state_.markerY};
    switch (event->key()) {
        case Qt::Key_Left:
            at.x -= kKeyStep;
            break;
        case Qt::Key_Right:
            at.x += kKeyStep;
            break;
        case Qt::Key_Up:
            at.y -= kKeyStep;
            break;
        case Qt::Key_Down:
            at.y += kKeyStep;
            break;
        default:
            return QWidget::keyPressEvent(event);
    }
    PickAt(PickPoint(at));
    emit editsDue(state_.red, state_.green, state_.blue);
}

void PickerView::Step(PointerEvent event) {
    const bool pickEnds = EndsPick(state_, event);
    const PointerStep step = StepPointer(state_.pointerState, event);
    state_.pointerState = step.state;
    if (step.clearInsidePicker) state_.insidePicker = false;
    if (pickEnds) emit editsDue(state_.red, state_.green, state_.blue);
    if (step.repaintPicker) update();
}

void PickerView::Track(Point client) {
    const TrackingStep step = DecideTracking(state_, client);
    state_.insidePicker = step.insidePicker;
    if (!step.track) return;
    // Written before the new sample: the edits stay one sample behind until the pick ends.
    if (TakeRefreshTurn(state_.trackingRefresh, clock_.elapsed())) {
        emit editsDue(state_.red, state_.green, state_.blue);
    }
    PickAt(PickPoint(client));
}

void PickerView::PickAt(Point pick) {
    const Point pixel = HueImagePixel(pick);
    const QRect markerWas = MarkerRect(state_);
    ApplyPick(state_, pick, hueImage_.pixels.At(pixel.x, pixel.y));
    // Only what a pick changes: the marker where it was and where it is now, and the swatch.
    update(markerWas | MarkerRect(state_));
    swatch_->update();
}
