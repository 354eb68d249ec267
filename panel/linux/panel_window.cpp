#include "panel/linux/panel_window.h"

#include <QFont>
#include <QLayout>
#include <QMenuBar>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "core/led/led_commands.h"
#include "core/rules/control_ids.h"
#include "core/rules/picker_rules.h"
#include "panel/linux/message_box.h"
#include "panel/portable/panel_texts.h"
#include "platform/linux/keeper_contact.h"
#include "platform/linux/settings_store_linux.h"

namespace {

// The client area the controls stand on, as the Windows panel's 480 x 440 window has it.
constexpr int kClientWidth = 464;
constexpr int kClientHeight = 401;
constexpr int kControlFontPixels = 12;
// The edits are 24 x 12 on Windows; a Qt edit keeps margins inside its frame, and needs a little
// more room for the same three digits.
constexpr int kEditWidth = 28;
constexpr int kEditHeight = 14;
constexpr int kEditFontPixels = 11;
constexpr const char* kSettingsMenuText = "設定";
constexpr const char* kNoDriverAdvice =
    "\n\nNVIDIA のドライバーが読み込まれているか確かめてください"
    " (/proc/driver/nvidia/gpus に GPU があること)。";

template <typename Widget>
Widget* Place(Widget* widget, int x, int y, int width, int height) {
    widget->setGeometry(x, y, width, height);
    return widget;
}

void Apply(QWidget* control, const ControlChange& change) {
    if (change.enabled) control->setEnabled(*change.enabled);
    auto* button = qobject_cast<QRadioButton*>(control);
    if (change.checked && button != nullptr) button->setChecked(*change.checked);
}

QString TextOf(const wchar_t* text) {
    return QString::fromWCharArray(text);
}

void Fill(QComboBox* list, const TextList& texts) {
    for (const wchar_t* text : texts) list->addItem(TextOf(text));
}

// A list's name for screen readers: a label it is the buddy of (Qt names a list by its item).
void Label(QComboBox* list, const char* name, QWidget* client) {
    auto* label = new QLabel(QString::fromUtf8(name), client);
    label->setGeometry(list->x(), list->y(), 0, 0);
    label->setBuddy(list);
    list->setAccessibleName(QString::fromUtf8(name));
}

}  // namespace

PanelWindow::PanelWindow(SkinImage hueImage, SkinImage badge, std::optional<int> i2cBus)
    : hueImage_(std::move(hueImage)),
      badge_(std::move(badge)),
      sender_(std::make_unique<BoardSender>(i2cBus)) {
    setWindowTitle(QString::fromUtf8(kPanelTitle));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    client->setAutoFillBackground(true);
    QPalette white = client->palette();
    white.setColor(QPalette::Window, Qt::white);
    client->setPalette(white);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    c_.overlay = new HelpOverlayWidget(client, this);
    CreateControls(client);
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(kSettingsMenuText));
    c_.keeperItems = new KeeperItems(menu, this);
    connect(sender_.get(), &BoardSender::finished, this, &PanelWindow::OnSendFinished);
    clock_.start();
}

// The sending thread ends (a send under way finishes first) before the controls go.
PanelWindow::~PanelWindow() {
    sender_.reset();
}

