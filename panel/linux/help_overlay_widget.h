// The help overlay on Linux: a translucent black layer over the whole window that names the
// panel's parts beside the controls and frames the three control groups; a click anywhere or Esc
// closes it, other keys do nothing. A layer inside the window rather than a window of its own:
// Wayland lets no program place a window over another.
#pragma once

#include <QWidget>

class HelpOverlayWidget : public QWidget {
    Q_OBJECT

  public:
    // `controls`: the widget the panel's controls stand on, at the Windows panel's client
    // coordinates.
    HelpOverlayWidget(QWidget* controls, QWidget* window);

    // Laid over the whole window, on top, with the keyboard's focus.
    void Open();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    QWidget* controls_;
    QWidget* focusBefore_ = nullptr;
};
