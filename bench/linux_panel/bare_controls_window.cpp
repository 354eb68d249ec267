// The floor of the Linux panel's start-up, memory and drag: a Qt program with the panel's fifteen
// controls, their labels and its menu, at the same places with the same fonts and lists, and
// nothing else (no boards looked for, no skins decoded, no settings read, no other panel asked).
// In the picker's place stands a view that repaints a picture of the hue image's size on every
// move with the button held.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "core/rules/panel_rules.h"
#include "core/rules/picker_rules.h"
#include "panel/portable/panel_texts.h"

namespace {

class RepaintingView : public QWidget {
  public:
    explicit RepaintingView(QWidget* parent)
        : QWidget(parent), picture_(kHueImageSize, kHueImageSize, QImage::Format_RGB32) {
        picture_.fill(Qt::gray);
        setGeometry(kPickerBox.left, kPickerBox.top, kPickerBox.right - kPickerBox.left,
                    kPickerBox.bottom - kPickerBox.top);
        setAccessibleName(QStringLiteral("色相"));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.drawImage(kHueImageOrigin.x - kPickerBox.left, kHueImageOrigin.y - kPickerBox.top,
                          picture_);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton) update();
    }

  private:
    QImage picture_;
};

struct Place {
    const char* kind;  // "button", "list", "radio", "edit", "label"
    const char* text;
    int x, y, width, height;
};

constexpr Place kControls[] = {
    {"button", "適用", 240, 346, 100, 47},  {"button", "リセット", 345, 346, 70, 20},
    {"button", "？", 417, 326, 40, 40},     {"list", "", 20, 322, 200, 20},
    {"list", "", 20, 346, 200, 20},         {"list", "", 20, 370, 96, 20},
    {"list", "", 124, 370, 96, 20},         {"radio", "LED ON", 240, 322, 70, 20},
    {"radio", "LED OFF", 345, 322, 70, 20}, {"radio", "Cycle", 410, 210, 70, 20},
    {"radio", "Single", 410, 232, 70, 20},  {"edit", "255", 424, 260, 28, 14},
    {"edit", "255", 424, 275, 28, 14},      {"edit", "255", 424, 290, 28, 14},
    {"label", "R: ", 410, 260, 12, 20},     {"label", "G: ", 410, 275, 12, 20},
    {"label", "B: ", 410, 290, 12, 20},
};

QWidget* Make(const Place& place, QWidget* client) {
    const QString text = QString::fromUtf8(place.text);
    QWidget* control = nullptr;
    const std::string kind = place.kind;
    if (kind == "button") control = new QPushButton(text, client);
    if (kind == "radio") control = new QRadioButton(text, client);
    if (kind == "label") control = new QLabel(text, client);
    if (kind == "list") control = new QComboBox(client);
    if (kind == "edit") {
        auto* edit = new QLineEdit(text, client);
        edit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid gray; padding: 0; }"));
        control = edit;
    }
    control->setGeometry(place.x, place.y, place.width, place.height);
    QFont font = control->font();
    font.setPixelSize(kind == "edit" ? 11 : 12);
    control->setFont(font);
    return control;
}

void Fill(QComboBox* list, const TextList& texts, int position) {
    for (const wchar_t* text : texts) list->addItem(QString::fromWCharArray(text));
    list->setCurrentIndex(position);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8(kPanelTitle));
    auto* client = new QWidget(&window);
    client->setFixedSize(464, 401);
    client->setAutoFillBackground(true);
    QPalette white = client->palette();
    white.setColor(QPalette::Window, Qt::white);
    client->setPalette(white);
    window.setCentralWidget(client);
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    std::vector<QComboBox*> lists;
    for (const Place& place : kControls) {
        QWidget* control = Make(place, client);
        if (auto* list = qobject_cast<QComboBox*>(control)) lists.push_back(list);
    }
    auto* shade = new QSlider(Qt::Vertical, client);
    shade->setGeometry(20, 10, 40, 300);
    shade->setRange(0, kShadeMax);
    shade->setTickPosition(QSlider::TicksBothSides);
    shade->setTickInterval(10);
    shade->setValue(kShadeMiddle);
    new RepaintingView(client);
    auto* badge = new QLabel(client);
    badge->setGeometry(kBadgeOrigin.x, kBadgeOrigin.y, kBadgeWidth, kBadgeHeight);
    QPixmap badgePicture(kBadgeWidth, kBadgeHeight);
    badgePicture.fill(Qt::darkGray);
    badge->setPixmap(badgePicture);
    const StartPlan plan = PlanStartStates(3000, true);
    lists[0]->addItem(QStringLiteral("NVIDIA GeForce RTX 3080"));
    lists[0]->addItem(QStringLiteral("NVIDIA GeForce RTX 2080 SUPER"));
    Fill(lists[1], *plan.modeTexts, plan.modePosition);
    Fill(lists[2], *plan.intervalTexts, plan.intervalPosition);
    Fill(lists[3], *plan.brightnessTexts, plan.brightnessPosition);
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("設定"));
    for (const char* item : {kLogonItemText, kAwayItemText}) {
        menu->addAction(QString::fromUtf8(item))->setCheckable(true);
    }
    window.show();
    return QApplication::exec();
}