void PanelWindow::CreateControls(QWidget* client) {
    QFont controlFont = font();
    controlFont.setPixelSize(kControlFontPixels);
    c_.apply = Place(new QPushButton(QStringLiteral("適用"), client), 240, 346, 100, 47);
    c_.reset = Place(new QPushButton(QStringLiteral("リセット"), client), 345, 346, 70, 20);
    c_.help = Place(new QPushButton(QStringLiteral("？"), client), 417, 326, 40, 40);
    c_.gpuList = Place(new QComboBox(client), 20, 322, 200, 20);
    c_.modeList = Place(new QComboBox(client), 20, 346, 200, 20);
    c_.intervalList = Place(new QComboBox(client), 20, 370, 96, 20);
    c_.brightnessList = Place(new QComboBox(client), 124, 370, 96, 20);
    c_.ledOn = Place(new QRadioButton(QStringLiteral("LED ON"), client), 240, 322, 70, 20);
    c_.ledOff = Place(new QRadioButton(QStringLiteral("LED OFF"), client), 345, 322, 70, 20);
    c_.cycle = Place(new QRadioButton(QStringLiteral("Cycle"), client), 410, 210, 70, 20);
    c_.single = Place(new QRadioButton(QStringLiteral("Single"), client), 410, 232, 70, 20);
    c_.red = Place(new QLineEdit(QStringLiteral("255"), client), 424, 260, kEditWidth, kEditHeight);
    c_.green =
        Place(new QLineEdit(QStringLiteral("255"), client), 424, 275, kEditWidth, kEditHeight);
    c_.blue =
        Place(new QLineEdit(QStringLiteral("255"), client), 424, 290, kEditWidth, kEditHeight);
    c_.shade = Place(new QSlider(Qt::Vertical, client), 20, 10, 40, 300);
    c_.picker = new PickerView(
        state_, hueImage_, [this] { return c_.shade->value(); }, client);

    for (QWidget* control : std::initializer_list<QWidget*>{
             c_.apply, c_.reset, c_.gpuList, c_.modeList, c_.intervalList, c_.brightnessList,
             c_.ledOn, c_.ledOff, c_.cycle, c_.single}) {
        control->setFont(controlFont);
    }
    QFont editFont = controlFont;
    editFont.setPixelSize(kEditFontPixels);
    ledGroup_ = new QButtonGroup(this);
    ledGroup_->addButton(c_.ledOn);
    ledGroup_->addButton(c_.ledOff);
    cycleGroup_ = new QButtonGroup(this);
    cycleGroup_->addButton(c_.cycle);
    cycleGroup_->addButton(c_.single);

    // 0 at the top, as the trackbar: the keys move the handle the way they point.
    c_.shade->setRange(0, kShadeMax);
    c_.shade->setInvertedAppearance(true);
    c_.shade->setInvertedControls(true);
    c_.shade->setTickPosition(QSlider::TicksBothSides);
    c_.shade->setTickInterval(10);
    c_.shade->setPageStep(2);
    c_.shade->setValue(kShadeMiddle);
    c_.shade->setAccessibleName(QStringLiteral("色の明るさ"));

    // Digits only, as the Windows edits take them; which values count is the edit rule's.
    auto* digits = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9\uFF10-\uFF19]*")), this);
    const char* names[] = {"R", "G", "B"};
    const char* labels[] = {"R: ", "G: ", "B: "};
    QLineEdit* edits[] = {c_.red, c_.green, c_.blue};
    for (int i = 0; i < 3; ++i) {
        edits[i]->setValidator(digits);
        edits[i]->setFont(editFont);
        edits[i]->setAccessibleName(QString::fromUtf8(names[i]));
        edits[i]->setStyleSheet(
            QStringLiteral("QLineEdit { border: 1px solid gray; padding: 0; }"));
        auto* label = Place(new QLabel(QString::fromUtf8(labels[i]), client), kLabelLeft,
                            kLabelTops[size_t(i)], kLabelWidth, kLabelHeight);
        label->setFont(controlFont);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    auto* badge =
        Place(new QLabel(client), kBadgeOrigin.x, kBadgeOrigin.y, kBadgeWidth, kBadgeHeight);
    badge->setPixmap(QPixmap::fromImage(badge_.image));
    Label(c_.gpuList, "GPU", client);
    Label(c_.modeList, "発光モード選択", client);
    Label(c_.intervalList, "発光間隔", client);
    Label(c_.brightnessList, "明るさ", client);

    // Top left to bottom right by groups: the board and its lists, the colour, the LEDs, the
    // commands.
    QWidget* order[] = {c_.gpuList, c_.modeList, c_.intervalList, c_.brightnessList,
                        c_.shade,   c_.picker,   c_.cycle,        c_.single,
                        c_.red,     c_.green,    c_.blue,         c_.ledOn,
                        c_.ledOff,  c_.apply,    c_.reset,        c_.help};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    for (QComboBox* list : {c_.gpuList, c_.modeList, c_.intervalList, c_.brightnessList}) {
        connect(list, &QComboBox::activated, this, &PanelWindow::OnSelectionChanged);
    }
    connect(c_.cycle, &QRadioButton::clicked, this, [this] { OnCycleClicked(kCycleButtonId); });
    connect(c_.single, &QRadioButton::clicked, this, [this] { OnCycleClicked(kSingleButtonId); });
    connect(c_.red, &QLineEdit::textEdited, this,
            [this] { OnEditTyped(c_.red, &WindowState::red); });
    connect(c_.green, &QLineEdit::textEdited, this,
            [this] { OnEditTyped(c_.green, &WindowState::green); });
    connect(c_.blue, &QLineEdit::textEdited, this,
            [this] { OnEditTyped(c_.blue, &WindowState::blue); });
    connect(c_.shade, &QSlider::valueChanged, this, &PanelWindow::OnShadeMoved);
    connect(c_.apply, &QPushButton::clicked, this, &PanelWindow::OnApply);
    connect(c_.reset, &QPushButton::clicked, this, &PanelWindow::OnReset);
    connect(c_.help, &QPushButton::clicked, c_.overlay, &HelpOverlayWidget::Open);
    connect(c_.picker, &PickerView::editsDue, this, &PanelWindow::WriteEdits);
}

