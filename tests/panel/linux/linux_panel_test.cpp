// lumivar-panel's window in the test process on the offscreen platform, over the fake machine of
// the Linux tests: every control driven with QTest's keys and mouse, and what reaches the played
// adapters checked against bytes worked by hand (the Windows panel's for the same controls).
#include <QAccessible>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QtTest>
#include <regex>

#include "panel/linux/panel_window.h"
#include "panel/linux/single_instance.h"
#include "platform/linux/folders.h"
#include "tests/cli/linux/fake_machine.h"

namespace {

// A 42-byte family-3000 block: ten bytes, then one four-byte group eight times.
std::string Block3000(const std::string& head, const std::string& group) {
    std::string text = "i2c-3 write 42: " + head;
    for (int i = 0; i < 8; ++i) text += " " + group;
    return text + "\n";
}

std::string Blocks2000(const std::string& first, const std::string& second) {
    return "i2c-4 write 8: " + first + "\ni2c-4 write 8: " + second + "\n";
}

struct Controls {
    int gpu, mode, cycle, interval, brightness, ledOn, shade;
    const char *red, *green, *blue;
};

}  // namespace

class LinuxPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<Machine> machine_;
    std::unique_ptr<PanelWindow> window_;
    const PanelWindow::Controls& c() const { return window_->Widgets(); }

    void Open() {
        window_.reset();
        machine_.reset();  // its folder is the next one's
        machine_ = std::make_unique<Machine>();
        window_ = std::make_unique<PanelWindow>(*LoadHueImage(), *LoadBadge(), std::nullopt);
    }
    void Show() {
        QCOMPARE(QString::fromStdString(window_->Start()), QString());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    static void Choose(QComboBox* list, int position) {
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < position; ++i) QTest::keyClick(list, Qt::Key_Down);
    }
    static void Type(QLineEdit* edit, const char* text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QString::fromUtf8(text));
    }
    void Set(const Controls& s) {
        Choose(c().gpuList, s.gpu);
        Choose(c().modeList, s.mode);
        Choose(c().intervalList, s.interval);
        Choose(c().brightnessList, s.brightness);
        QTest::keyClick(s.ledOn ? c().ledOn : c().ledOff, Qt::Key_Space);
        QTest::keyClick(c().shade, Qt::Key_Home);
        for (int i = 0; i < s.shade; ++i) QTest::keyClick(c().shade, Qt::Key_Down);
        QTest::keyClick(s.cycle ? c().cycle : c().single, Qt::Key_Space);
        Type(c().red, s.red), Type(c().green, s.green), Type(c().blue, s.blue);
    }
    // Presses the button and waits for its send; both buttons are off meanwhile.
    std::string Press(QPushButton* button) {
        QSignalSpy ended(window_.get(), &PanelWindow::sendEnded);
        QTest::mouseClick(button, Qt::LeftButton);
        const bool off = !c().apply->isEnabled() && !c().reset->isEnabled();
        if (!ended.wait(5000) || !off) return "no send, or the buttons stayed on";
        std::string writes;
        long pairStart = -1;  // a family-2000 board's two blocks, half a second apart
        for (const std::string& transfer : machine_->Transfers()) {
            if (transfer.find(" write ") == std::string::npos) continue;
            writes += transfer.substr(transfer.find(' ') + 1) + "\n";
            if (pairStart >= 0 && std::stol(transfer) - pairStart < 450) return "no pause";
            if (transfer.find(" i2c-4 ") != std::string::npos) pairStart = std::stol(transfer);
        }
        return writes;
    }
    QString Edits() const {
        return c().red->text() + "," + c().green->text() + "," + c().blue->text();
    }
    std::string Settings() const { return Text(machine_->root / "config/lumivar/settings.json"); }
    // What a screen reader calls the control: a list by the label it is the buddy of.
    static QString Name(QWidget* control) {
        QAccessibleInterface* found = QAccessible::queryAccessibleInterface(control);
        for (const auto& relation : found->relations(QAccessible::Label))
            return relation.first->text(QAccessible::Name);
        return found->text(QAccessible::Name);
    }
    QString Told() const {
        QString told;
        for (QMessageBox* box : window_->findChildren<QMessageBox*>()) told += box->text();
        return told;
    }

  private slots:
    void initTestCase() {
        qputenv("PATH", QByteArray(LUMIVAR_FOLDER) + ":" + qgetenv("PATH"));
        qputenv("QT_ACCESSIBILITY", "1");
    }
    void cleanup() { window_.reset(), machine_.reset(); }

    void ApplyAndResetSendWhatTheControlsSay() {
        Open();
        Show();
        machine_->Transfers();
        QCOMPARE(window_->windowTitle(), QStringLiteral("VOXA LED Lumivar"));
        const struct {
            Controls set;
            QPushButton* button;
            std::string sent;
            QString edits;
            bool saved;  // the board's options in the settings file afterwards
        } presses[] = {
            // BREATHING cycling, LED OFF; the slider is set before Cycle takes it away.
            {{0, 2, 1, 0, 3, 0, 20, "12", "34", "56"},
             c().apply,
             Block3000("a2 01 00 03 0a 1b 2d 01 03 00", "0a 1b 2d 03"),
             "12,34,56",
             true},
            // FLASH single, LED ON, edits out of range or empty: put right by the edit rule.
            {{0, 1, 0, 1, 2, 1, 0, "300", "", "1000"},
             c().apply,
             Block3000("a2 01 01 01 ff 00 64 00 02 01", "ff 00 64 02"),
             "255,,1000",
             true},
            // Family 2000 switching on: the mode block (WAVE is code 4) first; off: colour first.
            {{1, 2, 0, 0, 3, 1, 30, "10", "20", "30"},
             c().apply,
             Blocks2000("a0 00 04 07 0e 15 00 04", "a0 fc 01 07 0e 15 00 04"),
             "10,20,30",
             true},
            {{1, 4, 0, 2, 2, 0, 0, "53", "3", "1"},
             c().apply,
             Blocks2000("a0 fc 00 35 03 01 00 04", "a0 00 02 35 03 01 00 04"),
             "53,3,1",
             true},
            // Reset: white and static, and the board forgotten.
            {{1, 3, 0, 0, 2, 0, 80, "1", "2", "3"},
             c().reset,
             Blocks2000("a0 00 00 ff ff ff 00 04", "a0 fc 01 ff ff ff 00 04"),
             "255,255,255",
             false},
            {{0, 3, 0, 0, 2, 0, 80, "1", "2", "3"},
             c().reset,
             Block3000("a2 01 01 00 ff ff ff 01 02 03", "ff ff ff 02"),
             "255,255,255",
             false},
        };
        for (const auto& p : presses) {
            Set(p.set);
            QCOMPARE(QString::fromStdString(Press(p.button)), QString::fromStdString(p.sent));
            QCOMPARE(Edits(), p.edits);
            const char* pci = p.set.gpu == 0 ? "220610de" : "1e8110de";
            QCOMPARE(Settings().find(pci) != std::string::npos, p.saved);
        }
        // After the 3000 board's Reset: STATIC, interval 1, LED ON, Single, slider in the middle.
        QCOMPARE(c().modeList->currentText(), QStringLiteral("STATIC"));
        QCOMPARE(c().intervalList->currentIndex(), 1);
        QVERIFY(c().ledOn->isChecked() && c().single->isChecked() && !c().cycle->isEnabled());
        QCOMPARE(c().shade->value(), 50);
        QCOMPARE(Told(), QString());
    }

    // As `apply --i2c-bus N --save`: an Apply over the panel's --i2c-bus keeps that adapter in the
    // board's entry; a later panel asks it again instead of the search (which finds i2c-3), and
    // keeps it, while it is one of that GPU's adapters (i2c-7 is not an NVIDIA one).
    void SavedAdapterAskedAsRestoreAsksIt() {
        Open();
        Put(machine_->root / "dev/i2c-8", "answers");
        const struct {
            std::optional<int> bus;
            const char* saved;  // the entry's adapter before, as the file has it
            const char* sent;
            const char* kept;
        } starts[] = {
            {8, nullptr, "i2c-8 write 42", "\"i2c-bus\": 8"},
            {std::nullopt, "8", "i2c-8 write 42", "\"i2c-bus\": 8"},
            {std::nullopt, "7", "i2c-3 write 42", nullptr},
        };
        for (const auto& start : starts) {
            const fs::path file = machine_->root / "config/lumivar/settings.json";
            if (start.saved != nullptr) {
                Put(file, std::regex_replace(Text(file), std::regex("\"i2c-bus\": [0-9]+"),
                                             std::string("\"i2c-bus\": ") + start.saved));
            }
            window_ = std::make_unique<PanelWindow>(*LoadHueImage(), *LoadBadge(), start.bus);
            Show();
            machine_->Transfers();
            const std::string sent = Press(c().apply);
            QCOMPARE(QString::fromStdString(sent.substr(0, sent.find(':'))), QString(start.sent));
            QCOMPARE(Settings().find("i2c-bus") != std::string::npos, start.kept != nullptr);
            if (start.kept != nullptr) QVERIFY(Settings().find(start.kept) != std::string::npos);
        }
    }

    // A running keeper (this process, holding the keeper's pid file) is told of each change the
    // panel makes to the settings: an Apply, a Reset, the away item on and off.
    void KeeperToldOfEachChange() {
        Open();
        Show();
        static volatile sig_atomic_t told = 0;
        const auto before = signal(SIGUSR2, [](int) { told = told + 1; });
        std::string error;
        Put(PrivateRuntimeFolder(error) + "/keeper.pid", std::to_string(getpid()));
        const int keeperFile =
            open((machine_->root / "lumivar/keeper.pid").c_str(), O_RDONLY | O_CLOEXEC);
        QCOMPARE(flock(keeperFile, LOCK_EX), 0);
        Press(c().apply);
        QTRY_COMPARE(int(told), 1);
        Press(c().reset);
        QTRY_COMPARE(int(told), 2);
        c().keeperItems->AwayItem()->trigger();
        QTRY_COMPARE(int(told), 3);
        c().keeperItems->AwayItem()->trigger();
        QTRY_COMPARE(int(told), 4);
        close(keeperFile);
        signal(SIGUSR2, before);
    }

    // The lists by board: a board of the other family rebuilds the mode list, an unsupported one
    // turns off all but the GPU list, the edits and help; Cycle takes the slider in FLASH.
    void ControlsFollowTheBoardAndMode() {
        Open();
        Show();
        QCOMPARE(c().modeList->itemText(1), QStringLiteral("FLASH"));
        Choose(c().modeList, 1);
        QTest::keyClick(c().cycle, Qt::Key_Space);
        QVERIFY(!c().shade->isEnabled());
        QTest::keyClick(c().single, Qt::Key_Space);
        QVERIFY(c().shade->isEnabled());
        Choose(c().gpuList, 1);
        QCOMPARE(c().modeList->itemText(1), QStringLiteral("STROBING"));
        QCOMPARE(c().intervalList->itemText(2), QStringLiteral("点滅間隔 長"));
        Choose(c().gpuList, 2);
        QCOMPARE(c().gpuList->currentText(), QStringLiteral("NVIDIA GPU at 0000:03:00.0"));
        for (QWidget* off : std::initializer_list<QWidget*>{
                 c().modeList, c().ledOn, c().ledOff, c().cycle, c().single, c().shade, c().apply,
                 c().reset, c().intervalList, c().brightnessList})
            QVERIFY2(!off->isEnabled(), qPrintable(off->metaObject()->className()));
        QVERIFY(c().gpuList->isEnabled() && c().red->isEnabled() && c().help->isEnabled());
        // Letters never reach an edit; digits do.
        Type(c().green, "a7b");
        QCOMPARE(c().green->text(), QStringLiteral("7"));
    }

    // A press inside the disc picks wherever the pointer goes until the release; the edits then
    // hold the last sample. A press outside never picks. The slider shades what the edits show.
    void PickingAndShading() {
        Open();
        Show();
        const QImage hue = LoadHueImage()->image;
        PickerView* picker = c().picker;
        const QPoint corner(PickerView::kCorner.x, PickerView::kCorner.y);
        QTest::mousePress(picker, Qt::LeftButton, {}, QPoint(398, 160) - corner);
        QTest::mouseMove(picker, QPoint(300, 160) - corner);
        QTest::mouseRelease(picker, Qt::LeftButton, {}, QPoint(300, 160) - corner);
        QCOMPARE(window_->State().markerX, 250);
        QCOMPARE(Edits(), QStringLiteral("255,255,255"));
        QTest::mousePress(picker, Qt::LeftButton, {}, QPoint(300, 160) - corner);
        QTest::mouseMove(picker, QPoint(350, 200) - corner);
        QTest::mouseMove(picker, QPoint(450, 160) - corner);
        QTest::mouseRelease(picker, Qt::LeftButton, {}, QPoint(450, 160) - corner);
        QCOMPARE(QPoint(window_->State().markerX, window_->State().markerY), QPoint(397, 160));
        const QColor rim = hue.pixelColor(297, 150);
        QCOMPARE(Edits(), QString("%1,%2,%3").arg(rim.red()).arg(rim.green()).arg(rim.blue()));
        // The arrow keys move the pick by 4 pixels.
        QTest::keyClick(picker, Qt::Key_Left);
        QCOMPARE(QPoint(window_->State().markerX, window_->State().markerY), QPoint(393, 160));
        const QColor left = hue.pixelColor(293, 150);
        QCOMPARE(Edits(), QString("%1,%2,%3").arg(left.red()).arg(left.green()).arg(left.blue()));
        // A drag after the release picks nothing.
        QTest::mouseMove(picker, QPoint(250, 100) - corner);
        QCOMPARE(window_->State().markerX, 393);

        Type(c().red, "255"), Type(c().green, "255"), Type(c().blue, "255");
        QSlider* shade = c().shade;
        QTest::keyClick(shade, Qt::Key_End);  // the first move only starts the edits' clock
        QCOMPARE(shade->value(), 100);
        QTest::qWait(30);
        QTest::keyClick(shade, Qt::Key_Up);  // 255 - trunc(5.1 * 49) = 6
        QCOMPARE(Edits(), QStringLiteral("6,6,6"));
        QTest::keyClick(shade, Qt::Key_Home);
        QCOMPARE(shade->value(), 0);
        QStyleOptionSlider option;
        option.initFrom(shade);
        option.orientation = Qt::Vertical, option.minimum = 0, option.maximum = 100;
        option.sliderPosition = 0, option.upsideDown = false;  // 0 at the top
        const QPoint handle =
            shade->style()
                ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, shade)
                .center();
        QTest::mousePress(shade, Qt::LeftButton, {}, handle);
        QTest::mouseMove(shade, handle + QPoint(0, 140));
        QTest::mouseRelease(shade, Qt::LeftButton, {}, handle + QPoint(0, 140));
        QVERIFY2(shade->value() > 40, qPrintable(QString::number(shade->value())));
    }

    // "？" opens the overlay over the whole window; Esc or a click closes it, Enter does not.
    void HelpOverlay() {
        Open();
        Show();
        HelpOverlayWidget* overlay = c().overlay;
        const struct {
            int key;  // 0: a click on the overlay, -1: a click on "？"
            bool open;
        } steps[] = {{-1, true},          {Qt::Key_Return, true},
                     {Qt::Key_Tab, true}, {Qt::Key_Escape, false},
                     {-1, true},          {0, false}};
        for (const auto& s : steps) {
            if (s.key < 0)
                QTest::mouseClick(c().help, Qt::LeftButton);
            else if (s.key == 0)
                QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(300, 100));
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key(s.key));
            QCOMPARE(overlay->isVisible(), s.open);
        }
        QCOMPARE(overlay->geometry(), window_->rect());
        if (qEnvironmentVariableIsSet("LUMIVAR_SCREENSHOTS")) {
            window_->grab().save(qgetenv("LUMIVAR_SCREENSHOTS") + "/panel-linux.png");
            QTest::mouseClick(c().help, Qt::LeftButton);
            window_->grab().save(qgetenv("LUMIVAR_SCREENSHOTS") + "/help-linux.png");
        }
    }

    // Screen readers find every control by its name, the lists by the label they are the buddy
    // of; Tab walks them group by group.
    void NamesAndTabOrder() {
        Open();
        Show();
        const struct {
            QWidget* control;
            const char* name;
        } names[] = {{c().apply, "適用"},
                     {c().reset, "リセット"},
                     {c().help, "？"},
                     {c().ledOn, "LED ON"},
                     {c().cycle, "Cycle"},
                     {c().red, "R"},
                     {c().blue, "B"},
                     {c().shade, "色の明るさ"},
                     {c().picker, "色相"},
                     {c().gpuList, "GPU"},
                     {c().modeList, "発光モード選択"},
                     {c().intervalList, "発光間隔"},
                     {c().brightnessList, "明るさ"}};
        for (const auto& n : names) QCOMPARE(Name(n.control), QString::fromUtf8(n.name));
        QStringList walked;
        c().gpuList->setFocus();
        for (int i = 0; i < 13; ++i) {
            walked << Name(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(walked.join(","), QStringLiteral("GPU,発光モード選択,発光間隔,明るさ,色の明るさ,"
                                                  "色相,R,G,B,LED ON,適用,リセット,？"));
    }

    // What the user is told, and nothing sent, when the board cannot be reached; a settings file
    // it cannot read is told once and left alone; no driver at all ends the start.
    void FailuresAreTold() {
        const struct {
            const char* node;  // removed, or null
            const char* words;
            const char* lockFault;
            const char* told;
        } cases[] = {
            {"i2c-3", "answers,deny", "", "permission denied on "},
            {"", "", "", "load the i2c-dev module"},
            {"i2c-3", "-", "", "no LED controller answered"},
            {nullptr, "", "deny", "ほかのプログラムがボードに送信中のため"},
        };
        for (const auto& f : cases) {
            Open();
            if (f.node) fs::remove_all(machine_->root / "dev" / f.node);
            if (*f.words) Put(machine_->root / "dev" / f.node, f.words);
            qputenv("FAKE_LOCK_FAULT", f.lockFault);
            Show();
            machine_->Transfers();
            QVERIFY(Press(c().apply).find("write") == std::string::npos);
            qunsetenv("FAKE_LOCK_FAULT");
            QVERIFY2(Told().contains(f.told), qPrintable(Told()));
            QCOMPARE(Settings(), std::string());
        }
        Open();
        Put(machine_->root / "config/lumivar/settings.json", "{");
        Show();
        Press(c().apply);
        Press(c().apply);
        QCOMPARE(window_->findChildren<QMessageBox*>().size(), qsizetype(1));
        QVERIFY2(Told().contains("設定ファイルを読み取れないため"), qPrintable(Told()));
        QCOMPARE(Settings(), std::string("{"));
        Open();
        fs::remove_all(machine_->root / "sys");
        QVERIFY(window_->Start().find("NvAPIの初期化に失敗しました") == 0);
    }

    // The menu's two items: the keeper at logon started and ended, away added and taken out with
    // the hours kept; a second panel shows the first one and ends with 0.
    void MenuItemsAndOnePanel() {
        Open();
        SystemBus bus(machine_->root, false);
        QCOMPARE(machine_->Run("lights-out away 23:00-07:00"), 0);
        Show();
        KeeperItems* items = c().keeperItems;
        items->Refresh();
        QVERIFY(items->LogonItem()->isEnabled() && !items->LogonItem()->isChecked());
        QVERIFY(items->AwayItem()->isChecked());
        items->AwayItem()->trigger();
        machine_->Run("lights-out");
        QCOMPARE(machine_->Output(), std::string("23:00-07:00\n"));
        QVERIFY(!items->AwayItem()->isChecked());
        items->AwayItem()->trigger();
        machine_->Run("lights-out");
        QCOMPARE(machine_->Output(), std::string("away 23:00-07:00\n"));
        items->LogonItem()->trigger();
        QVERIFY(fs::exists(machine_->root / "config/autostart/lumivar.desktop"));
        QVERIFY(machine_->KeeperHolds() && items->LogonItem()->isChecked());
        items->LogonItem()->trigger();
        QVERIFY(!fs::exists(machine_->root / "config/autostart/lumivar.desktop"));
        QVERIFY(!machine_->KeeperHolds() && !items->LogonItem()->isChecked());

        // The built program on the fake machine, then a second one, which shows it and ends.
        QProcess first, second;
        first.start(LUMIVAR_PANEL, {});
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(machine_->root / "lumivar/panel.socket"), 20000);
        second.start(LUMIVAR_PANEL, {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 0);
        first.terminate();
        QVERIFY(first.waitForFinished(20000));
        // In the first, the second's request reaches the window.
        SingleInstance listening;
        listening.Listen();
        QSignalSpy raised(&listening, &SingleInstance::raiseRequested);
        QVERIFY(SingleInstance().AnotherRuns());
        QVERIFY(raised.count() == 1 || raised.wait(2000));
    }
};

QTEST_MAIN(LinuxPanel)
#include "linux_panel_test.moc"
