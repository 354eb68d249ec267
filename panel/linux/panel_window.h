// The panel's one window on Linux: the Windows panel's fifteen controls at its client coordinates,
// the hue image and badge from the stored skins, the help overlay and a menu with the keeper's two
// items. Each handler reads the controls, calls the portable rule and applies what it returns;
// Apply and Reset send on the sender's thread, and both stay disabled until the send ends.
#pragma once

#include <QButtonGroup>
#include <QElapsedTimer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/gpus/gpu_slots.h"
#include "core/rules/panel_rules.h"
#include "core/rules/window_state.h"
#include "panel/linux/board_sender.h"
#include "panel/linux/help_overlay_widget.h"
#include "panel/linux/keeper_items.h"
#include "panel/linux/picker_view.h"
#include "panel/linux/skin_images.h"
#include "panel/portable/saved_lighting_rule.h"

class PanelWindow : public QMainWindow {
    Q_OBJECT

  public:
    PanelWindow(SkinImage hueImage, SkinImage badge, std::optional<int> i2cBus);
    ~PanelWindow() override;

    // Finds the boards and sets the controls by the first; the reason, for the user, when the
    // panel cannot go on.
    std::string Start();

    // Shown and on top, as a second panel asks.
    void Raise();

    // The controls, as the panel's tests drive them.
    struct Controls {
        QPushButton* apply;
        QPushButton* reset;
        QPushButton* help;
        QComboBox* gpuList;
        QComboBox* modeList;
        QComboBox* intervalList;
        QComboBox* brightnessList;
        QRadioButton* ledOn;
        QRadioButton* ledOff;
        QRadioButton* cycle;
        QRadioButton* single;
        QLineEdit* red;
        QLineEdit* green;
        QLineEdit* blue;
        QSlider* shade;
        PickerView* picker;
        HelpOverlayWidget* overlay;
        KeeperItems* keeperItems;
    };
    const Controls& Widgets() const { return c_; }
    const WindowState& State() const { return state_; }

  signals:
    // A send ended and what it leaves in the settings is done.
    void sendEnded();

  private:
    void CreateControls(QWidget* client);
    void ApplyChanges(const ControlChanges& changes);
    void SetSendControls();
    const GpuSlot& SelectedSlot() const;
    int ReadColourEdit(QLineEdit* edit);
    void WriteEdits(int red, int green, int blue);
    // `afterSend` is given whether the board was reached and the adapter chosen for it (-1: none).
    void SendCommand(const LedSettings& settings, std::function<void(bool, int)> afterSend);
    void ChangeSettings(const std::optional<SettingsChange>& change);
    void Tell(const QString& text);

    void OnSelectionChanged();
    void OnCycleClicked(int controlId);
    void OnEditTyped(QLineEdit* edit, int WindowState::*component);
    void OnShadeMoved();
    void OnApply();
    void OnReset();
    void OnSendFinished(bool reachedBoard, const QString& problem, int chosenAdapter);

    SkinImage hueImage_;
    SkinImage badge_;
    std::unique_ptr<BoardSender> sender_;
    GpuTable table_;
    WindowState state_;
    Controls c_{};
    QButtonGroup* ledGroup_ = nullptr;
    QButtonGroup* cycleGroup_ = nullptr;
    // What the rules last said of Apply and Reset; a running send disables both meanwhile.
    bool applyEnabled_ = true;
    bool resetEnabled_ = true;
    bool sending_ = false;
    std::function<void(bool, int)> afterSend_;
    bool settingsProblemTold_ = false;
    QElapsedTimer clock_;
};