std::string PanelWindow::Start() {
    const DiscoveryResult result = sender_->FindBoards(table_);
    if (result.moreThanEightGpus) ShowProblem(this, QString::fromUtf8(kTooManyGpusText));
    if (result.failure != DiscoveryFailure::kNone) {
        const bool noDriver = result.failure == DiscoveryFailure::kInitialisation ||
                              result.failure == DiscoveryFailure::kNoGpu;
        return DiscoveryFailureText(result) + (noDriver ? kNoDriverAdvice : "");
    }
    for (int slot = 0; slot < table_.gpuCount; ++slot) {
        c_.gpuList->addItem(TextOf(table_.gpuSlots[slot].name));
    }
    c_.gpuList->setCurrentIndex(0);
    const GpuSlot& slot = SelectedSlot();
    const StartPlan plan = PlanStartStates(slot.family, slot.supported != 0);
    Fill(c_.modeList, *plan.modeTexts);
    c_.modeList->setCurrentIndex(plan.modePosition);
    Fill(c_.intervalList, *plan.intervalTexts);
    Fill(c_.brightnessList, *plan.brightnessTexts);
    c_.intervalList->setCurrentIndex(plan.intervalPosition);
    c_.brightnessList->setCurrentIndex(plan.brightnessPosition);
    ApplyChanges(plan.changes);
    sender_->StartThread();
    return std::string();
}

void PanelWindow::Raise() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void PanelWindow::ApplyChanges(const ControlChanges& changes) {
    // The rules may clear a radio button; an exclusive group would not let them.
    cycleGroup_->setExclusive(false);
    ledGroup_->setExclusive(false);
    Apply(c_.modeList, changes.modeList);
    Apply(c_.ledOn, changes.ledOn);
    Apply(c_.ledOff, changes.ledOff);
    Apply(c_.cycle, changes.cycle);
    Apply(c_.single, changes.single);
    Apply(c_.shade, changes.shadeSlider);
    Apply(c_.intervalList, changes.intervalList);
    Apply(c_.brightnessList, changes.brightnessList);
    cycleGroup_->setExclusive(true);
    ledGroup_->setExclusive(true);
    if (changes.apply.enabled) applyEnabled_ = *changes.apply.enabled;
    if (changes.reset.enabled) resetEnabled_ = *changes.reset.enabled;
    SetSendControls();
}

void PanelWindow::SetSendControls() {
    c_.apply->setEnabled(applyEnabled_ && !sending_);
    c_.reset->setEnabled(resetEnabled_ && !sending_);
}

const GpuSlot& PanelWindow::SelectedSlot() const {
    return table_.gpuSlots[state_.selectedGpu];
}

int PanelWindow::ReadColourEdit(QLineEdit* edit) {
    const EditReading reading = ReadColourText(edit->text().toStdWString());
    if (reading.replacement != nullptr) edit->setText(TextOf(reading.replacement));
    return reading.value;
}

void PanelWindow::WriteEdits(int red, int green, int blue) {
    c_.red->setText(QString::number(red));
    c_.green->setText(QString::number(green));
    c_.blue->setText(QString::number(blue));
}

void PanelWindow::SendCommand(const LedSettings& settings,
                              std::function<void(bool, int)> afterSend) {
    sending_ = true;
    SetSendControls();
    afterSend_ = std::move(afterSend);
    sender_->Send(led::TargetOfSlot(table_, state_.selectedGpu), settings);
}

void PanelWindow::ChangeSettings(const std::optional<SettingsChange>& change) {
    if (!change) return;
    LinuxSettingsStore store;
    std::string error;
    const SettingsOutcome outcome = UpdateSettings(store, *change, error);
    if (outcome == SettingsOutcome::kDone) return TellKeeperSettingsChanged();
    const std::optional<std::string> problem =
        SettingsProblemToTell(outcome, false, store.FileName(), error, settingsProblemTold_);
    if (problem) Tell(QString::fromStdString(*problem));
}

void PanelWindow::Tell(const QString& text) {
    ShowProblem(this, text);
}

