// The swatch, the hue image and its marker: the picker rectangle of the main window, in the
// window's own coordinates less the rectangle's corner. A press inside the disc picks the colour
// under the pointer wherever it goes until the button is released; the edits follow at most every
// 20 ms during the pick, one sample behind, and take the last sample when it ends.
#pragma once

#include <QElapsedTimer>
#include <QPainter>
#include <QWidget>
#include <functional>

#include "core/rules/picker_rules.h"
#include "core/rules/window_state.h"
#include "panel/linux/skin_images.h"

class PickerView : public QWidget {
    Q_OBJECT

  public:
    // `shade` reads the shade slider's position for the swatch.
    PickerView(WindowState& state, const SkinImage& hueImage, std::function<int()> shade,
               QWidget* parent);

    // The picker's corner in the window.
    static constexpr Point kCorner = {kPickerBox.left, kPickerBox.top};

  signals:
    // The edits are to show this colour.
    void editsDue(int red, int green, int blue);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Draw(QPainter& painter, const QRect& part);
    void Step(PointerEvent event);
    void Track(Point client);
    void PickAt(Point client);

    WindowState& state_;
    const SkinImage& hueImage_;
    std::function<int()> shade_;
    QElapsedTimer clock_;
    QWidget* swatch_ = nullptr;
};