void PanelWindow::OnSelectionChanged() {
    state_.selectedGpu =
        SlotFromListSelection(c_.gpuList->currentIndex(), table_.gpuCount, state_.selectedGpu);
    const GpuSlot& slot = SelectedSlot();
    RefreshReadings readings;
    readings.family = slot.family;
    readings.supported = slot.supported != 0;
    readings.secondModeTextLength =
        c_.modeList->count() > 1 ? static_cast<int>(c_.modeList->itemText(1).size()) : -1;
    readings.modePosition = c_.modeList->currentIndex();
    readings.cycleChecked = c_.cycle->isChecked();
    const RefreshPlan plan = PlanSelectionRefresh(readings);
    if (plan.rebuildModeList != nullptr) {
        c_.modeList->clear();
        Fill(c_.modeList, *plan.rebuildModeList);
        c_.modeList->setCurrentIndex(0);
    }
    ApplyChanges(plan.changes);
    if (plan.repaintPicker) c_.picker->update();
}

void PanelWindow::OnCycleClicked(int controlId) {
    const GpuSlot& slot = SelectedSlot();
    CycleClick click;
    click.controlId = controlId;
    click.notificationCode = 0;  // a click
    click.supported = slot.supported != 0;
    click.family = slot.family;
    click.modePosition = c_.modeList->currentIndex();
    click.cycleChecked = c_.cycle->isChecked();
    const std::optional<bool> sliderEnabled = SliderAfterCycleClick(click);
    if (!sliderEnabled) return;
    c_.shade->setEnabled(*sliderEnabled);
    c_.picker->update();
}

// Only what the user types moves the colour; the program's own writes into an edit do not.
void PanelWindow::OnEditTyped(QLineEdit* edit, int WindowState::*component) {
    state_.*component = ReadColourEdit(edit);
    c_.picker->update();
}

void PanelWindow::OnShadeMoved() {
    const Colour shaded = ShadeColour({state_.red, state_.green, state_.blue}, c_.shade->value());
    if (TakeRefreshTurn(state_.sliderRefresh, clock_.elapsed())) {
        WriteEdits(shaded.red, shaded.green, shaded.blue);
    }
    c_.picker->update();
}

void PanelWindow::OnApply() {
    state_.selectedGpu =
        SlotFromListSelection(c_.gpuList->currentIndex(), table_.gpuCount, state_.selectedGpu);
    ApplyReadings readings;
    readings.modePosition = c_.modeList->currentIndex();
    readings.intervalPosition = c_.intervalList->currentIndex();
    readings.brightnessPosition = c_.brightnessList->currentIndex();
    readings.ledOnChecked = c_.ledOn->isChecked();
    readings.cycleChecked = c_.cycle->isChecked();
    readings.shadePosition = c_.shade->value();
    readings.red = ReadColourEdit(c_.red);
    readings.green = ReadColourEdit(c_.green);
    readings.blue = ReadColourEdit(c_.blue);
    const GpuSlot slot = SelectedSlot();
    SendCommand(GatherLedSettings(slot.family, readings), [this, slot, readings](bool reached,
                                                                                 int adapter) {
        ChangeSettings(ChangeAfterApply(slot, readings, reached,
                                        adapter >= 0 ? std::optional<int>(adapter) : std::nullopt));
    });
}

// Reset addresses the slot of the last refresh or Apply; the list is not read again.
void PanelWindow::OnReset() {
    const GpuSlot slot = SelectedSlot();
    const ResetPlan plan = PlanReset(slot.family, slot.supported != 0);
    state_.red = plan.red;
    state_.green = plan.green;
    state_.blue = plan.blue;
    for (QLineEdit* edit : {c_.red, c_.green, c_.blue}) edit->setText(TextOf(plan.editText));
    SendCommand(plan.sent, [this, slot](bool reached, int) {
        ChangeSettings(ChangeAfterReset(slot, reached));
    });
    c_.modeList->setCurrentIndex(plan.modePosition);
    c_.intervalList->setCurrentIndex(plan.intervalPosition);
    c_.brightnessList->setCurrentIndex(plan.brightnessPosition);
    ApplyChanges(plan.changes);
    state_.markerX = plan.markerX;
    state_.markerY = plan.markerY;
    {
        // Moved by the program, as the trackbar's own position message: no refresh of the edits.
        const QSignalBlocker quiet(c_.shade);
        c_.shade->setValue(plan.shadePosition);
    }
    c_.picker->update();
}

void PanelWindow::OnSendFinished(bool reachedBoard, const QString& problem, int chosenAdapter) {
    sending_ = false;
    SetSendControls();
    if (!problem.isEmpty()) Tell(problem);
    if (afterSend_) afterSend_(reachedBoard, chosenAdapter);
    afterSend_ = nullptr;
    emit sendEnded();
}
